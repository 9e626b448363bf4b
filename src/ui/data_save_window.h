#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>

#include "core/messages.h"
#include "core/page_setup.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kavlo {

class DriveBox;
class FolderList;

// "QAP Data Save": makes a working folder of the current set-up under the application folder.
// Its drive and folder lists only browse; the folder is always made in the application folder.
class DataSaveWindow : public QWidget {
    Q_OBJECT
  public:
    DataSaveWindow(std::filesystem::path appFolder, std::function<PageSetup()> currentSetup,
                   MessageSink& messages, QWidget* parent = nullptr);

    // Shows the window with a fresh name proposal, "mmdd-hhnn" of this moment.
    void open();
    // The save button: empty names save nothing and close the window; a refused name or a
    // failed save keeps it open for another try.
    void save();

  signals:
    // A working folder was made.
    void saved();

  private:
    void showTarget();

    std::filesystem::path appFolder_;
    std::function<PageSetup()> currentSetup_;
    MessageSink& messages_;
    QLineEdit* name_;
    QLabel* target_;
    QPushButton* save_;
    DriveBox* drives_;
    FolderList* folders_;
};

}  // namespace kavlo
