#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>

class QPushButton;

namespace kavlo {

class DriveBox;
class FolderList;

// "QAP Search": browses for a working folder and loads the set-up its path file records.
class FolderSearchWindow : public QWidget {
    Q_OBJECT
  public:
    // `load` applies a path file to the main window; false when there was nothing to read.
    using Load = std::function<bool(const std::filesystem::path& pathFile)>;

    FolderSearchWindow(const std::filesystem::path& startFolder, Load load,
                       QWidget* parent = nullptr);

    // Shows the window at the folder chosen last, read afresh.
    void open();
    // The select button: loads the folder's path file, then hides the window.
    void choose();
    QString folder() const;

  private:
    // Offers "選択" only while the folder holds a path file with at least one line.
    void look(const QString& folder);

    Load load_;
    QPushButton* choose_;
    DriveBox* drives_;
    FolderList* folders_;
};

}  // namespace kavlo
