#include "checker_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "busy_cursor.h"
#include "checker_help_text.h"
#include "checker_paths.h"
#include "checker_print.h"
#include "combo_label.h"
#include "core/atomic_file.h"
#include "drive_box.h"
#include "drive_list.h"
#include "folder_list.h"
#include "format_form.h"
#include "graph_preview_view.h"
#include "render/device_profile.h"
#include "screen_fit.h"

namespace kavlo {
namespace {

constexpr const char* kCheckerTitle = "QAP Checker";
constexpr std::size_t kLineLimit = 10000;
constexpr int kFormatWidthTwips = 10000;
// The editor's own width; a numeric or comment file shows the editor alone, 50 twips wider.
constexpr int kEditorWidthTwips = 6000;
constexpr int kHeightTwips = 9000;

// As narrow as its caption allows: seven buttons share the editor's width.
QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!caption.isEmpty()) {
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(caption) + 24);
    }
    return b;
}

// Monospaced so that columns of numbers line up, and with the Japanese characters.
QFont editorFace() {
    QFont face("IPAGothic");
    face.setStyleHint(QFont::Monospace);
    face.setPointSize(10);
    return face;
}

QString helpText() {
    QStringList lines;
    for (const char* line : checkerHelpLines()) {
        lines << QString::fromUtf8(line);
    }
    return lines.join('\n');
}

QString askFolderNameInDialog(QWidget* parent, const QString& suggested) {
    bool ok = false;
    const QString answer = QInputDialog::getText(
        parent, "フォルダの作成", "フォルダを作成します。フォルダ名は下記のものでいいでしょうか。",
        QLineEdit::Normal, suggested, &ok);
    return ok ? answer : QString();
}

bool showPrintDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    // No "print to file": files are written only through the atomic writer.
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

