#include "render_command.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QImage>
#include <QRegularExpression>
#include <csignal>
#include <cstring>
#include <sstream>

#include "core/opened_files.h"
#include "core/path_file.h"
#include "devices/drawing_helpers.h"
#include "hill_grid.h"
#include "page_file_name.h"
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

TEST(RenderCommandTest, SamplePageToEachDeviceWithItsOpsAndASelection) {
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

    // A selection's .svg is the metafile picture of 10 x 20 mm at (20, 20), dragged up-left.
    const std::string part = (dir.path() / "part.svg").string();
    EXPECT_EQ(render({"--home", home, "--select", "30,40,20,20", "-o", part}), "exit 0\n");
    EXPECT_TRUE(test::holdsAll(
        bytesOf(part),
        {"width=\"10.0013mm\" height=\"20.0025mm\" viewBox=\"1134 1134 567 1134\""}));
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
    EXPECT_TRUE(run.ends_with("\nexit 3\n")) << run;
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
        EXPECT_TRUE(run.ends_with("\nexit 3\n")) << run;
        EXPECT_TRUE(logRun.starts_with("kavlo render: ファイル " + ops + " に書き込めません") &&
                    logRun.ends_with("\nexit 3\n"))
            << logRun;
        EXPECT_EQ(bytesOf(out) + bytesOf(ops), old + old);

        fs::permissions(out, fs::perms::owner_read | fs::perms::group_read);
        EXPECT_EQ(render({"--home", home, "-o", out}),
                  cannotWrite + " は読み取り専用のため書き込めません。ご確認ください。\nexit 3\n");
        EXPECT_EQ(bytesOf(out), old);
    }
    // Nothing is left beside the four pages, the log and the home folder.
    EXPECT_EQ(test::folderListing(dir.path()).size(), 6u);
}

// Data files fill the slots as the main window fills them: the page is the one a path file of
// those slots draws, and the application folder is neither read nor made.
TEST(RenderCommandTest, DataFilesDrawThePageTheirPathFileDraws) {
    TempDir dir;
    test::FormatLines tilted;
    tilted.tilt = "60, 10, 1, 2, 1";
    const std::vector<std::string> files{
        dir.write("g1.dat", test::hillGrid(9)), dir.write("notes.txt", "温度の測定\n"),
        dir.write("f1.dat", test::FormatLines().text()), dir.write("g2.dat", test::hillGrid(14)),
        dir.write("f2.dat", tilted.text())};
    const OpenedFiles opened = placeOpenedFiles(PageSetup{}, {files.begin(), files.end()});
    const fs::path fresh = dir.path() / "fresh", broken = dir.path() / "broken";
    fs::create_directory(broken);
    dir.write("broken/Kavlo.pth", "");
    const std::string drawn = (dir.path() / "files.png").string(),
                      expected = (dir.path() / "pth.png").string();
    std::vector<QImage> pages;
    for (const std::string header : {"", "Run 12 温度"}) {
        PageSetup setup = opened.setup;
        setup.header = {header, 0, 2, 1};
        const std::string pth = (dir.path() / "same.pth").string();
        ASSERT_TRUE(writePathFile(pth, setup));
        std::vector<std::string> args{"--home", (header.empty() ? fresh : broken).string(), "-o",
                                      drawn};
        if (!header.empty()) {
            args.insert(args.end(), {"--header", header});
        }
        args.insert(args.end(), files.begin(), files.end());
        EXPECT_EQ(render(args), "exit 0\n");
        EXPECT_EQ(render({"--pth", pth, "-o", expected}), "exit 0\n");
        pages.emplace_back(QString::fromStdString(drawn));
        EXPECT_TRUE(pages.back() == QImage(QString::fromStdString(expected))) << header;
    }
    EXPECT_FALSE(pages[0] == pages[1]) << "the header is drawn";

    // Files that find no slot are told in one message, in the main window's words.
    const test::FormatLines small{.frame = "40, 30, 20, 10, 5, 3, 0"};
    std::vector<std::string> many{dir.write("odd.csv", "1, 2\n"),
                                  (dir.path() / "missing.dat").string()};
    for (int k = 1; k <= 7; ++k) {
        many.push_back(dir.write("n" + std::to_string(k) + ".dat", test::hillGrid(4)));
        many.push_back(dir.write("f" + std::to_string(k) + ".dat", small.text()));
    }
    many.insert(many.begin(), {"--home", fresh.string()});
    EXPECT_EQ(render(many), "Kavlo: 次のファイルがありません。\n" +
                                (dir.path() / "missing.dat").string() +
                                "\n\n書式・数値・コメントのどのデータファイルか判別できないため、"
                                "次のファイルは開きませんでした。\n" +
                                (dir.path() / "odd.csv").string() +
                                "\n\n同じ種類のファイルは 6 つまでです。次のファイルは開きませんで"
                                "した。\n" +
                                (dir.path() / "n7.dat").string() + "\n" +
                                (dir.path() / "f7.dat").string() + "\nexit 1\n");
    EXPECT_FALSE(fs::exists(fresh));
    EXPECT_EQ(test::folderListing(broken), std::vector<std::string>{"Kavlo.pth"});
}

