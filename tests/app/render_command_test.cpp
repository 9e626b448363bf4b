#include "render_command.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QImage>
#include <csignal>
#include <cstring>
#include <sstream>

#include "core/path_file.h"
#include "print_command.h"
#include "stream_messages.h"
#include "test_files.h"
#include "text_checks.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;
using test::bytesOf;
using test::TempDir;

// What a run wrote to the error stream, then its exit status.
std::string render(const std::vector<std::string>& args) {
    std::ostringstream err;
    const int status = runRender(args, err);
    return err.str() + "exit " + std::to_string(status) + "\n";
}

// A path file whose slot 1 names a format file `name` that is not there.
std::string pathFileMissing(const TempDir& dir, const std::string& name, PageSetup setup = {}) {
    setup.file(FileKind::Format, 1) = (dir.path() / name).string();
    const std::string pth = (dir.path() / "Kavlo.pth").string();
    EXPECT_TRUE(writePathFile(pth, setup));
    return pth;
}

TEST(RenderCommandTest, SamplePageToEachDeviceWithItsOps) {
    TempDir dir;
    const std::string home = (dir.path() / "home").string();
    const std::string png = (dir.path() / "page.png").string();
    EXPECT_EQ(render({"--home", home, "-o", png, "--ops", (dir.path() / "s.jsonl").string()}),
              "exit 0\n");
    // The first run seeds the samples, which users edit, and writes no path file.
    EXPECT_EQ(std::pair(fs::exists(fs::path(home) / kPathFileName),
                        fs::status(fs::path(home) / "frmqap1.dat").permissions() &
                            fs::perms::owner_write),
              std::pair(false, fs::perms::owner_write));
    const QImage image(QString::fromStdString(png));

    const std::string screen = bytesOf(dir.path() / "s.jsonl");
    EXPECT_TRUE(
        screen.starts_with("{\"op\":\"Device\",\"name\":\"screen\",\"unitsPerMmX\":3.77952719,"
                           "\"unitsPerMmY\":3.77952719}\n{\"op\":\"Slot\",\"slot\":1}\n"))
        << screen.substr(0, 200);

    // A PDF whose ops are logged for the metafile takes a second, silent pass.
    const auto pdf = dir.path() / "page.pdf", metaOps = dir.path() / "m.jsonl";
    EXPECT_EQ(render({"--home", home, "-o", pdf.string(), "--dpi", "300", "--device", "metafile",
                      "--ops", metaOps.string()}),
              "exit 0\n");
    EXPECT_EQ(bytesOf(pdf).substr(0, 4), "%PDF");
    const std::string meta = bytesOf(metaOps);
    EXPECT_TRUE(
        meta.starts_with("{\"op\":\"Device\",\"name\":\"metafile\",\"unitsPerMmX\":56.6929092,"
                         "\"unitsPerMmY\":56.6929092}\n"))
        << meta.substr(0, 200);

    // Logging the calls leaves the page as it is.
    const std::string unlogged = (dir.path() / "unlogged.png").string();
    EXPECT_EQ(render({"--home", home, "-o", unlogged}), "exit 0\n");
    EXPECT_TRUE(QImage(QString::fromStdString(unlogged)) == image);
}

TEST(RenderCommandTest, PathFileSetUpMessagesAndStatus) {
    TempDir dir;
    PageSetup setup;
    setup.file(FileKind::Format, 2) = dir.write("f.dat", test::FormatLines().text());
    const std::string pth = pathFileMissing(dir, "missing.dat", setup);
    // Found neither as written nor beside the path file: listed, and still told by the drawing.
    const std::string told = "kavlo render: グラフ 1: 書式データファイル " +
                             (dir.path() / "missing.dat").string() +
                             " がありません。\n 1st Format Data Error: ファイルが存在しません。"
                             "ご確認ください。 \nexit 1\n";
    EXPECT_EQ(render({"--pth", pth}), told);
    // A page and a metafile log, two passes, still tell the screen's messages once.
    EXPECT_EQ(render({"--pth", pth, "-o", (dir.path() / "q.png").string(), "--device", "metafile",
                      "--ops", (dir.path() / "m.jsonl").string()}),
              told);
    // The reading's messages come before the output's failure.
    const std::string nowhere = (dir.path() / "no such folder" / "p.svg").string();
    const std::string run = render({"--pth", pth, "-o", nowhere});
    EXPECT_TRUE(run.starts_with(told.substr(0, told.size() - std::strlen("exit 1\n")) +
                                "kavlo render: ファイル " + nowhere))
        << run;
    EXPECT_TRUE(run.ends_with("\nexit 2\n")) << run;
}

