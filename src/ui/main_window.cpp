#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QUrl>

#include "canvas_window.h"
#include "combo_label.h"
#include "core/bounded_file.h"
#include "core/opened_files.h"
#include "core/path_file.h"
#include "core/path_relocation.h"
#include "file_group_box.h"
#include "help_window.h"
#include "render/device_profile.h"
#include "screen_fit.h"
#include "slot_box.h"

namespace kavlo {
namespace {

const char* const kWelcome =
    "初めまして、Kavloです。サンプルを描画しますので、最初に描画ボタンを押してみてください。";
const QString kSizeCaptions[] = {"サイズ Ａ", "サイズ Ｂ", "サイズ Ｃ", "サイズ Ｄ",
                                 "サイズ Ｅ", "サイズ Ｆ", "サイズ Ｇ"};
constexpr int kWindowOffset = screenPixels(1000);
constexpr int kEnlargedFormatFolders = screenPixels(5550);
constexpr int kEnlargedNumericFolders = screenPixels(3660);

// A path file that is empty or cannot be read, and what was not done for it.
Message unreadablePathFile(const std::filesystem::path& pathFile, std::string_view outcome) {
    return {kPathFileName,
            "パスファイル " + pathFile.string() + " が空か読めないため、" + std::string(outcome)};
}

QSettings settings() {
    return QSettings("Fernwick", "qap");
}

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QComboBox* list(const QStringList& entries, const char* name, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(entries);
    return combo;
}

// A list index read from a path file may lie outside the list: then nothing is chosen.
void choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

// Writes the path file and reports nothing: a folder that takes none is the user's choice.
void writeQuietly(const std::filesystem::path& folder, const PageSetup& setup) {
    if (!folder.empty()) {
        writePathFile(folder / kPathFileName, setup);
    }
}

std::filesystem::path firstFolder(const PageSetup& setup, FileKind kind) {
    for (int g = 1; g <= kSlotCount; ++g) {
        if (!setup.file(kind, g).empty()) {
            return folderOf(setup.file(kind, g));
        }
    }
    return {};
}

}  // namespace

MainWindow::MainWindow(Session& session, MessageSink& messages, QWidget* parent)
    : QWidget(parent),
      session_(session),
      messages_(messages),
      headerText_(new QLineEdit(this)),
      headerFace_(list({"ＭＳ Ｐ明朝", "ＭＳ Ｐゴシック", "Times New Roman", "Arial"},
                       "headerFaceChoice", this)),
      headerSize_(list({"1", "2", "3", "4", "5", "6", "7", "8", "9"}, "headerSizeChoice", this)),
      headerAlignment_(list({"左端", "中央", "右端"}, "headerAlignmentChoice", this)),
      draw_(button("描画", "drawButton", this)),
      size_(button(kSizeCaptions[0], "sizeButton", this)),
      save_(button("保存", "saveButton", this)),
      search_(button("検索", "searchButton", this)) {
    setObjectName("mainWindow");
    setWindowTitle("Kavlo " KAVLO_VERSION);
    move(kWindowOffset, kWindowOffset);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    QWidgetList tabOrder;
    for (int k = 1; k <= 3; ++k) {
        const auto kind = static_cast<FileKind>(k - 1);
        auto* group = new FileGroupBox(kind, QString::fromStdString(fileKindTitle(kind)), this);
        fileGroups_[static_cast<std::size_t>(k - 1)] = group;
        layout->addWidget(group);
        tabOrder << group->tabOrder();
        connect(group, &FileGroupBox::slotArmed, this, [this, k](int g) { arm(k, g); });
        connect(group, &FileGroupBox::fileClicked, this,
                [this, k](const QString& path) { pick(k, path); });
        connect(group, &FileGroupBox::stepRequested, this, [this, k](int g) { step(k, g); });
        connect(group, &FileGroupBox::checkerRequested, this,
                [this, k](int g) { openChecker(k, g); });
        if (k == 1) {
            auto* ends = button("<=>", "pathEndsButton", this);
            ends->setToolTip("パスの先頭と末尾の表示を切り替える");
            ends->setAccessibleName("パス表示の切り替え");
            connect(ends, &QPushButton::clicked, this, &MainWindow::togglePathEnds);
            layout->addWidget(ends, 0, Qt::AlignLeft);
            tabOrder << ends;
        }
    }
    group(FileKind::Format)->setEnlargedFolderHeight(kEnlargedFormatFolders);
    group(FileKind::Numeric)->setEnlargedFolderHeight(kEnlargedNumericFolders);
    connect(group(FileKind::Format), &FileGroupBox::buttonClicked, this, &MainWindow::refreshLists);
    // "▲" takes the drive and folder of the group above it.
    for (const auto& [to, from] : {std::pair{FileKind::Numeric, FileKind::Format},
                                   std::pair{FileKind::Comment, FileKind::Numeric}}) {
        // Copies, not the bindings: clang 14 cannot capture structured bindings.
        connect(group(to), &FileGroupBox::buttonClicked, this, [this, to = to, from = from] {
            group(to)->setDrive(group(from)->drive());
            group(to)->setFolder(group(from)->folder());
        });
    }

    headerText_->setObjectName("headerTextBox");
    auto* header = new QHBoxLayout;
    auto* headerLabel = new QLabel("ヘッダー", this);
    headerLabel->setBuddy(headerText_);
    header->addWidget(headerLabel);
    header->addWidget(headerText_, 1);
    header->addWidget(comboLabel("書体", "ヘッダーの書体", headerFace_));
    header->addWidget(headerFace_);
    header->addWidget(comboLabel("大きさ", "ヘッダーの大きさ", headerSize_));
    header->addWidget(headerSize_);
    header->addWidget(comboLabel("位置", "ヘッダーの位置", headerAlignment_));
    header->addWidget(headerAlignment_);
    layout->addLayout(header);
    tabOrder << headerText_ << headerFace_ << headerSize_ << headerAlignment_;

    auto* quit = button("終了", "quitButton", this);
    auto* help = button("ヘルプ", "helpButton", this);
    auto* home = button("HP", "homePageButton", this);
    save_->setToolTip("作業フォルダーへの保存");
    save_->hide();
    search_->setToolTip("作業フォルダーの検索と読み込み");
    auto* commands = new QHBoxLayout;
    for (QPushButton* b : {draw_, quit, help, size_, save_, search_, home}) {
        commands->addWidget(b);
        tabOrder << b;
    }
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    commands->addStretch();
    layout->addLayout(commands);
    draw_->setDefault(true);

    connect(draw_, &QPushButton::clicked, this, &MainWindow::drawRequest);
    connect(quit, &QPushButton::clicked, this, &MainWindow::close);
    connect(help, &QPushButton::clicked, this, &MainWindow::showHelp);
    connect(size_, &QPushButton::clicked, this, &MainWindow::cycleSize);
    connect(home, &QPushButton::clicked, this, &MainWindow::openHomePage);
    connect(save_, &QPushButton::clicked, this, &MainWindow::openDataSave);
    connect(search_, &QPushButton::clicked, this, &MainWindow::openFolderSearch);
}

MainWindow::~MainWindow() {
    delete canvas_;
    delete help_;
    delete checker_;
    delete dataSave_;
    delete folderSearch_;
}

FileGroupBox* MainWindow::group(FileKind kind) const {
    return fileGroups_[static_cast<std::size_t>(kind)];
}

PageSetup MainWindow::designSetup() const {
    PageSetup setup;
    const std::string folder = session_.appFolder.string();
    for (FileKind kind : {FileKind::Format, FileKind::Numeric, FileKind::Comment}) {
        setup.picker(kind).drive = "/";
        setup.picker(kind).folder = folder;
        setup.picker(kind).pattern = defaultPattern(kind);
    }
    setup.header = HeaderSetup{"", 0, 2, 1};
    return setup;
}

void MainWindow::startUp(const std::vector<std::filesystem::path>& files) {
    const QString stored = settings().value("size", "0").toString();
    const char letter = stored == "0" ? 'a' : stored.size() == 1 ? stored[0].toLatin1() : '?';
    if (letter >= 'a' && letter <= 'g') {
        size_->setText(kSizeCaptions[letter - 'a']);
    }
    save_->hide();
    if (!files.empty()) {
        const auto last = loadWorkingFolder(session_.appFolder / kPathFileName, designSetup());
        setPageSetup(last ? last->setup : designSetup());
        openFiles(files);
        return;
    }
    const std::filesystem::path pathFile = session_.appFolder / kPathFileName;
    if (restore(pathFile, designSetup())) {
        return;
    }
    setPageSetup(designSetup());
    // The folder is the user's: no sample was put there to offer.
    if (holdsPathFile(session_.appFolder)) {
        messages_.show(unreadablePathFile(pathFile, "前回の選択を戻せませんでした。"));
        return;
    }
    messages_.show({"Kavlo", kWelcome, MessageIcon::None, MessageButtons::Ok});
    setPageSetup(sampleSetup(session_.appFolder.string()));
}

bool MainWindow::loadPathFile(const std::filesystem::path& pathFile) {
    QDir::setCurrent(QString::fromStdString(pathFile.parent_path().string()));
    PageSetup emptied = pageSetup();
    for (FilePicker& picker : emptied.pickers) {
        picker.files.fill({});
    }
    emptied.header.text.clear();
    return restore(pathFile, emptied);
}

// Files a working folder brought from elsewhere names are looked for beside its path file;
// one message tells what moved and what is missing.
bool MainWindow::restore(const std::filesystem::path& pathFile, const PageSetup& base) {
    const auto loaded = loadWorkingFolder(pathFile, base);
    if (!loaded) {
        return false;
    }
    setPageSetup(loaded->setup);
    if (const auto relocated = relocationMessage(loaded->report)) {
        messages_.show(*relocated);
    }
    return true;
}

void MainWindow::openDataSave() {
    if (!dataSave_) {
        dataSave_ = new DataSaveWindow(
            session_.appFolder, [this] { return pageSetup(); }, messages_);
        connect(dataSave_, &DataSaveWindow::saved, save_, &QWidget::hide);
    }
    dataSave_->open();
}

void MainWindow::openFolderSearch() {
    if (!folderSearch_) {
        folderSearch_ = new FolderSearchWindow(
            session_.appFolder,
            [this](const std::filesystem::path& pathFile) { return loadPathFile(pathFile); });
    }
    folderSearch_->open();
}

PageSetup MainWindow::pageSetup() const {
    PageSetup setup;
    for (FileKind kind : {FileKind::Format, FileKind::Numeric, FileKind::Comment}) {
        setup.picker(kind) = group(kind)->state();
    }
    setup.header = HeaderSetup{headerText_->text().toStdString(), headerFace_->currentIndex(),
                               headerSize_->currentIndex(), headerAlignment_->currentIndex()};
    return setup;
}

void MainWindow::setPageSetup(const PageSetup& setup) {
    for (FileKind kind : {FileKind::Format, FileKind::Numeric, FileKind::Comment}) {
        group(kind)->setState(setup.picker(kind));
    }
    headerText_->setText(QString::fromStdString(setup.header.text));
    choose(headerFace_, setup.header.faceIndex);
    choose(headerSize_, setup.header.sizeIndex);
    choose(headerAlignment_, setup.header.alignmentIndex);
}

// A path file among the files loads its working folder as the search window does; the data
// files then take the slots.
void MainWindow::openFiles(const std::vector<std::filesystem::path>& files) {
    std::vector<std::filesystem::path> dataFiles;
    for (const std::filesystem::path& file : files) {
        if (isPathFile(file)) {
            openWorkingFolder(std::filesystem::absolute(file));
        } else {
            dataFiles.push_back(file);
        }
    }
    if (dataFiles.empty()) {
        return;
    }
    const OpenedFiles opened = placeOpenedFiles(pageSetup(), dataFiles);
    setPageSetup(opened.setup);
    if (const auto message = leftOutFilesMessage(opened)) {
        messages_.show(*message);
    }
}

void MainWindow::openWorkingFolder(const std::filesystem::path& pathFile) {
    if (!loadPathFile(pathFile)) {
        messages_.show(unreadablePathFile(pathFile, "作業フォルダーを読み込めませんでした。"));
    }
}

void MainWindow::arm(int kind, int slot) {
    pickTarget_ = 10 * kind + slot;
}

// A file list fills only a box of its own kind; a target of another kind stays armed.
void MainWindow::pick(int kind, const QString& fullPath) {
    const int slot = pickTarget_ - 10 * kind;
    if (slot < 1 || slot > kSlotCount) {
        return;
    }
    if (takesName(kind, slot, fullPath)) {
        fileGroups_[static_cast<std::size_t>(kind - 1)]->setSlotText(slot, fullPath);
    }
    pickTarget_ = 0;
}

void MainWindow::step(int kind, int slot) {
    FileGroupBox* g = fileGroups_[static_cast<std::size_t>(kind - 1)];
    if (!g->selectNextFile()) {
        return;  // past the last file: the box stays empty
    }
    if (takesName(kind, slot, g->selectedFile())) {
        g->setSlotText(slot, g->selectedFile());
    }
}

// A name the path file cannot hold is refused where it would enter a box.
bool MainWindow::takesName(int kind, int slot, const QString& fullPath) {
    const std::string name = fullPath.toStdString();
    if (!breaksPathFileLine(name)) {
        return true;
    }
    messages_.show({"Kavlo", unwritableNameText({static_cast<FileKind>(kind - 1), slot, name},
                                                "欄に入れませんでした。")});
    return false;
}

void MainWindow::togglePathEnds() {
    bool& endShown = session_.pathEndShown;
    endShown = !endShown;
    for (FileGroupBox* g : fileGroups_) {
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            SlotBox* box = g->slotBox(slot);
            box->setCursorPosition(endShown ? static_cast<int>(box->text().size()) : 1);
        }
    }
}

