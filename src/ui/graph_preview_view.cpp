#include "graph_preview_view.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <new>

#include "devices/graph_preview.h"
#include "devices/page_output.h"
#include "render/plot_budget.h"

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
    RecordedMessages read;
    const GraphFiles files{{}, numericPath_.toStdString(), editor_->toPlainText().toStdString()};
    QString refused;
    // A typed IPL or a large grid can ask for more than the screen draws.
    try {
        image_ =
            renderGraphPreview(slot_, files, read, extents_, screenPageDpi(devicePixelRatioF()));
        image_.setDevicePixelRatio(devicePixelRatioF());
    } catch (const PageTooLarge& tooLarge) {
        image_ = QImage();
        refused = QString::fromStdString(tooLarge.message().text);
    } catch (const std::bad_alloc&) {
        image_ = QImage();
        refused = kOutOfMemoryText;
    }
    // Where nothing is drawn the last message of the reading says why; the corrections of a
    // drawn graph are the check line's to tell.
    if (image_.isNull() && refused.isEmpty()) {
        refused = read.messages.empty() ? QString("描画できるグラフがありません。")
                                        : QString::fromStdString(read.messages.back().text);
    }
    setAccessibleDescription(refused);
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
    const QSize natural = (QSizeF(image_.size()) / image_.devicePixelRatio()).toSize();
    const QSize shown = natural.boundedTo(size()).expandedTo(QSize(1, 1));
    const QSize fitted = natural.scaled(shown, Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image_);
}

}  // namespace kavlo
