#pragma once

#include <QStringList>
#include <QWidget>
#include <array>

#include "core/page_setup.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kavlo {

class DriveBox;
class EnlargeableListPlace;
class FolderList;
class SlotBox;

// One kind of file (format, numeric or comment): the six slot boxes, the pattern box, and the
// drive, folder and file lists to pick from. The kind names the controls: formatBox3 is the third
// format box, numericFileList the numeric file list, commentFolderList the comment folder list.
class FileGroupBox : public QWidget {
    Q_OBJECT
  public:
    FileGroupBox(FileKind kind, const QString& title, QWidget* parent = nullptr);

    FilePicker state() const;
    void setState(const FilePicker& state);

    QString slotText(int slot) const;
    void setSlotText(int slot, const QString& text);
    SlotBox* slotBox(int slot) const { return slots_.at(static_cast<std::size_t>(slot)); }

    QString folder() const;
    QString drive() const;
    void setDrive(const QString& root);
    void setFolder(const QString& folder);
    // A pattern the file list cannot use leaves it with the pattern it has.
    void setPattern(const QString& pattern);
    // Reads the folder and its files again.
    void refresh();

    // The file list's selection moves on by one; false when it is on the last file already.
    bool selectNextFile();
    QString selectedFile() const;

    // The controls as they are laid out, row by row and left to right: the order Tab takes.
    QWidgetList tabOrder() const;

    // The enlarged folder list height on a left click, pixels; 0 keeps it as it is.
    void setEnlargedFolderHeight(int pixels) { enlargedFolderHeight_ = pixels; }

  signals:
    void slotArmed(int slot);
    // The slot's "*" button: open its file in the checker.
    void checkerRequested(int slot);
    void stepRequested(int slot);
    // A file list entry was clicked, or Enter or Space pressed on it.
    void fileClicked(const QString& fullPath);
    void buttonClicked();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void takePattern(const QString& text);
    QString fullPath(const QString& name) const;
    void takeFolder();
    void fillFileList();

    std::array<SlotBox*, kSlotCount + 1> slots_{};
    std::array<QPushButton*, kSlotCount + 1> checkers_{};
    QLabel* title_;
    QLineEdit* pattern_;
    QPushButton* button_;
    QListWidget* files_;
    FolderList* folders_;
    EnlargeableListPlace* folderPlace_;
    DriveBox* drives_;
    QStringList filePatterns_{"*"};
    int enlargedFolderHeight_ = 0;
};

}  // namespace kavlo
