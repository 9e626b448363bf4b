#include "graph_preview_view.h"

#include <QPainter>
#include <QPlainTextEdit>

#include "devices/graph_preview.h"

namespace kavlo {

GraphPreviewView::GraphPreviewView(QPlainTextEdit* editor, QWidget* parent)
    : QWidget(parent), editor_(editor) {
    setObjectName("graphPreview");
    setAccessibleName("プレビュー");
    setMinimumSize(120, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, &GraphPreviewView::redraw);
    connect(editor_, &QPlainTextEdit::textChanged, this, &GraphPreviewView::scheduleRedraw);
}

void GraphPreviewView::follow(int slot, const QString& numericPath) {
    slot_ = slot;
    numericPath_ = numericPath;
    image_ = QImage();
    scheduleRedraw();
    update();
}

// Hidden, it waits: the drawing is made when it is shown.
void GraphPreviewView::scheduleRedraw() {
    if (slot_ > 0 && isVisible() && !pending_.isActive()) {
        pending_.start();
    }
}

void GraphPreviewView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    scheduleRedraw();
}

void GraphPreviewView::redraw() {
    // The canvas tells the reading's messages; the checker's message line tells the format's.
    SilentMessages quiet;
    const GraphFiles files{{}, numericPath_.toStdString(), editor_->toPlainText().toStdString()};
    image_ = renderGraphPreview(slot_, files, quiet, extents_);
    setAccessibleDescription(image_.isNull() ? "描画できるグラフがありません。" : QString());
    update();
    emit redrawn();
}

void GraphPreviewView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (image_.isNull()) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, accessibleDescription());
        return;
    }
    const QSize shown = image_.size().boundedTo(size()).expandedTo(QSize(1, 1));
    const QSize fitted = image_.size().scaled(shown, Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image_);
}

}  // namespace kavlo
