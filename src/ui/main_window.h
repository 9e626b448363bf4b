#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <vector>

#include "canvas_window.h"
#include "core/messages.h"
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

    // Restores the last file choices from the application folder's path file, or on a first
    // run offers the samples with a welcome.
    void startUp();
    // Draws the page of the current choices and shows it in the canvas window.
    void drawRequest();
    // Puts data files given to the program into the slots, ready to draw; one message names
    // those left out.
    void openFiles(const std::vector<std::filesystem::path>& files);

    PageSetup pageSetup() const;
    void setPageSetup(const PageSetup& setup);
    FileGroupBox* group(FileKind kind) const;
    CanvasWindow* canvas() const { return canvas_; }
    int pickTarget() const { return pickTarget_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void arm(int kind, int slot);
    void pick(int kind, const QString& fullPath);
    void step(int kind, int slot);
    void togglePathEnds();
    void cycleSize();
    void showHelp();
    void openHomePage();
    void canvasLeft(bool byBackButton);
    char sizeLetter() const;
    PageSetup designSetup() const;

    Session& session_;
    MessageSink& messages_;
    std::array<FileGroupBox*, 3> groups_{};
    QLineEdit* headerText_;
    QComboBox* headerFace_;
    QComboBox* headerSize_;
    QComboBox* headerAlignment_;
    QPushButton* draw_;
    QPushButton* size_;
    QPushButton* save_;
    QPointer<CanvasWindow> canvas_;
    QPointer<HelpWindow> help_;
    int pickTarget_ = 0;
    bool pathEndShown_ = false;
};

}  // namespace kavlo