// Writes past `bytes` fail with EFBIG, as on a full disk, while it lives.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : oldSignal(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldSignal);
    }
    rlimit old{};
    void (*oldSignal)(int);
};

TEST(RenderCommandTest, OutputsAreReplacedWholeOrNotAtAll) {
    TempDir dir;
    const std::string home = (dir.path() / "home").string();
    const std::string old(100, 'x');
    for (const char* name : {"page.png", "page.pdf", "page.svg", "page.emf"}) {
        SCOPED_TRACE(name);
        const std::string out = dir.write(name, old), ops = dir.write("ops.jsonl", old);
        const auto cannotWrite = "kavlo render: ファイル " + out;
        std::string run, logRun;
        {
            const FileSizeLimit limit(20000);  // every page and log is bigger
            run = render({"--home", home, "-o", out});
            logRun = render({"--home", home, "--ops", ops});
        }
        EXPECT_TRUE(run.starts_with(cannotWrite + " に書き込めません")) << run;
        EXPECT_TRUE(run.ends_with("\nexit 2\n")) << run;
        EXPECT_TRUE(logRun.starts_with("kavlo render: ファイル " + ops + " に書き込めません"))
            << logRun;
        EXPECT_EQ(bytesOf(out) + bytesOf(ops), old + old);

        fs::permissions(out, fs::perms::owner_read | fs::perms::group_read);
        EXPECT_EQ(render({"--home", home, "-o", out}),
                  cannotWrite + " は読み取り専用のため書き込めません。ご確認ください。\nexit 2\n");
        EXPECT_EQ(bytesOf(out), old);
    }
    // Nothing is left beside the four pages, the log and the home folder.
    EXPECT_EQ(test::folderListing(dir.path()).size(), 6u);
}

// Each usage error is told in its own words, the first one; QCommandLineParser's laxer spellings
// stay errors.
TEST(RenderCommandTest, UsageErrors) {
    const std::string unexpected = "unexpected argument ", select = "--select 1,2,3,4 ";
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"--dpi takes a whole number from 72 to 4800",
         {"--dpi 0", "--dpi 300.5", "--dpi 4801", "--dpi 300 --dpi 71", "--dpi 0 --bogus x"}},
        {unexpected + "--bogus", {"--bogus x --dpi 0"}},
        {"--ops needs a value", {"--ops"}},
        {"--bogus needs a value", {"--bogus"}},
        {unexpected + "page.png", {"page.png", "page.png --dpi 96"}},
        {unexpected + "--dpi=300", {"--dpi=300 -o p.png"}},
        {unexpected + "-op.png", {"-op.png --dpi 96"}},
        {unexpected + "--", {"-- -o p.png"}},
        {unexpected + "\\x1b[2J", {"--home h \x1b[2J x"}},
        {"--device is screen, printer, metafile or emf", {"--device plotter"}},
        {"the output is a .png, .pdf, .svg or .emf file", {"-o page.bmp"}},
        // A page image is bounded, whether it is the output or the ops pass's scratch page.
        {"--dpi goes up to 1200 for the screen device",
         {"--dpi 1201 -o page.png", "--dpi 1201 --device screen -o page.pdf"}},
        // Only the metafile pictures show a part of the page, and a part has four corners.
        {"--select needs the metafile or emf device and an .svg or .emf output",
         {select + "-o page.png", select + "--device printer -o pic.svg",
          "--device screen " + select, "--select -1,2,3,4"}},
        {"--select takes four page millimetres X1,Y1,X2,Y2",
         {"--select 1,2,3 -o pic.svg", "--select 1,2,3,4,5 -o pic.svg",
          "--select 1,2,,4 -o pic.svg", "--select 1,2,x,4 -o pic.svg",
          "--select 1,2,3,1e9 -o pic.svg"}},
    };
    for (const auto& [message, lines] : cases) {
        for (const std::string& line : lines) {
            EXPECT_EQ(render(test::words(line)),
                      "kavlo render: " + message + "\n" + renderUsage() + "exit 2\n")
                << line;
        }
    }
    EXPECT_EQ(std::string(renderUsage()),
              "usage: kavlo render [--home DIR] [--pth FILE] [--device "
              "screen|printer|metafile|emf] [--dpi N] [--ops LOG.jsonl] [--select X1,Y1,X2,Y2] "
              "[-o OUT]\n");

    for (const auto& [args, message] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--home", "h", "x"}, unexpected + "x"},
             {{"--printer"}, "--printer needs a value"},
             {{"--printer", ""}, "--printer needs a name"}}) {
        std::ostringstream err;
        EXPECT_FALSE(parsePrintOptions(args, err));
        EXPECT_EQ(err.str(), "kavlo print: " + message + "\n");
    }
    // Values are taken as they come, dashes, repeats and bytes that are not UTF-8 alike.
    std::ostringstream err;
    const auto print = parsePrintOptions(
        std::vector<std::string>{"--pth", "a", "--printer", "-x", "--pth", "b\xff", "--home", "--"},
        err);
    ASSERT_TRUE(print) << err.str();
    EXPECT_EQ(std::tie(print->printer, print->setup.pathFile, print->setup.home),
              std::tuple("-x", "b\xff", "--"));
}

