#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <vector>

#include "canvas_window.h"
#include "checker_window.h"
#include "core/messages.h"
#include "data_save_window.h"
#include "folder_search_window.h"
#include "help_window.h"
#include "session.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kavlo {

class FileGroupBox;

// The main window: the three file groups of the six graph slots, the header settings, and the
// commands that draw the page, size the canvas, open the help and end the program.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    MainWindow(Session& session, MessageSink& messages, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Restores the last file choices from the application folder's path file, relocating the
    // files of a folder brought from elsewhere and telling in one message what moved and what
    // is missing, or on a first run offers the samples with a welcome. Files given to the
    // program make the page instead: then nothing is said about the last one or the samples.
    void startUp(const std::vector<std::filesystem::path>& files = {});
    // Draws the page of the current choices and shows it in the canvas window.
    void drawRequest();
    // Puts data files given to the program into the slots, ready to draw; one message names
    // those left out. A working folder's path file among them is loaded first, as "検索" loads
    // it.
    void openFiles(const std::vector<std::filesystem::path>& files);

    PageSetup pageSetup() const;
    void setPageSetup(const PageSetup& setup);
    FileGroupBox* group(FileKind kind) const;
    CanvasWindow* canvas() const { return canvas_; }
    CheckerWindow* checker() const { return checker_; }
    // The working-folder windows, made on first use and then kept.
    DataSaveWindow* dataSaveWindow() const { return dataSave_; }
    FolderSearchWindow* folderSearchWindow() const { return folderSearch_; }
    // Moves into the path file's folder, empties the slot boxes and the header text, then applies
    // the path file as the start-up does; false, changing no box, when the file is missing or
    // empty.
    bool loadPathFile(const std::filesystem::path& pathFile);
    int pickTarget() const { return pickTarget_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // Tells when the path file is empty or cannot be read.
    void openWorkingFolder(const std::filesystem::path& pathFile);
    bool restore(const std::filesystem::path& pathFile, const PageSetup& base);
    void arm(int kind, int slot);
    void pick(int kind, const QString& fullPath);
    void step(int kind, int slot);
    bool takesName(int kind, int slot, const QString& fullPath);
    void togglePathEnds();
    void openChecker(int kind, int slot);
    void takeSavedPath(int source, const QString& path);
    void refreshLists();
    void cycleSize();
    void showHelp();
    void openHomePage();
    void openDataSave();
    void openFolderSearch();
    void canvasLeft(bool byBackButton);
    char sizeLetter() const;
    PageSetup designSetup() const;

    Session& session_;
    MessageSink& messages_;
    std::array<FileGroupBox*, 3> fileGroups_{};
    QLineEdit* headerText_;
    QComboBox* headerFace_;
    QComboBox* headerSize_;
    QComboBox* headerAlignment_;
    QPushButton* draw_;
    QPushButton* size_;
    QPushButton* save_;
    QPushButton* search_;
    QPointer<CanvasWindow> canvas_;
    QPointer<HelpWindow> help_;
    QPointer<CheckerWindow> checker_;
    QPointer<DataSaveWindow> dataSave_;
    QPointer<FolderSearchWindow> folderSearch_;
    int pickTarget_ = 0;
};

}  // namespace kavlo