void MainWindow::refreshLists() {
    for (FileGroupBox* g : fileGroups_) {
        g->refresh();
    }
}

// A missing file leaves the box; the checker itself tells why any other file cannot be opened.
void MainWindow::openChecker(int kind, int slot) {
    FileGroupBox* g = fileGroups_[static_cast<std::size_t>(kind - 1)];
    const QString path = g->slotText(slot);
    if (path.isEmpty()) {
        return;
    }
    if (probeDataFile(path.toStdString()) == FileAccess::Missing) {
        messages_.show({"QAP Checker", fileAccessText(FileAccess::Missing)});
        g->setSlotText(slot, {});
        return;
    }
    if (!checker_) {
        checker_ = new CheckerWindow(session_, messages_);
        connect(checker_, &CheckerWindow::saved, this, &MainWindow::takeSavedPath);
        connect(checker_, &CheckerWindow::listsChanged, this, &MainWindow::refreshLists);
    }
    // A format file's preview plots the slot's numeric file as the boxes name it now.
    const QString numericPath = kind == 1 ? group(FileKind::Numeric)->slotText(slot) : QString();
    checker_->openFile(path, 10 * kind + slot, numericPath);
}

void MainWindow::takeSavedPath(int source, const QString& path) {
    const int kind = source / 10, slot = source % 10;
    if (kind >= 1 && kind <= 3 && slot >= 1 && slot <= kSlotCount) {
        fileGroups_[static_cast<std::size_t>(kind - 1)]->setSlotText(slot, path);
    }
}

