#pragma once

#include <QComboBox>

namespace kavlo {

// The drives to start from (see driveRoots): the root, the home folder, mounted volumes.
class DriveBox : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveBox(QWidget* parent = nullptr);

    // Shows `root`, adding it when it is not listed; emits nothing.
    void setDrive(const QString& root);
    QString drive() const { return currentText(); }

  signals:
    // The user picked `root`.
    void driveChosen(const QString& root);
};

}  // namespace kavlo
