#include "file_group_box.h"

#include <QDir>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <optional>

#include "combo_label.h"
#include "drive_box.h"
#include "drive_list.h"
#include "enlargeable_list_place.h"
#include "folder_list.h"
#include "slot_box.h"

namespace kavlo {
namespace {

constexpr int kNormalFolderListHeight = 104;  // 1560 twips
// The selection gets colours of its own: left to the style it is white on this light yellow.
const char* const kLightYellow =
    "background-color: #ffffe0; selection-background-color: #9ccbf2; selection-color: black;";

// Object names start with the kind's word: formatBox3, numericFileList, commentFolderList.
QString kindWord(FileKind kind) {
    return QStringList{"format", "numeric", "comment"}.value(static_cast<int>(kind));
}

// The patterns of a pattern box, "*" for an empty one; none when any of them is not a pattern.
std::optional<QStringList> filePatterns(const QString& text) {
    const QStringList patterns = text.split(';', Qt::SkipEmptyParts);
    for (const QString& pattern : patterns) {
        if (!QRegularExpression::fromWildcard(pattern).isValid()) {
            return std::nullopt;
        }
    }
    return patterns.isEmpty() ? QStringList{"*"} : patterns;
}

}  // namespace

FileGroupBox::FileGroupBox(FileKind kind, const QString& title, QWidget* parent)
    : QWidget(parent),
      title_(new QLabel(title, this)),
      pattern_(new QLineEdit(this)),
      button_(new QPushButton(kind == FileKind::Format ? "◆" : "▲", this)),
      files_(new QListWidget(this)),
      folders_(new FolderList(this)),
      folderPlace_(new EnlargeableListPlace(folders_, this)),
      drives_(new DriveBox(this)) {
    const bool first = kind == FileKind::Format;
    const QString word = kindWord(kind);
    pattern_->setObjectName(word + "PatternBox");
    button_->setObjectName(word + (first ? "ReloadButton" : "AboveFolderButton"));
    button_->setToolTip(first ? "一覧を読み直す" : "上のファイル群のドライブとフォルダーを使う");
    files_->setObjectName(word + "FileList");
    folders_->setObjectName(word + "FolderList");
    drives_->setObjectName(word + "DriveBox");
    pattern_->setAccessibleName(title + "のパターン");
    files_->setAccessibleName(title + "の一覧");
    folders_->setAccessibleName(title + "のフォルダー");
    button_->setAccessibleName(first ? "一覧の読み直し" : "上のドライブとフォルダー");
    for (QWidget* w : std::initializer_list<QWidget*>{pattern_, files_, folders_, drives_}) {
        w->setStyleSheet(kLightYellow);
    }
    folderPlace_->setFixedHeight(kNormalFolderListHeight);
    files_->setFixedHeight(kNormalFolderListHeight);
    folders_->viewport()->installEventFilter(this);
    files_->installEventFilter(this);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(1);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    grid->addWidget(title_, 0, 0);
    auto* patternRow = new QHBoxLayout;
    patternRow->addWidget(button_);
    // Wide enough for the default pattern to show whole.
    pattern_->setMinimumWidth(pattern_->fontMetrics().horizontalAdvance("*.dat") + 12);
    patternRow->addWidget(pattern_);
    grid->addLayout(patternRow, 0, 1);
    auto* driveRow = new QHBoxLayout;
    driveRow->addWidget(comboLabel("ドライブ", title + "のドライブ", drives_));
    driveRow->addWidget(drives_, 1);
    grid->addLayout(driveRow, 0, 2);
    auto* slotColumn = new QVBoxLayout;
    slotColumn->setSpacing(1);
    const QString kindName = QStringList{"書式", "数値", "コメント"}.value(static_cast<int>(kind));
    for (int g = 1; g <= kSlotCount; ++g) {
        auto* box = new SlotBox(g, this);
        box->setObjectName(word + "Box" + QString::number(g));
        box->setAccessibleName(kindName + " " + QString::number(g));
        box->setMinimumWidth(300);
        slots_[static_cast<std::size_t>(g)] = box;
        auto* checker = new QPushButton("*", this);
        checkers_[static_cast<std::size_t>(g)] = checker;
        checker->setObjectName(word + "CheckerButton" + QString::number(g));
        checker->setAccessibleName("チェッカー " + kindName + " " + QString::number(g));
        checker->setToolTip("チェッカーで開く");
        checker->setFixedSize(box->sizeHint().height(), box->sizeHint().height());
        auto* row = new QHBoxLayout;
        row->setSpacing(2);
        row->addWidget(box, 1);
        row->addWidget(checker);
        slotColumn->addLayout(row);
        connect(box, &SlotBox::armed, this, &FileGroupBox::slotArmed);
        connect(box, &SlotBox::stepRequested, this, &FileGroupBox::stepRequested);
        connect(checker, &QPushButton::clicked, this, [this, g] { emit checkerRequested(g); });
    }
    slotColumn->addStretch();
    grid->addLayout(slotColumn, 1, 0);
    grid->addWidget(files_, 1, 1, Qt::AlignTop);
    grid->addWidget(folderPlace_, 1, 2, Qt::AlignTop);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(2, 2);

    connect(pattern_, &QLineEdit::textChanged, this, &FileGroupBox::takePattern);
    connect(button_, &QPushButton::clicked, this, &FileGroupBox::buttonClicked);
    connect(drives_, &DriveBox::driveChosen, this, &FileGroupBox::setDrive);
    connect(folders_, &FolderList::folderChosen, this, &FileGroupBox::takeFolder);
    // Moving through the list by keyboard fills nothing: Enter (or Space) picks as a click does.
    for (auto picked : {&QListWidget::itemClicked, &QListWidget::itemActivated}) {
        connect(files_, picked, this,
                [this](QListWidgetItem* item) { emit fileClicked(fullPath(item->text())); });
    }
}

QWidgetList FileGroupBox::tabOrder() const {
    QWidgetList order{button_, pattern_, drives_};
    for (int g = 1; g <= kSlotCount; ++g) {
        order << slots_[static_cast<std::size_t>(g)] << checkers_[static_cast<std::size_t>(g)];
    }
    return order << files_ << folders_;
}

FilePicker FileGroupBox::state() const {
    FilePicker picker;
    picker.drive = drive().toStdString();
    picker.folder = folder().toStdString();
    picker.pattern = pattern_->text().toStdString();
    for (int g = 1; g <= kSlotCount; ++g) {
        picker.files[static_cast<std::size_t>(g)] = slotText(g).toStdString();
    }
    return picker;
}

void FileGroupBox::setState(const FilePicker& state) {
    if (!state.drive.empty()) {
        setDrive(QString::fromStdString(state.drive));
    }
    if (!state.folder.empty()) {
        setFolder(QString::fromStdString(state.folder));
    }
    setPattern(QString::fromStdString(state.pattern));
    for (int g = 1; g <= kSlotCount; ++g) {
        setSlotText(g, QString::fromStdString(state.files[static_cast<std::size_t>(g)]));
    }
}

QString FileGroupBox::slotText(int slot) const {
    return slotBox(slot)->text();
}

void FileGroupBox::setSlotText(int slot, const QString& text) {
    slotBox(slot)->setText(text);
    slotBox(slot)->setCursorPosition(0);
}

QString FileGroupBox::folder() const {
    return folders_->folder();
}

QString FileGroupBox::drive() const {
    return driveOf(folder(), driveRoots());
}

// A drive that cannot be read leaves the lists where they were.
void FileGroupBox::setDrive(const QString& root) {
    drives_->setDrive(root);
    if (QDir(root).isReadable() && !folder().startsWith(root == "/" ? root : root + "/")) {
        setFolder(root);
    }
}

void FileGroupBox::setFolder(const QString& folder) {
    if (folders_->setFolder(folder)) {
        takeFolder();
    }
}

// The folder list moved: the process, the drive and the file list follow it.
void FileGroupBox::takeFolder() {
    QDir::setCurrent(folder());
    drives_->setDrive(driveOf(folder(), driveRoots()));
    fillFileList();
}

void FileGroupBox::setPattern(const QString& pattern) {
    pattern_->setText(pattern);
}

void FileGroupBox::takePattern(const QString& text) {
    if (const auto patterns = filePatterns(text)) {
        filePatterns_ = *patterns;
        fillFileList();
    }
}

void FileGroupBox::refresh() {
    folders_->refresh();
    fillFileList();
}

bool FileGroupBox::selectNextFile() {
    const int next = files_->currentRow() + 1;
    if (next >= files_->count()) {
        return false;
    }
    files_->setCurrentRow(next);
    return true;
}

QString FileGroupBox::selectedFile() const {
    const QListWidgetItem* item = files_->currentItem();
    return item ? fullPath(item->text()) : QString();
}

QString FileGroupBox::fullPath(const QString& name) const {
    return QDir(folder()).filePath(name);
}

void FileGroupBox::fillFileList() {
    files_->blockSignals(true);
    files_->clear();
    files_->addItems(QDir(folder()).entryList(filePatterns_, QDir::Files, QDir::Name));
    files_->setCurrentRow(-1);
    files_->blockSignals(false);
}

// A left click enlarges the folder list for long paths, a right click gives it its size back.
bool FileGroupBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == files_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && files_->currentItem()) {
        emit fileClicked(fullPath(files_->currentItem()->text()));
        return true;
    }
    if (watched == folders_->viewport() && event->type() == QEvent::MouseButtonPress &&
        enlargedFolderHeight_ > 0) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            folderPlace_->enlarge(enlargedFolderHeight_);
        } else if (mouse->button() == Qt::RightButton) {
            folderPlace_->shrink();
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kavlo
