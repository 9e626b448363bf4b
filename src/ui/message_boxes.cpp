#include "message_boxes.h"

#include <QMessageBox>

#include "screen_fit.h"

namespace kavlo {
namespace {

QMessageBox::Icon iconFor(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsFor(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

// A message too long for the screen shows the lines that fit, and all of them under the details,
// which scroll.
void fitToScreen(QMessageBox& box) {
    constexpr int kDetailsHeight = 140;  // the details pane and its button row
    const int room = roomOnScreen(&box).height();
    if (box.sizeHint().height() <= room) {
        return;
    }
    const QString text = box.text();
    box.setDetailedText(text);
    QStringList lines = text.split('\n');
    while (lines.size() > 1 && box.sizeHint().height() > room - kDetailsHeight) {
        lines.removeLast();
        box.setText(lines.join('\n') + "\n…");
    }
}

}  // namespace

MessageAnswer MessageBoxes::show(const Message& message) {
    QMessageBox box(iconFor(message.icon), QString::fromStdString(message.title),
                    QString::fromStdString(message.text), buttonsFor(message.buttons), parent_);
    fitToScreen(box);
    switch (box.exec()) {
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            return MessageAnswer::Ok;
    }
}

}  // namespace kavlo
