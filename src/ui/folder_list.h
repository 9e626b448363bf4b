#pragma once

#include <QListWidget>

namespace kavlo {

// A folder chooser shown as a list: the path from the root down to the folder, then its
// subfolders, indented like a tree. Activating an entry moves into that folder.
class FolderList : public QListWidget {
    Q_OBJECT
  public:
    explicit FolderList(QWidget* parent = nullptr);

    // A folder that does not exist or cannot be read is ignored: false, the list stays.
    bool setFolder(const QString& path);
    // Absolute and clean: "/" at the root, no trailing "/" elsewhere.
    QString folder() const { return folder_; }
    // Reads the subfolders again.
    void refresh();

  signals:
    // The user moved into `folder` by activating an entry.
    void folderChosen(const QString& folder);

  private:
    void fill();

    QString folder_;
};

}  // namespace kavlo
