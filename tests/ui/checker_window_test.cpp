#include "ui/checker_window.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <deque>
#include <fstream>
#include <sstream>

#include "test_files.h"
#include "ui/checker_help_text.h"
#include "ui/file_group_box.h"
#include "ui/main_window.h"
#include "ui/slot_box.h"

namespace kavlo {
namespace {

// Answers questions in the order the case scripts them (the first button when none is left)
// and keeps every message.
class ScriptedMessages final : public MessageSink {
  public:
    MessageAnswer show(const Message& message) override {
        shown.push_back(message);
        if (answers.empty()) {
            return defaultAnswer(message.buttons);
        }
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::size_t count(const std::string& text) const {
        return std::count_if(shown.begin(), shown.end(),
                             [&](const Message& m) { return m.text == text; });
    }
    std::vector<Message> shown;
    std::deque<MessageAnswer> answers;
};

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

const std::string kOverwrite = "ファイルが存在します。上書きしてもいいですか。";
const std::string kDiscard = "編集内容が保存されていません。破棄してもいいですか。";

class CheckerWindowTest : public testing::Test {
  protected:
    CheckerWindowTest() : session_(dir_.path()) {}
    ~CheckerWindowTest() override { delete window_; }

    template <typename T = QWidget>
    T* control(const char* name) const {
        T* found = window_->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QPlainTextEdit* editor() const { return control<QPlainTextEdit>("RichTextBox1"); }
    QLineEdit* folderBox() const { return control<QLineEdit>("Text2_0"); }
    QLineEdit* nameBox() const { return control<QLineEdit>("Text2_1"); }
    bool shown(const char* name) const { return control(name)->isVisibleTo(window_); }
    void click(const char* name) const {
        QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton);
    }
    // An edit of the name box that leaves it as it was: save and rename are offered.
    void touchName() const {
        nameBox()->end(false);
        QTest::keyClicks(nameBox(), "x");
        QTest::keyClick(nameBox(), Qt::Key_Backspace);
    }
    std::string open(const std::string& name, std::string_view bytes, int source = 21) {
        const std::string path = dir_.write(name, bytes);
        EXPECT_TRUE(window_->openFile(QString::fromStdString(path), source)) << name;
        return path;
    }

    test::TempDir dir_;
    Session session_;
    ScriptedMessages messages_;
    QPointer<CheckerWindow> window_ = new CheckerWindow(session_, messages_);
};

TEST_F(CheckerWindowTest, UneditedTextSavesBackByteForByteAndEditsKeepTheEncoding) {
    const struct {
        const char* what;
        std::string bytes;
        QString text;
    } cases[] = {
        {"UTF-8 CR LF", "1 2\r\n3 4\r\n", "1 2\n3 4"},
        {"UTF-8 LF, no final end", "a\nb", "a\nb"},
        {"UTF-8 BOM, CR", "\xEF\xBB\xBFx\ry\r", "x\ny"},
        {"CP932 CR LF", "\x82\xA0\r\n\x8A\xBF\r\n", "あ\n漢"},
        {"mixed ends, no-break space", "a\r\nb\nc\n\rd\re\xC2\xA0", "a\nb\nc\nd\ne\u00A0"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        const std::string path = open("round.dat", c.bytes);
        EXPECT_EQ(window_->editorText(), c.text) << c.what;
        EXPECT_FALSE(shown("Command1") || shown("Command3") || shown("Command5")) << c.what;
        touchName();
        click("Command1");
        EXPECT_EQ(bytesOf(path), c.bytes) << c.what;
        EXPECT_FALSE(shown("Command1")) << c.what;
    }
    EXPECT_TRUE(messages_.shown.empty());

    // A new line takes the file's own end and encoding; a character CP932 lacks writes nothing.
    const std::string path = open("cp932.dat", "\x82\xA0\r\nb\r\n");
    editor()->moveCursor(QTextCursor::End);
    QTest::keyClick(editor(), Qt::Key_Return);
    editor()->insertPlainText("い");
    click("Command1");
    EXPECT_EQ(bytesOf(path), "\x82\xA0\r\nb\r\n\x82\xA2\r\n");
    editor()->insertPlainText("😀");
    click("Command1");
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_NE(messages_.shown[0].text.find("3 行目"), std::string::npos) << messages_.shown[0].text;
    EXPECT_EQ(bytesOf(path), "\x82\xA0\r\nb\r\n\x82\xA2\r\n");
}

TEST_F(CheckerWindowTest, SaveAsRenameAndOverwriteAskFirstAndNeverLoseTheOldFile) {
    std::vector<std::pair<int, QString>> saved;
    QObject::connect(window_, &CheckerWindow::saved,
                     [&](int source, const QString& path) { saved.emplace_back(source, path); });
    const std::string a = open("a.dat", "A\r\n", 23);
    const std::string c = dir_.write("c.dat", "C\r\n");
    const QString folder = QString::fromStdString(dir_.path().string());

    // A new name is written at once; a folder typed without "/" still gets one.
    folderBox()->setText(folder);
    nameBox()->setText("b.dat");
    click("Command1");
    EXPECT_EQ(bytesOf(dir_.path() / "b.dat"), "A\r\n");
    EXPECT_EQ(bytesOf(a), "A\r\n");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0], std::pair(23, folder + "/b.dat"));
    EXPECT_EQ(window_->openedPath(), folder + "/b.dat");

