#include "ui/checker_window.h"

#include <QPrinter>

#include "core/format_fields.h"
#include "hill_grid.h"
#include "ui/file_group_box.h"
#include "ui/graph_preview_view.h"
#include "ui/main_window.h"
#include "ui_helpers.h"

namespace kavlo {
namespace {

using namespace test;

class CheckerWindowTest : public testing::Test {
  protected:
    ~CheckerWindowTest() override { delete window_; }

    template <typename T = QWidget>
    T* control(const char* name) const {
        return window_->findChild<T*>(name);
    }
    bool shown(const char* name) const { return control(name)->isVisibleTo(window_); }
    void click(const char* name) const { test::click(window_, name); }
    // An edit of the name box that leaves it as it was: save and rename are offered.
    void touchName() const {
        const QString name = nameBox_->text();
        QTest::keyClick(nameBox_, Qt::Key_End);
        QTest::keyClicks(nameBox_, "x\b");
        EXPECT_EQ(nameBox_->text(), name);
    }
    std::string open(const std::string& name, std::string_view bytes, int source = 21) {
        const std::string path = dir_.write(name, bytes);
        EXPECT_TRUE(window_->openFile(qpath(path), source)) << name;
        return path;
    }

    test::TempDir dir_;
    Session session_{dir_.path()};
    AnsweringMessages messages_;
    QPointer<CheckerWindow> window_ = new CheckerWindow(session_, messages_);
    QPlainTextEdit* editor_ = control<QPlainTextEdit>("editor");
    QLineEdit* folderBox_ = control<QLineEdit>("folderBox");
    QLineEdit* nameBox_ = control<QLineEdit>("nameBox");
};

TEST_F(CheckerWindowTest, APreviewTooLargeForTheScreenSaysWhyInItsPlace) {
    const std::string numeric = dir_.write("large.dat", hillGrid(320));
    const std::string format = dir_.write("f.dat", FormatLines{.tilt = "30, 30, 1, 100, 3"}.text());
    ASSERT_TRUE(window_->openFile(qpath(format), 11, qpath(numeric)));
    auto* preview = control<GraphPreviewView>("graphPreview");
    QSignalSpy redrawn(preview, &GraphPreviewView::redrawn);
    control<QTabWidget>("formatPanel")->setCurrentIndex(1);
    ASSERT_TRUE(redrawn.wait());
    EXPECT_TRUE(preview->image().isNull());
    EXPECT_TRUE(holdsAll(preview->accessibleDescription().toStdString(),
                         {"グラフが大きすぎて描けません。", "IPL = 100"}));
}

TEST_F(CheckerWindowTest, UneditedTextSavesBackByteForByteAndEditsKeepTheEncoding) {
    const std::pair<std::string, QString> cases[] = {
        // Encodings and line ends alone are the core's; these pass through the editor's own text.
        {"\x82\xA0\r\n\x8A\xBF\r\n", "あ\n漢"},                // CP932
        {"a\r\nb\nc\n\rd\re\xC2\xA0", "a\nb\nc\nd\ne\u00A0"},  // mixed, NBSP
        {"", ""},
    };
    for (const auto& [bytes, text] : cases) {
        const std::string path = open("round.dat", bytes);
        EXPECT_EQ(window_->editorText(), text);
        EXPECT_FALSE(shown("saveButton") || shown("undoButton") || shown("renameButton"));
        touchName();
        click("saveButton");
        EXPECT_EQ(std::pair(bytesOf(path), shown("saveButton")), std::pair(bytes, false));
    }
    EXPECT_TRUE(messages_.messages.empty());

    // A character the file's encoding (CP932) lacks writes nothing and says why.
    const std::string path = open("cp932.dat", "\x82\xA0\r\nb\r\n");
    editor_->moveCursor(QTextCursor::End);
    editor_->insertPlainText("😀");
    click("saveButton");
    EXPECT_TRUE(test::toldOnce(messages_.messages, {"2 行目"}));
    EXPECT_EQ(bytesOf(path), "\x82\xA0\r\nb\r\n");
}

TEST_F(CheckerWindowTest, SaveAsRenameAndOverwriteAskFirstAndNeverLoseTheOldFile) {
    std::vector<std::pair<int, QString>> saved;
    QObject::connect(window_, &CheckerWindow::saved,
                     [&](int source, const QString& path) { saved.emplace_back(source, path); });
    const std::string a = open("a.dat", "A\r\n", 23);
    const std::string c = dir_.write("c.dat", "C\r\n");
    const QString folder = qpath(dir_.path());

    // A new name is written at once; a folder typed without "/" still gets one.
    folderBox_->setText(folder);
    nameBox_->setText("b.dat");
    click("saveButton");
    EXPECT_EQ(bytesOf(dir_.path() / "b.dat") + bytesOf(a), "A\r\nA\r\n");
    EXPECT_EQ(saved, (std::vector{std::pair(23, folder + "/b.dat")}));

    // An existing other file: No writes nothing, Yes overwrites.
    nameBox_->setText("c.dat");
    messages_.answers = {MessageAnswer::No};
    click("saveButton");
    EXPECT_EQ(bytesOf(c), "C\r\n");
    messages_.answers = {MessageAnswer::Yes};
    click("saveButton");
    EXPECT_EQ(bytesOf(c), "A\r\n");
    EXPECT_EQ(messages_.count("ファイルが存在します。上書きしてもいいですか。"), 2u);

    // Rename: the new file is written, then the opened one goes; a failed write keeps it.
    nameBox_->setText("d.dat");
    click("renameButton");
    EXPECT_EQ(bytesOf(dir_.path() / "d.dat"), "A\r\n");
    EXPECT_FALSE(std::filesystem::exists(c));
    folderBox_->setText(folder + "/no-such-folder/");
    click("renameButton");
    EXPECT_TRUE(std::filesystem::exists(dir_.path() / "d.dat"));
    EXPECT_TRUE(test::holdsAll(messages_.messages.back().text, {"no-such-folder"}));
    // Renamed to its own name, or to a link to it, the file is rewritten and kept.
    std::filesystem::create_symlink("d.dat", dir_.path() / "link.dat");
    for (const char* name : {"d.dat", "link.dat"}) {
        folderBox_->setText(folder);
        nameBox_->setText(name);
        click("renameButton");
        EXPECT_EQ(bytesOf(dir_.path() / "d.dat"), "A\r\n") << name;
    }

    // Names that would write elsewhere, or nowhere, are refused.
    folderBox_->setText(folder + "/");
    const auto before = folderListing(dir_.path());
    const std::size_t messages = messages_.messages.size();
    for (const char* name : {"", "sub/e.dat", ".", "..", "e\n.dat", "e\r.dat"}) {
        nameBox_->setText(name);
        click("saveButton");
        click("renameButton");
    }
    EXPECT_EQ(std::tuple(messages_.messages.size(), folderListing(dir_.path()), saved.size()),
              std::tuple(messages + 12, before, 5u));
}

TEST_F(CheckerWindowTest, TheTenThousandLineQuestionComesOnceAndDroppedLinesMakeTheTextReadOnly) {
    // Lines, answer, times asked, lines shown, read-only.
    const std::tuple<int, MessageAnswer, std::size_t, int, bool> cases[] = {
        {9999, MessageAnswer::Ok, 0, 9999, false},
        {10000, MessageAnswer::Ok, 1, 10000, false},
        {10001, MessageAnswer::Cancel, 1, 10001, false},
        {10001, MessageAnswer::Ok, 1, 10000, true},
    };
    for (const auto& [lines, answer, asked, shownLines, readOnly] : cases) {
        std::string text;
        for (int k = 1; k <= lines; ++k) {
            text += std::to_string(k) + "\r\n";
        }
        messages_.messages.clear();
        messages_.answers = {answer};
        const std::string path = open("long.dat", text);
        EXPECT_EQ(messages_.count("ファイルが10000行を越えます。読込みを中断しますか。"), asked);
        EXPECT_TRUE(!asked || messages_.messages[0].title == "Read Over !");
        EXPECT_EQ(std::tuple(editor_->blockCount(), shown("readOnlyNote"), shown("lineEndButton")),
                  std::tuple(shownLines, readOnly, !readOnly))
            << lines;
        touchName();
        EXPECT_EQ(shown("saveButton"), !readOnly) << lines;
        click("saveButton");
        EXPECT_EQ(bytesOf(path), text) << lines;
    }

    // Bytes that are no text open read-only with a message.
    messages_.messages.clear();
    open("binary.dat", std::string("ab\0\xFF\xFF", 5));
    EXPECT_TRUE(window_->isReadOnlyText() && editor_->isReadOnly() &&
                messages_.messages.size() == 1);
}

TEST_F(CheckerWindowTest, EditingStateUndoTargetOvertypePathEndsAndLineEndConversion) {
    const std::string path = open("ends.dat", "a\rb\nc\n\rd\r\ne");
    EXPECT_EQ(window_->editorLastEdited(), 0);
    QTest::keyClicks(editor_, "X");
    EXPECT_EQ(window_->editorLastEdited(), -1);
    EXPECT_TRUE(shown("saveButton") && shown("undoButton") && shown("renameButton"));
    nameBox_->setCursorPosition(0);
    QTest::keyClicks(nameBox_, "n");  // overtypes "e"
    EXPECT_EQ(nameBox_->text(), "nnds.dat");
    EXPECT_EQ(window_->editorLastEdited(), 0);
    click("undoButton");
    EXPECT_EQ(nameBox_->text(), "ends.dat");
    EXPECT_EQ(window_->editorText(), "Xa\nb\nc\nd\ne");
    QTest::keyClicks(editor_, "Y");
    click("undoButton");
    EXPECT_EQ(window_->editorText(), "a\nb\nc\nd\ne");  // typing is undone as one step

    // Insert, pressed anywhere, switches to inserting.
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
    QTest::keyClick(editor_, Qt::Key_Insert);
    nameBox_->setCursorPosition(0);
    QTest::keyClicks(nameBox_, "n");
    EXPECT_EQ(nameBox_->text(), "nends.dat");
    nameBox_->setText("ends.dat");

    // "<=>" shows the ends of both boxes, then their starts, sharing the main window's flag.
    click("pathEndsButton");
    EXPECT_TRUE(session_.pathEndShown);
    EXPECT_EQ(folderBox_->cursorPosition(), folderBox_->text().size());
    click("pathEndsButton");
    EXPECT_FALSE(session_.pathEndShown);
    EXPECT_EQ(nameBox_->cursorPosition(), 1);

    // Every line end becomes CR LF; the text stays and the change counts as an edit.
    click("saveButton");
    EXPECT_EQ(bytesOf(path), "a\rb\nc\n\rd\r\ne");
    click("lineEndButton");
    EXPECT_EQ(window_->editorLastEdited(), -1);
    const QString other = qpath(dir_.write("other.dat", "o"));
    messages_.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(window_->openFile(other, 12)) << "converted line ends are unsaved";
    click("saveButton");
    EXPECT_EQ(bytesOf(path), "a\r\nb\r\nc\r\nd\r\ne");
    EXPECT_EQ(window_->editorText(), "a\nb\nc\nd\ne");

    // Unsaved edits are given up only when the user agrees.
    QTest::keyClicks(editor_, "Z");
    messages_.answers = {MessageAnswer::Cancel, MessageAnswer::Cancel};
    EXPECT_FALSE(window_->openFile(other, 12));
    EXPECT_EQ(window_->openedPath().toStdString(), path);
    window_->close();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(messages_.count("編集内容が保存されていません。破棄してもいいですか。"), 3u);
}

TEST_F(CheckerWindowTest, FolderPanelTakesTheChosenFolderOverWithOneSeparatorAndMakesFolders) {
    open("f.dat", "f");
    EXPECT_FALSE(shown("folderList") || shown("driveBox") || shown("newFolderButton"));
    click("folderPanelButton");
    EXPECT_TRUE(shown("folderList") && shown("driveBox") && shown("newFolderButton") &&
                !folderBox_->isReadOnly());

    // A new folder becomes the chosen one; an empty answer or a path makes none.
    QStringList answers{"made", "", "x/y"};
    window_->setFolderNameQuestion([&](QWidget*, const QString&) { return answers.takeFirst(); });
    for (int k = 0; k < 3; ++k) {
        click("newFolderButton");
    }
    EXPECT_EQ(folderListing(dir_.path()), (std::vector<std::string>{"f.dat", "made"}));
    QTest::mouseClick(folderBox_, Qt::LeftButton);
    EXPECT_EQ(folderBox_->text().toStdString(), (dir_.path() / "made").string() + "/");
    EXPECT_TRUE(folderBox_->isReadOnly() && !shown("folderList"));

    // At the root the folder keeps its single "/".
    click("folderPanelButton");
    auto* folders = control<QListWidget>("folderList");
    emit folders->itemActivated(folders->findItems("/", Qt::MatchExactly).front());
    QTest::mouseClick(folderBox_, Qt::LeftButton);
    EXPECT_EQ(folderBox_->text(), "/");

    // "戻る" closes the panel and hides the window.
    click("folderPanelButton");
    click("backButton");
    EXPECT_FALSE(window_->isVisible() || shown("folderList"));
}

TEST_F(CheckerWindowTest, PrintsTheStampAndTheTextToAPdfAndLeavesTheEditorAlone) {
    const std::string path = open("p.dat", "10 20\r\n漢字 30\r\n");
    QTest::keyClicks(editor_, "5");
    const QString pdf = qpath(dir_.path() / "out.pdf");
    const auto printTo = [&](const QString& file) {
        window_->setPrintDialog([file](QWidget*, QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            return true;
        });
        click("printButton");
    };
    printTo(pdf);
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    const QString stamp =
        R"(\d{4}/\d\d/\d\d +\d\d:\d\d:\d\d +)" + QRegularExpression::escape(qpath(path));
    EXPECT_TRUE(printed.contains(QRegularExpression(stamp))) << printed.toStdString();
    EXPECT_TRUE(printed.contains("510 20") && printed.contains("漢字 30")) << printed.toStdString();

    // A cancelled dialog prints nothing; a printer that fails says so; the text stays.
    window_->setPrintDialog([](QWidget*, QPrinter&) { return false; });
    click("printButton");
    printTo(pdf + ".missing/out.pdf");
    EXPECT_TRUE(test::toldOnce(messages_.messages, {".missing/out.pdf"}));
    EXPECT_EQ(window_->editorText(), "510 20\n漢字 30");
    editor_->undo();
    EXPECT_EQ(window_->editorText(), "10 20\n漢字 30");
}

TEST_F(CheckerWindowTest, EveryControlIsNamedAndTheHelpPaneHoldsItsLines) {
    const QStringList names = test::controlNames(window_);
    // The help pane and the form share a tabbed panel, whose parts are named below.
    EXPECT_EQ(names.size(), 14);
    EXPECT_EQ(std::pair(window_->findChild<QTabBar*>()->accessibleName(),
                        control("helpPane")->accessibleName()),
              std::pair(QString("ヘルプとフォーム"), QString("ヘルプ")));
    EXPECT_EQ(names.filter(QRegularExpression("=$")), QStringList());
    window_->show();
    click("folderPanelButton");
    EXPECT_TRUE(test::inRows(test::tabOrder(window_)));
    const QStringList help = control<QPlainTextEdit>("helpPane")->toPlainText().split('\n');
    EXPECT_EQ(std::tuple(help.size(), help.value(30), help.value(88)),
              std::tuple(89, QString("     　　: 1以上の整数"), QString("   ZLB (ﾗﾍﾞﾙ)")));
}

// The form shows the format file's values and changes one value of the text at a time: the
// rest of its line and every other line keep their bytes, and the editor's undo takes it back.
TEST_F(CheckerWindowTest, FormatFormAndTextStayInStepAndTheFormEditsOnlyItsValue) {
    const test::FormatLines lines{.frame = "100,  80 , 60, 10, 5, 3, 0",
                                  .tilt = "30, 30, 1, 2, 1 ",
                                  .xTitle = "4, \"X, in m\""};
    const std::string original = lines.text();
    const std::string path = open("form.dat", original, 11);
    auto* xwd = control<QDoubleSpinBox>("fieldXWD");
    auto* lwd = control<QSpinBox>("fieldLWD");
    auto* ldr = control<QComboBox>("fieldLDR");
    auto* xlb = control<QLineEdit>("fieldXLB");
    ASSERT_TRUE(xwd && lwd && ldr && xlb);
    EXPECT_EQ(std::tuple(xwd->value(), lwd->value(), ldr->currentData().toInt(), xlb->text()),
              std::tuple(100.0, 1, 1, QString("X, in m")));
    QStringList names;
    for (const FormatField& field : formatFields()) {
        const auto* c = control(("field" + std::string(field.name)).c_str());
        ASSERT_NE(c, nullptr) << field.name;
        EXPECT_FALSE(c->toolTip().isEmpty()) << field.name;
        names << c->accessibleName();
    }
    EXPECT_EQ(names.join(' '),
              "XWD YWD ZWD XSF YSP CSZ FNT FXD FYD LWD IPL LDR XNS XND XMN XMX "
              "YNS YND YMN YMX ZNS ZND ZMN ZMX XLS XLB YLS YLB ZLS ZLB");
    EXPECT_FALSE(shown("saveButton")) << "showing the form edits nothing";

    // Each change by the user, and the one line it leaves changed.
    const std::function<void()> changes[] = {
        [&] {
            xwd->selectAll();
            QTest::keyClicks(xwd, "12.5");
        },
        [&] { QTest::keyClick(lwd, Qt::Key_Up); },
        [&] { QTest::keyClick(ldr, Qt::Key_Down); },
        [&] {
            xlb->selectAll();
            QTest::keyClicks(xlb, "Y");
        },
    };
    const std::pair<int, QString> changedLines[] = {
        {3, "12.5,  80 , 60, 10, 5, 3, 0"},
        {5, "30, 30, 2, 2, 1 "},
        {5, "30, 30, 2, 2, 2 "},
        {15, "4, \"Y\""},
    };
    QStringList expected = window_->editorText().split('\n');
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        changes[i]();
        expected[changedLines[i].first] = changedLines[i].second;
        EXPECT_EQ(window_->editorText().split('\n'), expected) << i;
    }
    click("saveButton");
    EXPECT_EQ(bytesOf(path), expected.join("\r\n").toStdString() + "\r\n");