CheckerWindow::CheckerWindow(Session& session, MessageSink& messages, QWidget* parent)
    : QWidget(parent),
      session_(session),
      messages_(messages),
      folderBox_(new QLineEdit(this)),
      nameBox_(new QLineEdit(this)),
      readOnlyNote_(new QLabel(this)),
      save_(button("保存", "saveButton", this)),
      rename_(button("改名", "renameButton", this)),
      undo_(button("Undo", "undoButton", this)),
      convert_(button("改行変換", "lineEndButton", this)),
      print_(button("印刷", "printButton", this)),
      panelToggle_(button("▼", "folderPanelButton", this)),
      newFolder_(button(QString(), "newFolderButton", this)),
      back_(button("戻る", "backButton", this)),
      pathEnds_(button("<=>", "pathEndsButton", this)),
      drives_(new DriveBox(this)),
      folders_(new FolderList(this)),
      editor_(new QPlainTextEdit(this)),
      help_(new QPlainTextEdit(this)),
      form_(new FormatForm(editor_, this)),
      preview_(new GraphPreviewView(editor_, this)),
      formatPanel_(new QTabWidget(this)),
      askFolderName_(askFolderNameInDialog),
      printDialog_(showPrintDialog) {
    setObjectName("checkerWindow");
    setWindowTitle(kCheckerTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    session_.pathEndShown = false;

    editor_->setObjectName("editor");
    help_->setObjectName("helpPane");
    folderBox_->setObjectName("folderBox");
    nameBox_->setObjectName("nameBox");
    drives_->setObjectName("driveBox");
    folders_->setObjectName("folderList");
    readOnlyNote_->setObjectName("readOnlyNote");
    editor_->setAccessibleName("エディタ");
    help_->setAccessibleName("ヘルプ");
    folderBox_->setAccessibleName("フォルダ");
    nameBox_->setAccessibleName("ファイル名");
    driveLabel_ = comboLabel("ドライブ", "ドライブ", drives_);
    folders_->setAccessibleName("フォルダ一覧");
    newFolder_->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    newFolder_->setAccessibleName("フォルダの作成");
    newFolder_->setToolTip("フォルダの作成");
    panelToggle_->setAccessibleName("フォルダの選択");
    panelToggle_->setToolTip("フォルダの選択を開く・閉じる");
    pathEnds_->setAccessibleName("パス表示の切り替え");
    pathEnds_->setToolTip("パスの先頭と末尾の表示を切り替える");

    for (QPlainTextEdit* pane : {editor_, help_}) {
        pane->setFont(editorFace());
        pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    }
    help_->setPlainText(helpText());
    help_->setReadOnly(true);
    int widest = 0;
    for (const char* line : checkerHelpLines()) {
        widest = std::max(widest, help_->fontMetrics().horizontalAdvance(QString::fromUtf8(line)));
    }
    help_->setMinimumWidth(widest + help_->verticalScrollBar()->sizeHint().width() +
                           2 * help_->frameWidth() + 2 * screenPixels(150));
    readOnlyNote_->setStyleSheet("color: #a00000; font-weight: bold;");
    readOnlyNote_->setWordWrap(true);
    readOnlyNote_->hide();
    folders_->setFixedHeight(screenPixels(1800));

    auto* names = new QHBoxLayout;
    names->addWidget(folderBox_, 3);
    names->addWidget(nameBox_, 2);
    names->addWidget(pathEnds_);
    names->addWidget(panelToggle_);
    auto* drives = new QHBoxLayout;
    drives->addWidget(driveLabel_);
    drives->addWidget(drives_, 1);
    drives->addWidget(newFolder_);
    auto* commands = new QHBoxLayout;
    for (QPushButton* b : {save_, rename_, undo_, convert_, print_}) {
        commands->addWidget(b);
    }
    commands->addStretch();
    commands->addWidget(back_);
    auto* left = new QVBoxLayout;
    left->addLayout(names);
    left->addLayout(drives);
    left->addWidget(folders_);
    left->addWidget(readOnlyNote_);
    left->addWidget(editor_, 1);
    left->addLayout(commands);
    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left, 3);
    formatPanel_->setObjectName("formatPanel");
    // The tab bar takes focus in the panel's place.
    formatPanel_->setFocusPolicy(Qt::NoFocus);
    formatPanel_->tabBar()->setAccessibleName("ヘルプとフォーム");
    formatPanel_->addTab(help_, "ヘルプ");
    auto* formAndPreview = new QSplitter(Qt::Vertical, this);
    formAndPreview->setObjectName("formAndPreview");
    formAndPreview->setAccessibleName("プレビューとフォーム");
    formAndPreview->addWidget(preview_);
    formAndPreview->addWidget(form_);
    formAndPreview->setSizes({screenPixels(3600), screenPixels(5400)});
    formatPanel_->addTab(formAndPreview, "フォーム");
    columns->addWidget(formatPanel_, 2);
    resize(screenPixels(kFormatWidthTwips), screenPixels(kHeightTwips));
    // Row by row as laid out, the help pane beside them last.
    const QWidgetList tabOrder{
        folderBox_, nameBox_, pathEnds_, panelToggle_, drives_,
        newFolder_, folders_, editor_,   save_,        rename_,
        undo_,      convert_, print_,    back_,        formatPanel_->tabBar(),
        help_};
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    setEditButtonsShown(false);
    setFolderPanelOpen(false);

    connect(editor_, &QPlainTextEdit::textChanged, this, [this] { edited(-1); });
    for (QLineEdit* box : {folderBox_, nameBox_}) {
        connect(box, &QLineEdit::textChanged, this, [this] { edited(0); });
    }
    connect(save_, &QPushButton::clicked, this, [this] { save(false); });
    connect(rename_, &QPushButton::clicked, this, [this] { save(true); });
    connect(undo_, &QPushButton::clicked, this, &CheckerWindow::undo);
    connect(convert_, &QPushButton::clicked, this, &CheckerWindow::convertLineEnds);
    connect(print_, &QPushButton::clicked, this, &CheckerWindow::print);
    connect(panelToggle_, &QPushButton::clicked, this,
            [this] { setFolderPanelOpen(!folderPanelOpen_); });
    connect(newFolder_, &QPushButton::clicked, this, &CheckerWindow::createFolder);
    connect(back_, &QPushButton::clicked, this, [this] {
        setFolderPanelOpen(false);
        hide();
    });
    connect(pathEnds_, &QPushButton::clicked, this, &CheckerWindow::togglePathEnds);
    connect(drives_, &DriveBox::driveChosen, this, [this](const QString& root) {
        if (folders_->setFolder(root)) {
            chooseFolder(folders_->folder());
        }
    });
    connect(folders_, &FolderList::folderChosen, this, &CheckerWindow::chooseFolder);
    auto* insert = new QShortcut(QKeySequence(Qt::Key_Insert), this);
    connect(insert, &QShortcut::activated, this, [this] { insertMode_ = insertMode_ ? 0 : -1; });
    folderBox_->installEventFilter(this);
    nameBox_->installEventFilter(this);
    editor_->installEventFilter(this);
}