    // An existing other file: No writes nothing, Yes overwrites.
    nameBox()->setText("c.dat");
    messages_.answers = {MessageAnswer::No};
    click("Command1");
    EXPECT_EQ(bytesOf(c), "C\r\n");
    messages_.answers = {MessageAnswer::Yes};
    click("Command1");
    EXPECT_EQ(bytesOf(c), "A\r\n");
    EXPECT_EQ(messages_.count(kOverwrite), 2u);

    // Rename: the new file is written, then the opened one goes.
    nameBox()->setText("d.dat");
    click("Command5");
    EXPECT_EQ(bytesOf(dir_.path() / "d.dat"), "A\r\n");
    EXPECT_FALSE(std::filesystem::exists(c));

    // A write that fails leaves the opened file and names the path.
    folderBox()->setText(folder + "/no-such-folder/");
    click("Command5");
    EXPECT_TRUE(std::filesystem::exists(dir_.path() / "d.dat"));
    ASSERT_FALSE(messages_.shown.empty());
    EXPECT_NE(messages_.shown.back().text.find("no-such-folder"), std::string::npos);

    // Names that would write elsewhere, or nowhere, are refused.
    folderBox()->setText(folder + "/");
    const auto before = std::distance(std::filesystem::directory_iterator(dir_.path()), {});
    for (const char* name : {"", "sub/e.dat", ".", ".."}) {
        const std::size_t messages = messages_.shown.size();
        nameBox()->setText(name);
        click("Command1");
        click("Command5");
        EXPECT_EQ(messages_.shown.size(), messages + 2) << name;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), before);
    EXPECT_EQ(saved.size(), 3u);
}

TEST_F(CheckerWindowTest, TheTenThousandLineQuestionComesOnceAndDroppedLinesMakeTheTextReadOnly) {
    const std::string kQuestion = "ファイルが10000行を越えます。読込みを中断しますか。";
    const struct {
        int lines;
        MessageAnswer answer;
        std::size_t asked;
        int shownLines;
        bool readOnly;
    } cases[] = {
        {9999, MessageAnswer::Ok, 0, 9999, false},
        {10000, MessageAnswer::Ok, 1, 10000, false},
        {10001, MessageAnswer::Cancel, 1, 10001, false},
        {10001, MessageAnswer::Ok, 1, 10000, true},
    };
    for (const auto& c : cases) {
        std::string text;
        for (int k = 1; k <= c.lines; ++k) {
            text += std::to_string(k) + "\r\n";
        }
        messages_.shown.clear();
        messages_.answers = {c.answer};
        const std::string path = open("long.dat", text);
        EXPECT_EQ(messages_.count(kQuestion), c.asked) << c.lines;
        if (c.asked) {
            EXPECT_EQ(messages_.shown[0].title, "Read Over !");
        }
        EXPECT_EQ(editor()->blockCount(), c.shownLines) << c.lines;
        EXPECT_EQ(window_->isReadOnlyText(), c.readOnly) << c.lines;
        EXPECT_EQ(shown("ReadOnlyNote"), c.readOnly) << c.lines;
        EXPECT_EQ(shown("Command4"), !c.readOnly) << c.lines;
        touchName();
        EXPECT_EQ(shown("Command1"), !c.readOnly) << c.lines;
        click("Command1");
        EXPECT_EQ(bytesOf(path), text) << c.lines;
    }

    // Bytes that are no text open read-only with a message.
    messages_.shown.clear();
    open("binary.dat", std::string("ab\0\xFF\xFF", 5));
    EXPECT_TRUE(window_->isReadOnlyText());
    EXPECT_TRUE(editor()->isReadOnly());
    EXPECT_EQ(messages_.shown.size(), 1u);
}

TEST_F(CheckerWindowTest, EditingStateUndoTargetOvertypePathEndsAndLineEndConversion) {
    const std::string path = open("ends.dat", "a\rb\nc\n\rd\r\ne");
    EXPECT_EQ(window_->editorLastEdited(), 0);

    // Right after opening, undo acts on the name box.
    QTest::keyClicks(editor(), "X");
    EXPECT_EQ(window_->editorLastEdited(), -1);
    EXPECT_TRUE(shown("Command1") && shown("Command3") && shown("Command5"));
    nameBox()->setCursorPosition(0);
    QTest::keyClicks(nameBox(), "n");  // overtypes "e"
    EXPECT_EQ(nameBox()->text(), "nnds.dat");
    EXPECT_EQ(window_->editorLastEdited(), 0);
    click("Command3");
    EXPECT_EQ(nameBox()->text(), "ends.dat");
    EXPECT_EQ(window_->editorText(), "Xa\nb\nc\nd\ne");
    QTest::keyClicks(editor(), "Y");
    click("Command3");
    EXPECT_EQ(window_->editorText(), "a\nb\nc\nd\ne");  // typing is undone as one step
    EXPECT_EQ(nameBox()->text(), "ends.dat");

    // Insert, pressed anywhere, switches to inserting.
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
    QTest::keyClick(editor(), Qt::Key_Insert);
    EXPECT_EQ(window_->insertMode(), -1);
    nameBox()->setCursorPosition(0);
    QTest::keyClicks(nameBox(), "n");
    EXPECT_EQ(nameBox()->text(), "nends.dat");
    nameBox()->setText("ends.dat");

    // "<=>" shows the ends of both boxes, then their starts, sharing the main window's flag.
    click("Command11");
    EXPECT_TRUE(session_.pathEndShown);
    EXPECT_EQ(folderBox()->cursorPosition(), folderBox()->text().size());
    EXPECT_EQ(nameBox()->cursorPosition(), nameBox()->text().size());
    click("Command11");
    EXPECT_FALSE(session_.pathEndShown);
    EXPECT_EQ(nameBox()->cursorPosition(), 1);

    // Every line end becomes CR LF; the text stays and the change counts as an edit.
    touchName();
    click("Command1");
    EXPECT_EQ(bytesOf(path), "a\rb\nc\n\rd\r\ne");
    click("Command4");
    EXPECT_EQ(window_->editorLastEdited(), -1);
    EXPECT_EQ(window_->editorText(), "a\nb\nc\nd\ne");
    click("Command1");
    EXPECT_EQ(bytesOf(path), "a\r\nb\r\nc\r\nd\r\ne");

    // Unsaved edits are given up only when the user agrees.
    QTest::keyClicks(editor(), "Z");
    messages_.answers = {MessageAnswer::Cancel, MessageAnswer::Cancel};
    EXPECT_FALSE(window_->openFile(QString::fromStdString(dir_.write("other.dat", "o")), 12));
    EXPECT_EQ(window_->openedPath().toStdString(), path);
    window_->close();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(messages_.count(kDiscard), 2u);
}

TEST_F(CheckerWindowTest, FolderPanelTakesTheChosenFolderOverWithOneSeparatorAndMakesFolders) {
    open("f.dat", "f");
    auto* folders = control<QListWidget>("Dir1");
    EXPECT_FALSE(shown("Dir1") || shown("Drive1") || shown("Command7"));
    EXPECT_TRUE(folderBox()->isReadOnly());
    click("Command6");
    EXPECT_EQ(control<QPushButton>("Command6")->text(), "▲");
    EXPECT_TRUE(shown("Dir1") && shown("Drive1") && shown("Command7"));
    EXPECT_FALSE(folderBox()->isReadOnly());
    EXPECT_NE(folderBox()->styleSheet().indexOf("#ffffc0"), -1);

    // A new folder becomes the chosen one; an empty answer or a path makes none.
    QStringList answers{"made", "", "x/y"};
    window_->setFolderNameQuestion([&](QWidget*, const QString& suggested) {
        EXPECT_EQ(suggested, "新しいフォルダ");
        return answers.takeFirst();
    });
    for (int k = 0; k < 3; ++k) {
        click("Command7");
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir_.path() / "made"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 2);
    QTest::mouseClick(folderBox(), Qt::LeftButton);
    EXPECT_EQ(folderBox()->text().toStdString(), (dir_.path() / "made").string() + "/");
    EXPECT_EQ(control<QPushButton>("Command6")->text(), "▼");
    EXPECT_TRUE(folderBox()->isReadOnly() && !shown("Dir1"));

    // At the root the folder keeps its single "/".
    click("Command6");
    const auto root = folders->findItems("/", Qt::MatchExactly).front();
    folders->setCurrentItem(root);
    emit folders->itemActivated(root);
    QTest::mouseClick(folderBox(), Qt::LeftButton);
    EXPECT_EQ(folderBox()->text(), "/");

    // "戻る" closes the panel and hides the window.
    click("Command6");
    click("Command2");
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(control<QPushButton>("Command6")->text(), "▼");
}

TEST_F(CheckerWindowTest, PrintsTheStampInBoldAndTheTextToAPdfAndLeavesTheEditorAlone) {
    const std::string path = open("p.dat", "10 20\r\n漢字 30\r\n");
    QTest::keyClicks(editor(), "5");
    const QString pdf = QString::fromStdString((dir_.path() / "out.pdf").string());
    window_->setPrintDialog([&](QWidget*, QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    click("Command8");
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(
        QRegularExpression(R"(\d{4}/\d\d/\d\d +\d\d:\d\d:\d\d +)" +
                           QRegularExpression::escape(QString::fromStdString(path)))))
        << printed.toStdString();
    EXPECT_TRUE(printed.contains("510 20") && printed.contains("漢字 30")) << printed.toStdString();
    EXPECT_EQ(window_->editorText(), "510 20\n漢字 30");
    EXPECT_TRUE(window_->hasUnsavedEdits());

    // A cancelled dialog prints nothing; a printer that fails says so; the text stays.
    window_->setPrintDialog([](QWidget*, QPrinter&) { return false; });
    click("Command8");
    window_->setPrintDialog([&](QWidget*, QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf + ".missing/out.pdf");
        return true;
    });
    click("Command8");
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_NE(messages_.shown[0].text.find(".missing/out.pdf"), std::string::npos);
    EXPECT_EQ(window_->editorText(), "510 20\n漢字 30");
    editor()->undo();
    EXPECT_EQ(window_->editorText(), "10 20\n漢字 30");
}

TEST_F(CheckerWindowTest, EveryControlIsNamedAndTheHelpPaneHoldsItsLines) {
    open("n.dat", "n", 11);
    const std::map<std::string, QString> names{
        {"RichTextBox1", "エディタ"},   {"RichTextBox2", "ヘルプ"}, {"Text2_0", "フォルダ"},
        {"Text2_1", "ファイル名"},      {"Drive1", "ドライブ"},     {"Dir1", "フォルダ一覧"},
        {"Command7", "フォルダの作成"}, {"Command1", "保存"},       {"Command5", "改名"},
        {"Command3", "Undo"},           {"Command4", "改行変換"},   {"Command8", "印刷"},
        {"Command2", "戻る"},
    };
    int controls = 0;
    for (QWidget* w : window_->findChildren<QWidget*>()) {
        const bool isControl = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                               qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractScrollArea*>(w);
        if (!isControl || w->window() != window_ || w->objectName().isEmpty()) {
            continue;
        }
        ++controls;
        // A combo box reads out its current entry; its own name is what relations give.
        const QString name = w->accessibleName().isEmpty()
                                 ? QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name)
                                 : w->accessibleName();
        EXPECT_FALSE(name.isEmpty()) << w->objectName().toStdString();
        if (const auto it = names.find(w->objectName().toStdString()); it != names.end()) {
            EXPECT_EQ(name, it->second) << it->first;
        }
    }
    EXPECT_EQ(controls, 15);
    const QStringList help = control<QPlainTextEdit>("RichTextBox2")->toPlainText().split('\n');
    ASSERT_EQ(help.size(), 89);
    EXPECT_EQ(help[0], "【フレーム】");
    EXPECT_EQ(help[30], "     　　: 1以上の整数");
    EXPECT_EQ(help[88], "   ZLB (ﾗﾍﾞﾙ)");
    EXPECT_TRUE(control<QPlainTextEdit>("RichTextBox2")->isReadOnly());
    EXPECT_EQ(window_->windowTitle(), "QAP Checker");
}