char MainWindow::sizeLetter() const {
    for (int k = 0; k < 7; ++k) {
        if (size_->text() == kSizeCaptions[k]) {
            return static_cast<char>('a' + k);
        }
    }
    return '?';
}

void MainWindow::cycleSize() {
    const char letter = sizeLetter();
    if (letter == '?') {
        return;
    }
    const char next = letter == 'g' ? 'a' : static_cast<char>(letter + 1);
    size_->setText(kSizeCaptions[next - 'a']);
    settings().setValue("size", QString(QChar(next)));
}

void MainWindow::drawRequest() {
    if (const auto unwritable = firstUnwritableName(pageSetup())) {
        messages_.show({"Kavlo", unwritableNameText(*unwritable, "描画しませんでした。")});
        return;
    }
    session_.steps.zoom.fill(0);
    session_.steps.turn.fill(0);
    session_.applyViewSize(sizeLetter());
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    hide();
    session_.setup = pageSetup();
    // The canvas opens on this window's screen.
    session_.redraw.setDevicePixelRatio(devicePixelRatioF());
    session_.composeScreenPage(messages_);
    // Missing files and slots without a format file have lost their names.
    for (FileKind kind : {FileKind::Format, FileKind::Numeric, FileKind::Comment}) {
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            const QString name = QString::fromStdString(session_.setup.file(kind, slot));
            if (group(kind)->slotText(slot) != name) {
                group(kind)->setSlotText(slot, name);
            }
        }
    }
    writeQuietly(session_.appFolder, session_.setup);
    writeQuietly(firstFolder(session_.setup, FileKind::Format), session_.setup);
    writeQuietly(firstFolder(session_.setup, FileKind::Numeric), session_.setup);
    if (!canvas_) {
        canvas_ = new CanvasWindow(session_);
        connect(canvas_, &CanvasWindow::backPressed, this, [this] { canvasLeft(true); });
        connect(canvas_, &CanvasWindow::closedByUser, this, [this] { canvasLeft(false); });
    }
    canvas_->showPage();
    QGuiApplication::restoreOverrideCursor();
}

