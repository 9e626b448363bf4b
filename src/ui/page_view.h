#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>

namespace kavlo {

// The page picture of the canvas window: shows its own copy of the page image, one image pixel
// to a device pixel, and reports the mouse in page millimetres. Its own pixels, and the boxes it
// draws, are 96-DPI page pixels at every screen resolution.
class PageView final : public QWidget {
    Q_OBJECT

  public:
    explicit PageView(QWidget* parent);

    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

    // Inverts the outline of the box between two page points, so a second call restores the
    // pixels. A box of one point draws nothing: a click must leave no mark.
    void invertBox(QPointF cornerMm, QPointF otherCornerMm);

    static QPointF pixelToMm(QPointF pixel);
    static QPoint mmToPixel(QPointF mm);

  signals:
    void pressed(QPointF mm, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void moved(QPointF mm, Qt::MouseButtons buttons);
    void released(QPointF mm);
    void wheelTurned(QPoint angleDelta, Qt::KeyboardModifiers modifiers, QPointF mm);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    QImage image_;
};

}  // namespace kavlo