// The "*" buttons of the main window, from a click to a saved path back in the slot's box.
TEST(CheckerFromMainWindow, StarButtonsOpenTheSlotFileWithTheWidthOfItsKindAndTakeSavesBack) {
    const test::TempDir dir;
    Session session(dir.path());
    ScriptedMessages messages;
    MainWindow window(session, messages);
    FileGroupBox* groups[] = {window.group(FileKind::Format), window.group(FileKind::Numeric),
                              window.group(FileKind::Comment)};
    const QString kinds[] = {"書式", "数値", "コメント"};
    for (int k = 1; k <= 3; ++k) {
        for (int g = 1; g <= kSlotCount; ++g) {
            const QString button = QString("Command%1_%2").arg(k).arg(g);
            auto* star = window.findChild<QPushButton*>(button);
            ASSERT_NE(star, nullptr) << button.toStdString();
            EXPECT_EQ(star->text(), "*");
            EXPECT_EQ(star->accessibleName(),
                      "チェッカー " + kinds[k - 1] + " " + QString::number(g));
            EXPECT_EQ(groups[k - 1]->slotBox(g)->accessibleName(),
                      kinds[k - 1] + " " + QString::number(g));
        }
    }

    // An empty box opens nothing; a missing file is told and leaves the box.
    QTest::mouseClick(window.findChild<QPushButton*>("Command1_2"), Qt::LeftButton);
    groups[1]->setSlotText(3, QString::fromStdString((dir.path() / "gone.dat").string()));
    QTest::mouseClick(window.findChild<QPushButton*>("Command2_3"), Qt::LeftButton);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ファイルが存在しません。ご確認ください。 ");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(groups[1]->slotText(3), "");
    EXPECT_EQ(window.checker(), nullptr);

    // A format file shows the help beside it, 10000 twips wide; a comment file the editor alone.
    groups[0]->setSlotText(1, QString::fromStdString(dir.write("frm.dat", "1\r\n")));
    QTest::mouseClick(window.findChild<QPushButton*>("Command1_1"), Qt::LeftButton);
    CheckerWindow* checker = window.checker();
    ASSERT_NE(checker, nullptr);
    EXPECT_TRUE(checker->isVisible());
    EXPECT_EQ(checker->width(), 667);
    EXPECT_TRUE(checker->findChild<QWidget*>("RichTextBox2")->isVisibleTo(checker));
    groups[2]->setSlotText(4, QString::fromStdString(dir.write("cmt.txt", "c\r\n")));
    QTest::mouseClick(window.findChild<QPushButton*>("Command3_4"), Qt::LeftButton);
    EXPECT_EQ(window.checker(), checker);
    EXPECT_EQ(checker->checkerSource(), 34);
    EXPECT_LT(checker->width(), 667);
    EXPECT_FALSE(checker->findChild<QWidget*>("RichTextBox2")->isVisibleTo(checker));

    // A save under a new name goes back into the box the file came from, even when the box was
    // re-armed meanwhile, and the lists show the new file.
    groups[2]->setFolder(QString::fromStdString(dir.path().string()));
    groups[2]->setPattern("*.txt");
    groups[2]->setSlotText(4, {});
    checker->findChild<QLineEdit*>("Text2_1")->setText("new.txt");
    QTest::mouseClick(checker->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    EXPECT_EQ(groups[2]->slotText(4).toStdString(), (dir.path() / "new.txt").string());
    EXPECT_FALSE(
        window.findChild<QListWidget*>("File3")->findItems("new.txt", Qt::MatchExactly).isEmpty());

    // Closing the program asks about unsaved edits; Cancel keeps both windows.
    QTest::keyClicks(checker->findChild<QWidget*>("RichTextBox1"), "edit");
    window.show();
    messages.answers = {MessageAnswer::Cancel};
    window.close();
    EXPECT_TRUE(window.isVisible() && checker->isVisible());
}

}  // namespace
}  // namespace kavlo