bool CheckerWindow::openFile(const QString& path, int source, const QString& numericPath) {
    if (isMinimized()) {
        showNormal();
    }
    if (!discardAgreed()) {
        return false;
    }
    OpenedText opened;
    {
        const BusyCursor busy;
        opened = openTextFile(std::filesystem::path(path.toStdString()));
    }
    if (opened.access != FileAccess::Ok) {
        messages_.show({kCheckerTitle, fileAccessText(opened.access)});
        return false;
    }
    bool dropped = false;
    if (opened.lineCount >= kLineLimit &&
        messages_.show({"Read Over !", "ファイルが10000行を越えます。読込みを中断しますか。",
                        MessageIcon::Question, MessageButtons::OkCancel}) == MessageAnswer::Ok) {
        dropped = keepFirstLines(opened, kLineLimit);
    }

    const BusyCursor busy;
    const bool formatFile = source / 10 == 1;
    formatPanel_->setVisible(formatFile);
    layout()->activate();  // the minimum width follows the controls shown now
    const int margins = layout()->contentsMargins().left() + layout()->contentsMargins().right();
    resize(formatFile ? screenPixels(kFormatWidthTwips)
                      : screenPixels(kEditorWidthTwips + 50) + margins,
           height());
    filling_ = true;
    editor_->setPlainText(QString::fromStdString(opened.text));
    const FolderAndName parts = splitAtLastSeparator(path);
    folderBox_->setText(parts.folder);
    nameBox_->setText(parts.name);
    filling_ = false;
    folderBox_->setCursorPosition(0);
    nameBox_->setCursorPosition(0);

    // Saving dropped lines or undecodable bytes over the file would lose them.
    readOnly_ = dropped || !opened.readOnlyReason.empty();
    const QString why = dropped ? "10000行目より後を読み込んでいないため、保存できません。"
                                : QString::fromStdString(opened.readOnlyReason);
    readOnlyNote_->setText("読み取り専用: " + why);
    readOnlyNote_->setVisible(readOnly_);
    editor_->setReadOnly(readOnly_);
    form_->setReadOnly(readOnly_);
    preview_->follow(formatFile ? source % 10 : 0, numericPath);
    convert_->setVisible(!readOnly_);
    layout_ = std::move(opened.layout);
    openedPath_ = path;
    checkerSource_ = source;
    lineEndsConverted_ = false;
    editor_->document()->setModified(false);
    setEditButtonsShown(false);
    editorLastEdited_ = 0;
    setFolderPanelOpen(false);
    keepOnScreen(this);
    show();
    raise();
    activateWindow();
    if (!opened.readOnlyReason.empty()) {
        messages_.show({kCheckerTitle, opened.readOnlyReason});
    }
    return true;
}

QString CheckerWindow::editorText() const {
    QString text = editor_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QChar('\n'));
    return text;
}

bool CheckerWindow::hasUnsavedEdits() const {
    return editor_->document()->isModified() || lineEndsConverted_;
}

void CheckerWindow::edited(int where) {
    if (filling_) {
        return;
    }
    editorLastEdited_ = where;
    setEditButtonsShown(true);
}

void CheckerWindow::setEditButtonsShown(bool shown) {
    save_->setVisible(shown && !readOnly_);
    rename_->setVisible(shown && !readOnly_);
    undo_->setVisible(shown);
}

void CheckerWindow::save(bool rename) {
    if (!readOnly_ && writeText(rename)) {
        setEditButtonsShown(false);
        emit saved(checkerSource_, openedPath_);
    }
    emit listsChanged();
}

bool CheckerWindow::writeText(bool rename) {
    const QString name = nameBox_->text();
    if (const QString problem = fileNameProblem(name); !problem.isEmpty()) {
        messages_.show({kCheckerTitle, problem.toStdString()});
        return false;
    }
    const QString target = joinFolderAndName(folderBox_->text(), name);
    const std::filesystem::path targetPath = target.toStdString();
    const bool sameFile = isSameFile(target, openedPath_);
    std::error_code error;
    if (!sameFile && std::filesystem::exists(targetPath, error) &&
        messages_.show({kCheckerTitle, "ファイルが存在します。上書きしてもいいですか。",
                        MessageIcon::Question, MessageButtons::YesNo}) != MessageAnswer::Yes) {
        return false;
    }
    EncodedText encoded = encodeText(editorText().toStdString(), layout_);
    if (!encoded.problem.empty()) {
        messages_.show({kCheckerTitle, encoded.problem});
        return false;
    }
    if (const WriteResult written = replaceFileAtomically(targetPath, encoded.bytes);
        !written.ok()) {
        messages_.show({kCheckerTitle, written.message});
        return false;
    }
    // The old name goes only once the text is safe under the new one.
    if (rename && !sameFile &&
        !std::filesystem::remove(std::filesystem::path(openedPath_.toStdString()), error) &&
        error) {
        messages_.show({kCheckerTitle, "保存しましたが、元のファイル " + openedPath_.toStdString() +
                                           " を削除できませんでした: " + error.message()});
    }
    layout_ = std::move(encoded.layout);
    openedPath_ = target;
    lineEndsConverted_ = false;
    editor_->document()->setModified(false);
    return true;
}

