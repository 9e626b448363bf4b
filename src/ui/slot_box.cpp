#include "slot_box.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace kavlo {
namespace {

QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().isEmpty()) {
        return {};
    }
    const QUrl url = data->urls().front();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

SlotBox::SlotBox(int slot, QWidget* parent) : QLineEdit(parent), slot_(slot) {
    setAcceptDrops(true);
}

void SlotBox::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        clear();
        emit armed(slot_);
    }
}

void SlotBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        clear();
        emit armed(slot_);
        emit stepRequested(slot_);
    }
}

void SlotBox::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void SlotBox::dropEvent(QDropEvent* event) {
    const QString file = droppedFile(event->mimeData());
    if (!file.isEmpty()) {
        setText(file);
        event->acceptProposedAction();
    }
}

}  // namespace kavlo