// The ops log named as the picture, however it is spelt, would be written over it.
TEST(RenderCommandTest, OpsLogAndOutputMustBeTwoFiles) {
    TempDir dir;
    const std::string d = dir.path().string();
    const std::string kept = dir.write("kept.svg", "picture");
    fs::create_hard_link(kept, d + "/linked.svg");
    for (const auto& [output, ops] : std::vector<std::pair<std::string, std::string>>{
             {kept, kept},
             {kept, d + "/../" + dir.path().filename().string() + "/kept.svg"},
             {kept, d + "/linked.svg"},
             {d + "/new.svg", d + "/no/../new.svg"},
             {"new.svg", "./new.svg"}}) {
        EXPECT_EQ(render({"--home", d + "/home", "-o", output, "--ops", ops}),
                  "kavlo render: --ops and -o name the same file " + output + "\n" + renderUsage() +
                      "exit 2\n")
            << ops;
    }
    EXPECT_EQ(bytesOf(kept), "picture");
    EXPECT_FALSE(fs::exists(d + "/home"));
}

// File names from path files anyone wrote must not work a terminal as commands.
TEST(RenderCommandTest, ControlCharactersAreToldEscaped) {
    for (const auto& [text, told] : std::vector<std::pair<std::string, std::string>>{
             {"\x1b[2J\x1b]0;title\x07", "\\x1b[2J\\x1b]0;title\\x07"},
             {std::string("a\rb\x7f\0c", 6), "a\\x0db\\x7f\\x00c"},
             {"\u009b31m \u0080\u009f \u00a0\u00ff", "\\u009b31m \\u0080\\u009f \u00a0\u00ff"},
             {"\xff\xc0\x80 \xe6\x97", "\\xff\\xc0\\x80 \\xe6\\x97"},
             {"温度 C:\\data\tx\ny 😀", "温度 C:\\data\tx\ny 😀"}}) {
        EXPECT_EQ(terminalText(text), told);
    }
    std::ostringstream out;
    StreamMessages(out).show({"t\x1b", "a\x1b"});
    EXPECT_EQ(out.str(), "t\\x1b: a\\x1b\n");

    TempDir dir;
    const std::string pth = pathFileMissing(dir, "\x1b[2J\x1b]0;owned\x07.dat");
    const std::string escaped = (dir.path() / "\\x1b[2J\\x1b]0;owned\\x07.dat").string();
    const std::string told = render({"--pth", pth});
    EXPECT_TRUE(
        test::holdsAll(told, {"グラフ 1: 書式データファイル " + escaped + " がありません。"}));
    EXPECT_EQ(told.find('\x1b'), std::string::npos) << told;
    // The print verb's own failure names the server escaped.
    qputenv("CUPS_SERVER", QByteArray::fromStdString((dir.path() / "\x1b[5m.sock").string()));
    std::ostringstream printed;
    runPrint(*parsePrintOptions(std::vector<std::string>{"--pth", pth}, printed), printed);
    qunsetenv("CUPS_SERVER");
    EXPECT_EQ(printed.str().find('\x1b'), std::string::npos) << printed.str();
    EXPECT_TRUE(test::holdsAll(printed.str(),
                               {(dir.path() / "\\x1b[5m.sock に接続できません。").string()}));
}

// An .svg is the metafile picture, here of 10 x 20 mm at (20, 20) mm, dragged up and left.
TEST(RenderCommandTest, SelectWindowsTheMetafilePicture) {
    TempDir dir;
    const std::string out = (dir.path() / "part.svg").string();
    EXPECT_EQ(
        render({"--home", (dir.path() / "home").string(), "--select", "30,40,20,20", "-o", out}),
        "exit 0\n");
    EXPECT_TRUE(test::holdsAll(
        bytesOf(out), {"width=\"10.0013mm\" height=\"20.0025mm\" viewBox=\"1134 1134 567 1134\""}));
}

}  // namespace
}  // namespace kavlo