// The grey page `page` of a PDF at 20 DPI.
QImage pdfPage(const fs::path& pdf, int page) {
    const QString number = QString::number(page), raster = QString::fromStdString(pdf.string());
    test::runTool("pdftoppm", {"-r", "20", "-gray", "-png", "-f", number, "-l", number,
                               "-singlefile", raster, raster + "-raster"});
    return QImage(raster + "-raster.png");
}

// A page for each --pth, as it is alone: in one PDF or in numbered files. A batch stops at the
// first page it cannot write, the pages before it whole.
TEST(RenderCommandTest, PagesOfSeveralPathFiles) {
    TempDir dir;
    PageSetup third;
    third.file(FileKind::Format, 2) = dir.write("f.dat", test::FormatLines().text());
    third.file(FileKind::Numeric, 2) = dir.write("g.dat", test::hillGrid(10));
    const std::array pages{(dir.path() / "a.pth").string(), pathFileMissing(dir, "missing.dat"),
                           (dir.path() / "c.pth").string()};
    ASSERT_TRUE(writePathFile(pages[0], test::shadedSurfacePage(dir, 12)) &&
                writePathFile(pages[2], third));
    const auto batch = [&](std::vector<std::string> more) {
        for (const std::string& page : pages) {
            more.insert(more.end(), {"--pth", page});
        }
        return render(more);
    };
    const fs::path out = dir.path() / "out", ops = dir.path() / "ops.jsonl";
    fs::create_directory(out);
    const std::string told = "kavlo render: ページ 2: グラフ 1: 書式データファイル " +
                             (dir.path() / "missing.dat").string() +
                             " がありません。\nページ 2:  1st Format Data Error: ファイルが存在しま"
                             "せん。ご確認ください。 \nexit 1\n";
    // --to names the format whatever the name says; the log holds each page after its Device.
    const fs::path document = out / "doc.dat";
    EXPECT_EQ(batch({"--to", "pdf", "--dpi", "72", "-o", document.string(), "--ops", ops.string()}),
              told);
    EXPECT_TRUE(test::runTool("pdfinfo", {QString::fromStdString(document.string())})
                    .out.contains(QRegularExpression("\\nPages: +3\\n")));
    const std::string log = bytesOf(ops);
    EXPECT_EQ(QString::fromStdString(log).count("{\"op\":\"Device\""), 3);
    EXPECT_TRUE(log.starts_with("{\"op\":\"Device\",\"name\":\"printer\"")) << log.substr(0, 99);
    EXPECT_EQ(batch({"-o", (out / "page-%02d.png").string()}), told);
    for (int k = 1; k <= 3; ++k) {
        const std::string single = (dir.path() / "single").string();
        render({"--pth", pages[static_cast<std::size_t>(k - 1)], "--dpi", "72", "-o",
                single + ".pdf"});
        render({"--pth", pages[static_cast<std::size_t>(k - 1)], "-o", single + ".png"});
        EXPECT_TRUE(pdfPage(document, k) == pdfPage(single + ".pdf", 1)) << k;
        EXPECT_TRUE(QImage(QString::fromStdString(
                        (out / ("page-0" + std::to_string(k) + ".png")).string())) ==
                    QImage(QString::fromStdString(single + ".png")))
            << k;
        if (k == 1) {
            fs::copy_file(single + ".png", dir.path() / "first.png");
        }
    }

    // Nothing is written past the page whose name is taken, nor a document with nowhere to go.
    fs::create_directory(out / "num-02.png");
    const std::string stopped = batch({"-o", (out / "num-%02d.png").string()});
    EXPECT_TRUE(stopped.ends_with("\nexit 3\n")) << stopped;
    EXPECT_TRUE(test::holdsAll(
        stopped, {"kavlo render: ページ 2: " + (out / "num-02.png").string() + " は"}))
        << stopped;
    EXPECT_TRUE(QImage(QString::fromStdString((out / "num-01.png").string())) ==
                QImage(QString::fromStdString((dir.path() / "first.png").string())));
    EXPECT_TRUE(batch({"-o", (out / "none" / "doc.pdf").string()}).ends_with("\nexit 3\n"));
    EXPECT_EQ(batch({"-o", (out / "x.png").string()}),
              "kavlo render: 3 pages need a page number in OUT, such as page-%02d.png, or a "
              "PDF\n" +
                  std::string(renderUsage()) + "exit 2\n");
    EXPECT_EQ(test::folderListing(out),
              (std::vector<std::string>{"doc.dat", "doc.dat-raster.png", "num-01.png", "num-02.png",
                                        "page-01.png", "page-02.png", "page-03.png"}));
}