    // Typed text shows in the form; undo takes form changes back one by one.
    QTextCursor cursor(editor_->document()->findBlockByNumber(3));
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 4);
    cursor.insertText("7e1");
    EXPECT_EQ(xwd->value(), 70.0);
    editor_->undo();
    EXPECT_EQ(xwd->value(), 12.5);
    editor_->undo();
    EXPECT_EQ(xlb->text(), "X, in m");
    editor_->undo();
    EXPECT_EQ(ldr->currentData().toInt(), 1);
    EXPECT_EQ(lwd->value(), 2);

    // The check line says what the reader says of the text as it stands.
    const std::pair<QString, QString> checks[] = {
        {"30, 30, 2, 2, 9",
         "LDR は ±1,±2,･･･,±8 の中から選んで下さい。LDR=1 として描画を継続します。"},
        {"95, 30, 0, 2, 1",
         "FXD は 0 以上，90 未満に設定して下さい。FXD=30 として描画を継続します。\n"
         "LWD は 1 以上に設定して下さい。LWD=1 として描画を継続します。"},
        {"30, 30, 2",
         "6 行目の IPL が数値として読めません。ファイルを見直して下さい。描画を中断します。"},
        {"30, 30, 2, 2, 1", "フォーマットデータに問題はありません。"},
    };
    auto* check = control<QLabel>("formatCheck");
    EXPECT_EQ(check->accessibleName(), "検査");
    for (const auto& [line, said] : checks) {
        QTextCursor tilt(editor_->document()->findBlockByNumber(5));
        tilt.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        tilt.insertText(line);
        EXPECT_EQ(check->text(), said) << line.toStdString();
    }
    // The spin box stops at the lowest value the reader keeps.
    QTest::keyClick(lwd, Qt::Key_Down);
    QTest::keyClick(lwd, Qt::Key_Down);
    EXPECT_EQ(
        std::pair(window_->editorText().split('\n').value(5), check->text()),
        std::pair(QString("30, 30, 1, 2, 1"), QString("フォーマットデータに問題はありません。")));

