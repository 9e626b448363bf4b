#pragma once

#include <QString>
#include <functional>

class QPushButton;
class QWidget;

namespace kavlo {

class DriveBox;
class FolderList;

// Joins a drive box and a folder list as the working-folder windows browse with them: choosing a
// drive moves the list to that drive's root, and every move makes the folder the current one
// and is passed to `moved`. Names them driveBox and folderList.
void linkDriveAndFolders(DriveBox* drives, FolderList* folders,
                         std::function<void(const QString& folder)> moved);

// The "戻る" button (backButton) of a working-folder window: it and Escape hide the window.
QPushButton* makeBackButton(QWidget* window);

// Moves both to `folder` (and its drive) without telling `moved`.
void showFolder(DriveBox* drives, FolderList* folders, const QString& folder);

}  // namespace kavlo
