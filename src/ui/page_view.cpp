#include "page_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

#include "render/device_profile.h"
#include "session.h"

namespace kavlo {

PageView::PageView(QWidget* parent) : QWidget(parent) {
    setObjectName("pageView");
    setAccessibleName("ページ");
    setAccessibleDescription(
        "Ctrl を押しながらグラフを横にドラッグすると回り、Ctrl を押しながらホイールを回すと Z "
        "方向に伸縮します。");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageView::setImage(const QImage& image) {
    image_ = image.convertToFormat(QImage::Format_RGB32);
    // A pixel of the page to a pixel of the screen: the page is drawn at the screen's resolution.
    image_.setDevicePixelRatio(devicePixelRatioF());
    setFixedSize(image_.deviceIndependentSize().toSize());
    update();
}

QPointF PageView::pixelToMm(QPointF pixel) {
    const float scale = kScreenTwipsPerPixel / kTwipsPerMm;
    return {static_cast<float>(pixel.x()) * scale, static_cast<float>(pixel.y()) * scale};
}

QPoint PageView::mmToPixel(QPointF mm) {
    const float scale = kTwipsPerMm / kScreenTwipsPerPixel;
    return {static_cast<int>(std::nearbyint(static_cast<float>(mm.x()) * scale)),
            static_cast<int>(std::nearbyint(static_cast<float>(mm.y()) * scale))};
}

void PageView::invertBox(QPointF cornerMm, QPointF otherCornerMm) {
    const QRect box = QRect(mmToPixel(cornerMm), mmToPixel(otherCornerMm)).normalized();
    if (box.width() == 1 && box.height() == 1) {
        return;
    }
    QPainter painter(&image_);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    // Strips that do not overlap, so every outline pixel flips exactly once.
    const auto flip = [&](int x, int y, int w, int h) {
        if (w > 0 && h > 0) {
            painter.fillRect(x, y, w, h, Qt::white);
        }
    };
    flip(box.left(), box.top(), box.width(), 1);
    if (box.height() > 1) {
        flip(box.left(), box.bottom(), box.width(), 1);
        flip(box.left(), box.top() + 1, 1, box.height() - 2);
        if (box.width() > 1) {
            flip(box.right(), box.top() + 1, 1, box.height() - 2);
        }
    }
    update(box);
}

void PageView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRectF shown = event->rect();
    const qreal scale = image_.devicePixelRatio();
    painter.drawImage(shown, image_, QRectF(shown.topLeft() * scale, shown.size() * scale));
}

void PageView::mousePressEvent(QMouseEvent* event) {
    emit pressed(pixelToMm(event->position()), event->button(), event->modifiers());
}

void PageView::mouseMoveEvent(QMouseEvent* event) {
    emit moved(pixelToMm(event->position()), event->buttons());
}

void PageView::mouseReleaseEvent(QMouseEvent* event) {
    emit released(pixelToMm(event->position()));
}

void PageView::wheelEvent(QWheelEvent* event) {
    event->accept();
    emit wheelTurned(event->angleDelta(), event->modifiers(), pixelToMm(event->position()));
}

}  // namespace kavlo