void CheckerWindow::undo() {
    if (editorLastEdited_ != -1) {
        nameBox_->undo();
    } else {
        editor_->undo();
    }
}

void CheckerWindow::convertLineEnds() {
    if (readOnly_) {
        return;
    }
    convertLineEndsToCrLf(layout_);
    lineEndsConverted_ = true;
    edited(-1);
}

void CheckerWindow::print() {
    QPrinter printer(QPrinter::HighResolution);
    if (!printDialog_(this, printer)) {
        return;
    }
    const BusyCursor busy;
    const QString stamp = printStamp(QDateTime::currentDateTime(),
                                     joinFolderAndName(folderBox_->text(), nameBox_->text()));
    const QString problem = printStampedText(printer, stamp, editorText(), editor_->font());
    if (!problem.isEmpty()) {
        messages_.show({kCheckerTitle, problem.toStdString()});
    }
}

void CheckerWindow::togglePathEnds() {
    bool& endShown = session_.pathEndShown;
    for (QLineEdit* box : {folderBox_, nameBox_}) {
        box->setCursorPosition(endShown ? 1 : static_cast<int>(box->text().size()));
    }
    endShown = !endShown;
}

void CheckerWindow::setFolderPanelOpen(bool open) {
    folderPanelOpen_ = open;
    panelToggle_->setText(open ? "▲" : "▼");
    folderBox_->setReadOnly(!open);
    folderBox_->setStyleSheet(open ? "background-color: #ffffc0;"
                                   : "background-color: palette(button);");
    for (QWidget* w : std::initializer_list<QWidget*>{newFolder_, driveLabel_, drives_, folders_}) {
        w->setVisible(open);
    }
    if (open) {
        if (!folders_->setFolder(folderBox_->text())) {
            folders_->setFolder(QDir::currentPath());
        }
        drives_->setDrive(driveOf(folders_->folder(), driveRoots()));
    }
}

void CheckerWindow::takeFolderOver() {
    folderBox_->setText(withTrailingSeparator(folders_->folder()));
    setFolderPanelOpen(false);
}

void CheckerWindow::chooseFolder(const QString& folder) {
    QDir::setCurrent(folder);
    drives_->setDrive(driveOf(folder, driveRoots()));
}

// Failures (the folder exists, no right to make it) end the command quietly.
void CheckerWindow::createFolder() {
    if (!folderPanelOpen_) {
        return;
    }
    const QString name = askFolderName_(this, "新しいフォルダ");
    if (name.isEmpty() || name.contains('/')) {
        return;
    }
    const QString path = joinFolderAndName(folders_->folder(), name);
    if (QDir().mkdir(path) && folders_->setFolder(path)) {
        chooseFolder(folders_->folder());
    }
}

bool CheckerWindow::discardAgreed() {
    return !hasUnsavedEdits() ||
           messages_.show({kCheckerTitle, "編集内容が保存されていません。破棄してもいいですか。",
                           MessageIcon::Question, MessageButtons::OkCancel}) == MessageAnswer::Ok;
}

void CheckerWindow::closeEvent(QCloseEvent* event) {
    if (discardAgreed()) {
        event->accept();
    } else {
        event->ignore();
    }
}

bool CheckerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == folderBox_ && event->type() == QEvent::MouseButtonPress && folderPanelOpen_) {
        takeFolderOver();
        return true;
    }
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // Overtype: a typed character replaces the one after the caret.
    if (watched == nameBox_ && insertMode_ == 0 && !key->text().isEmpty() &&
        key->text().at(0).isPrint() && !nameBox_->hasSelectedText()) {
        nameBox_->setSelection(nameBox_->cursorPosition(), 1);
    }
    // A soft line break would be saved as U+2028: Shift+Enter starts a line like Enter.
    if (watched == editor_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        key->modifiers() & Qt::ShiftModifier && !editor_->isReadOnly()) {
        editor_->textCursor().insertBlock();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kavlo
