#include "enlargeable_list_place.h"

#include <QAbstractItemView>
#include <algorithm>

namespace kavlo {

EnlargeableListPlace::EnlargeableListPlace(QAbstractItemView* list, QWidget* parent)
    : QWidget(parent), list_(list) {
    list_->setParent(this);
}

// The place follows the layout; the list follows the place, enlarged or not.
void EnlargeableListPlace::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeList();
}

void EnlargeableListPlace::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    placeList();
}

// The list leaves the place for the window itself: a child is clipped to its parent, and only
// the window spans the controls it has to cover.
void EnlargeableListPlace::enlarge(int height) {
    enlargedHeight_ = height;
    if (!isEnlarged()) {
        list_->setParent(window());
        list_->show();
    }
    placeList();
    list_->raise();
}

void EnlargeableListPlace::shrink() {
    if (!isEnlarged()) {
        return;
    }
    list_->setParent(this);
    list_->show();
    placeList();
}

bool EnlargeableListPlace::isEnlarged() const {
    return list_->parentWidget() != this;
}

// The place asks for what the list asks, wherever the list is, so the layout never changes.
QSize EnlargeableListPlace::sizeHint() const {
    return list_->sizeHint();
}

QSize EnlargeableListPlace::minimumSizeHint() const {
    return list_->minimumSizeHint();
}

void EnlargeableListPlace::placeList() {
    if (!isEnlarged()) {
        list_->setGeometry(rect());
        return;
    }
    const QPoint top = mapTo(window(), QPoint());
    const int room = window()->height() - top.y();
    list_->setGeometry(top.x(), top.y(), width(),
                       std::max(height(), std::min(enlargedHeight_, room)));
}

}  // namespace kavlo
