#include "folder_browsing.h"

#include <QDir>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

#include "drive_box.h"
#include "drive_list.h"
#include "folder_list.h"

namespace kavlo {

void linkDriveAndFolders(DriveBox* drives, FolderList* folders,
                         std::function<void(const QString& folder)> moved) {
    drives->setObjectName("driveBox");
    folders->setObjectName("folderList");
    folders->setAccessibleName("フォルダ");
    auto take = [drives, moved](const QString& folder) {
        QDir::setCurrent(folder);
        drives->setDrive(driveOf(folder, driveRoots()));
        moved(folder);
    };
    QObject::connect(folders, &FolderList::folderChosen, folders, take);
    // A drive that cannot be read leaves both where they were.
    QObject::connect(drives, &DriveBox::driveChosen, folders,
                     [drives, folders, take](const QString& root) {
                         if (folders->setFolder(root)) {
                             take(folders->folder());
                         } else {
                             drives->setDrive(driveOf(folders->folder(), driveRoots()));
                         }
                     });
}

QPushButton* makeBackButton(QWidget* window) {
    auto* back = new QPushButton("戻る", window);
    back->setObjectName("backButton");
    QObject::connect(back, &QPushButton::clicked, window, &QWidget::hide);
    QObject::connect(new QShortcut(QKeySequence::Cancel, window), &QShortcut::activated, window,
                     &QWidget::hide);
    return back;
}

void showFolder(DriveBox* drives, FolderList* folders, const QString& folder) {
    if (folders->setFolder(folder)) {
        drives->setDrive(driveOf(folders->folder(), driveRoots()));
    }
}

}  // namespace kavlo