void MainWindow::canvasLeft(bool byBackButton) {
    if (canvas_) {
        canvas_->deleteLater();
        canvas_ = nullptr;
    }
    show();
    if (byBackButton) {
        save_->show();
    }
}

void MainWindow::showHelp() {
    const QString file = helpFileIn(session_.appFolder);
    if (!help_) {
        help_ = new HelpWindow;
    }
    if (!help_->open(file)) {
        messages_.show({"ヘルプ", "ヘルプファイル " + file.toStdString() + " を開けません。"});
        return;
    }
    keepOnScreen(help_);
    help_->show();
    help_->raise();
}

void MainWindow::openHomePage() {
    const QString address = settings().value("homepage").toString();
    if (address.isEmpty() || !QDesktopServices::openUrl(QUrl(address))) {
        messages_.show({"HP", "ホームページのアドレスが設定されていません。設定ファイル " +
                                  settings().fileName().toStdString() +
                                  " の homepage に書いて下さい。"});
    }
}

// Closing the main window ends the program, whatever else is open, unless the checker holds
// edits the user wants to keep.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (checker_ && !checker_->close()) {
        event->ignore();
        return;
    }
    if (canvas_) {
        canvas_->hide();
    }
    for (QWidget* w : std::initializer_list<QWidget*>{help_, dataSave_, folderSearch_}) {
        if (w) {
            w->close();
        }
    }
    event->accept();
    QApplication::quit();
}

}  // namespace kavlo