// Output names number the pages as printf does; names without a number stand as they are.
TEST(RenderCommandTest, PageNumbersInOutputNames) {
    // The name of page 7, or nothing for a name refused.
    for (const auto& [name, seventh] :
         std::vector<std::pair<std::string, std::optional<std::string>>>{
             {"p%d.png", "p7.png"},
             {"p%02d.png", "p07.png"},
             {"p%3d.png", "p  7.png"},
             {"p%09d.png", "p000000007.png"},
             {"100%%-%d.svg", "100%-7.svg"},
             {"%d%%", "7%"},
             {"50%.png", "50%.png"},
             {"p%010d.png", "p%010d.png"},
             {"%d-%d.png", std::nullopt},
             {"p%02d%x.png", std::nullopt},
             {"%s%d.png", std::nullopt}}) {
        const auto parsed = PageFileName::parse(name);
        EXPECT_EQ(parsed ? std::optional(parsed->forPage(7)) : std::nullopt, seventh) << name;
        EXPECT_EQ(parsed && parsed->numbered(), seventh && *seventh != name) << name;
    }
    EXPECT_EQ(PageFileName::parse("p%02d.png")->forPage(123), "p123.png");
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
        {unexpected + "--dpi=300", {"--dpi=300 -o p.png"}},
        {unexpected + "-op.png", {"-op.png --dpi 96", "a.dat -op.png -- b.dat"}},
        {unexpected + "--\\x1b[2J", {"--home h --\x1b[2J x"}},
        {"--device is screen, printer, metafile or emf", {"--device plotter"}},
        {"the output is a .png, .pdf, .svg or .emf file, or names its format with --to",
         {"-o page.bmp", "-o page.dat a.dat", "-o page-%d"}},
        {"--to is png, pdf, svg or emf", {"--to bmp -o p.png", "--to PDF -o -"}},
        {"--to names the format of -o OUT", {"--to pdf", "--to png a.dat"}},
        {"-o - needs --to png|pdf|svg|emf", {"-o -", "a.dat -o - --device printer"}},
        {"the page number in p-%d-%1d.png is written %d or %0Nd, once, and a percent sign %%",
         {"-o p-%d-%1d.png"}},
        // A path file names its own data files, and several pages need several files or a PDF.
        {"data files and --pth do not go together: a path file names its own",
         {"--pth p a.dat", "a.dat --pth p -o p.png"}},
        {"Kavlo.pth is a path file: give it with --pth", {"a.dat Kavlo.pth", "-- Kavlo.pth"}},
        {"w/KAVLO.PTH is a path file: give it with --pth", {"w/KAVLO.PTH"}},
        {"2 pages need a page number in OUT, such as page-%02d.png, or a PDF",
         {"--pth a --pth b -o x.png", "--pth a --pth b --to png -o x.pdf"}},
        {"3 pages need a page number in OUT, such as page-%02d.svg, or a PDF",
         {"--pth a --pth b --pth c -o 50%.svg"}},
        {"2 pages go to standard output only as one PDF", {"--pth a --pth b --to emf -o -"}},
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
              "usage: kavlo render [--home DIR] [--pth FILE]... [--header TEXT] [--device "
              "screen|printer|metafile|emf] [--dpi N] [--ops LOG.jsonl] [--select X1,Y1,X2,Y2] "
              "[--to png|pdf|svg|emf] [-o OUT] [FILE...]\n");

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

}  // namespace
}  // namespace kavlo
