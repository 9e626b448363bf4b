#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "core/edited_text.h"
#include "core/messages.h"
#include "session.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QTabWidget;

namespace kavlo {

class DriveBox;
class FolderList;
class FormatForm;
class GraphPreviewView;

// The checker: a slot's data file in a plain-text editor beside the format parameters' help,
// saved or renamed in the encoding and with the line ends it was read with.
class CheckerWindow : public QWidget {
    Q_OBJECT
  public:
    // `session` gives the path-view switch shared with the main window.
    CheckerWindow(Session& session, MessageSink& messages, QWidget* parent = nullptr);

    // Opens `path` for the main-window box `source` (10 + slot format, 20 + slot numeric,
    // 30 + slot comment) and shows the window. A format file's preview plots the slot's numeric
    // file `numericPath` (none: frame and labels). Unsaved edits are discarded only when the user
    // agrees. False when nothing was opened; the window is then as it was.
    bool openFile(const QString& path, int source, const QString& numericPath = {});

    int checkerSource() const { return checkerSource_; }
    QString openedPath() const { return openedPath_; }
    // The editor's text with '\n' between lines, exactly as typed.
    QString editorText() const;
    bool isReadOnlyText() const { return readOnly_; }
    // Edits not yet saved: the document changed, or its line ends were converted.
    bool hasUnsavedEdits() const;
    int editorLastEdited() const { return editorLastEdited_; }

    // How the window asks for a new folder's name and how it shows the printer dialog; tests
    // answer them. An empty name, or false, is a cancel.
    using AskFolderName = std::function<QString(QWidget* parent, const QString& suggested)>;
    void setFolderNameQuestion(AskFolderName ask) { askFolderName_ = std::move(ask); }
    using PrintDialog = std::function<bool(QWidget* parent, QPrinter& printer)>;
    void setPrintDialog(PrintDialog dialog) { printDialog_ = std::move(dialog); }

  signals:
    // The text was written to `path`; `source` names the main-window box it belongs to.
    void saved(int source, const QString& path);
    // A save or rename was tried: the file lists may have changed.
    void listsChanged();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void save(bool rename);
    bool writeText(bool rename);
    void undo();
    void convertLineEnds();
    void print();
    void togglePathEnds();
    void setFolderPanelOpen(bool open);
    void takeFolderOver();
    void createFolder();
    void chooseFolder(const QString& folder);
    void edited(int where);
    void setEditButtonsShown(bool shown);
    bool discardAgreed();

    Session& session_;
    MessageSink& messages_;
    QLineEdit* folderBox_;
    QLineEdit* nameBox_;
    QLabel* readOnlyNote_;
    QPushButton* save_;
    QPushButton* rename_;
    QPushButton* undo_;
    QPushButton* convert_;
    QPushButton* print_;
    QPushButton* panelToggle_;
    QPushButton* newFolder_;
    QPushButton* back_;
    QPushButton* pathEnds_;
    QLabel* driveLabel_ = nullptr;
    DriveBox* drives_;
    FolderList* folders_;
    // Made after the controls above them, so they come first in the focus chain.
    QPlainTextEdit* editor_;
    QPlainTextEdit* help_;
    FormatForm* form_;
    GraphPreviewView* preview_;
    // The help and the form, beside the editor for format files only.
    QTabWidget* formatPanel_;
    AskFolderName askFolderName_;
    PrintDialog printDialog_;

    QString openedPath_;
    TextLayout layout_;
    int checkerSource_ = 0;
    int editorLastEdited_ = 0;
    int insertMode_ = 0;
    bool readOnly_ = false;
    bool lineEndsConverted_ = false;
    bool filling_ = false;
    bool folderPanelOpen_ = false;
};

}  // namespace kavlo