    // A read-only text has a read-only form.
    click("saveButton");
    open("binary.dat", original + std::string("\0", 1), 11);
    EXPECT_TRUE(xwd->isReadOnly() && xlb->isReadOnly() && !ldr->isEnabled());
    QTest::keyClick(lwd, Qt::Key_Up);
    EXPECT_EQ(window_->editorText().split('\n').value(5), "30, 30, 1, 2, 1 ");
}

// The main window's "*" buttons, from a click to a saved path back in the slot's box.
TEST(CheckerFromMainWindow, StarButtonsOpenTheSlotFileWithTheWidthOfItsKindAndTakeSavesBack) {
    const test::TempDir dir;
    Session session(dir.path());
    AnsweringMessages messages;
    MainWindow window(session, messages);
    auto group = [&](int kind) { return window.group(static_cast<FileKind>(kind - 1)); };
    // An empty box opens nothing; a missing file is told and leaves the box.
    test::click(&window, "formatCheckerButton2");
    group(2)->setSlotText(3, qpath(dir.path() / "gone.dat"));
    test::click(&window, "numericCheckerButton3");
    EXPECT_EQ(messages.messages,
              (std::vector{Message{"QAP Checker", "ファイルが存在しません。ご確認ください。 "}}));
    EXPECT_EQ(group(2)->slotText(3), "");
    EXPECT_EQ(window.checker(), nullptr);

    // A format file shows the help beside it, 10000 twips wide; a comment file the editor alone.
    group(1)->setSlotText(1, qpath(dir.write("frm.dat", "1\r\n")));
    test::click(&window, "formatCheckerButton1");
    CheckerWindow* checker = window.checker();
    ASSERT_NE(checker, nullptr);
    const auto helpShown = [&] {
        return checker->findChild<QWidget*>("helpPane")->isVisibleTo(checker);
    };
    EXPECT_EQ(std::tuple(checker->isVisible(), checker->width(), helpShown()),
              std::tuple(true, 667, true));
    group(3)->setSlotText(4, qpath(dir.write("cmt.txt", "c\r\n")));
    test::click(&window, "commentCheckerButton4");
    EXPECT_EQ(std::tuple(window.checker(), checker->checkerSource(), helpShown()),
              std::tuple(checker, 34, false));
    EXPECT_LT(checker->width(), 667);

    // A save under a new name goes into the box the file came from, even when the box was
    // re-armed meanwhile, and the lists show the new file.
    group(3)->setFolder(qpath(dir.path()));
    group(3)->setSlotText(4, {});
    checker->findChild<QLineEdit*>("nameBox")->setText("new.txt");
    test::click(checker, "saveButton");
    EXPECT_EQ(group(3)->slotText(4).toStdString(), (dir.path() / "new.txt").string());
    const auto* comments = window.findChild<QListWidget*>("commentFileList");
    EXPECT_EQ(comments->findItems("new.txt", Qt::MatchExactly).size(), 1);

    // Closing the program asks about unsaved edits; Cancel keeps both windows.
    QTest::keyClicks(checker->findChild<QWidget*>("editor"), "edit");
    window.show();
    messages.answers = {MessageAnswer::Cancel};
    window.close();
    EXPECT_TRUE(window.isVisible() && checker->isVisible());
}

}  // namespace
}  // namespace kavlo
