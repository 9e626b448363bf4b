#include "drive_box.h"

#include "drive_list.h"

namespace kavlo {

DriveBox::DriveBox(QWidget* parent) : QComboBox(parent) {
    addItems(driveRoots());
    connect(this, &QComboBox::textActivated, this, &DriveBox::driveChosen);
}

void DriveBox::setDrive(const QString& root) {
    if (findText(root) < 0) {
        addItem(root);
    }
    setCurrentText(root);
}

}  // namespace kavlo
