#pragma once

#include <QWidget>

class QAbstractItemView;

namespace kavlo {

// Holds a list in its place in a layout. Enlarged, the list lies over the window's other
// controls, so nothing moves and the window keeps its size; shrunk, it is back in its place.
class EnlargeableListPlace : public QWidget {
    Q_OBJECT
  public:
    EnlargeableListPlace(QAbstractItemView* list, QWidget* parent = nullptr);

    // Pixels from the place's top; the window's bottom edge stops it.
    void enlarge(int height);
    void shrink();
    bool isEnlarged() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    void placeList();

    QAbstractItemView* list_;
    int enlargedHeight_ = 0;
};

}  // namespace kavlo
