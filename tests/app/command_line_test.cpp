#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <QRegularExpression>
#include <array>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "application_folder.h"
#include "check_command.h"
#include "core/path_file.h"
#include "devices/drawing_helpers.h"
#include "gui_command.h"
#include "hill_grid.h"
#include "print_command.h"
#include "render_command.h"
#include "test_files.h"
#include "text_checks.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;
using test::holdsAll;

struct ProgramRun {
    int status = -1;  // -1: crashed or hung
    std::string out;
    std::string err;
};

using Environment = std::vector<std::pair<QString, QString>>;

QString q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// The environment of a server's script: no display, session or $USER.
QProcessEnvironment scriptEnvironment(const fs::path& temp, const Environment& set) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "USER", "XDG_RUNTIME_DIR"}) {
        env.remove(name);
    }
    for (const auto& [name, value] : set) {
        env.insert(name, value);
    }
    env.insert("TMPDIR", q(temp));
    return env;
}

// The built program (or a copy of it) run as a server's script; a limit is in KiB.
ProgramRun kavlo(const QStringList& args, const fs::path& temp, const Environment& set = {},
                 std::optional<int> addressLimit = std::nullopt,
                 const QString& program = KAVLO_BINARY) {
    QProcess process;
    process.setProcessEnvironment(scriptEnvironment(temp, set));
#ifdef KAVLO_SANITIZED
    // The sanitizers reserve terabytes of address space: no limit leaves them room. They also
    // slow the largest page, 1200 DPI, to near a minute.
    addressLimit.reset();
    constexpr int kLongestRunMs = 300000;
#else
    constexpr int kLongestRunMs = 60000;
#endif
    const QString limit = addressLimit ? QString("ulimit -v %1 && ").arg(*addressLimit) : "";
    process.start("bash", QStringList{"-c", limit + "exec \"$0\" \"$@\"", program} + args);
    const bool ended =
        process.waitForFinished(kLongestRunMs) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

// `kavlo render --home HOME -o OUT`.
ProgramRun renderTo(const fs::path& home, const fs::path& out, const fs::path& temp,
                    const Environment& set = {}) {
    return kavlo({"render", "--home", q(home), "-o", q(out)}, temp, set);
}

// The help is the usage line, then a line for each option it names, then examples of the
// command.
void expectHelpOf(const std::string& help, const std::string& usage) {
    ASSERT_NE(help.find(usage), std::string::npos) << help;
    for (auto open = usage.find("[-"); open != std::string::npos;
         open = usage.find("[-", open + 1)) {
        const std::string option = usage.substr(open + 1, usage.find(']', open) - open - 1);
        EXPECT_TRUE(holdsAll(help, {"\n  " + option + "  "}));
    }
    const std::string command = usage.substr(7, usage.find(" [") - 7);  // after "usage: "
    EXPECT_TRUE(holdsAll(help.substr(help.find(usage)), {"\nexamples:\n  " + command}));
}

TEST(CommandLine, UsageIsToldWithoutADisplay) {
    test::TempDir dir;
    const ProgramRun help = kavlo({"--help"}, dir.path());
    EXPECT_EQ(std::pair(help.status, help.err), std::pair(0, std::string()));
    const ProgramRun version = kavlo({"--version"}, dir.path());
    EXPECT_EQ(std::pair(version.status, version.out),
              std::pair(0, std::string("kavlo " KAVLO_PROJECT_VERSION "\n")));
    EXPECT_TRUE(help.out.starts_with(guiUsage())) << help.out;
    expectHelpOf(help.out, guiUsage());
    for (const auto& [command, usage] : {std::pair{"check", std::string(checkUsage())},
                                         std::pair{"render", std::string(renderUsage())},
                                         std::pair{"print", std::string(printUsage())}}) {
        expectHelpOf(help.out, usage);
        const ProgramRun run = kavlo({command, "-h"}, dir.path());
        EXPECT_TRUE(run.status == 0 && run.out.starts_with(usage)) << run.out;
        expectHelpOf(run.out, usage);
    }
    for (const auto& [bad, usage] :
         {std::pair{QStringList{"render", "--dpi", "1", "-o", "p.png"}, renderUsage()},
          {QStringList{"--bogus"}, guiUsage()},
          {QStringList{"plot"}, guiUsage()},
          {QStringList{"--version", "now"}, guiUsage()},
          {QStringList{"print", "--bogus"}, printUsage()}}) {
        const ProgramRun run = kavlo(bad, dir.path());
        EXPECT_EQ(run.status, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(holdsAll(run.err, {usage}));
        EXPECT_EQ(run.err.find("\n  --"), std::string::npos) << "the help is asked for";
    }
}

// An X display number nothing serves.
QString unusedDisplay() {
    for (int n = 7000;; ++n) {
        const std::string number = std::to_string(n);
        if (!fs::exists("/tmp/.X11-unix/X" + number) && !fs::exists("/tmp/.X" + number + "-lock")) {
            return QString::fromStdString(":" + number);
        }
    }
}

// Displays named but not answering are told, where Qt would abort.
TEST(CommandLine, MainWindowWithoutADesktopSaysWhatWorksInstead) {
    test::TempDir dir;
    const fs::path home = dir.path() / "home";
    const QString display = unusedDisplay();
    const std::string x = "cannot connect to the X server at DISPLAY=" + display.toStdString();
    const std::pair<Environment, std::string> nowhere[] = {
        {{}, "neither DISPLAY nor WAYLAND_DISPLAY"},
        {{{"DISPLAY", display}}, x},
        {{{"WAYLAND_DISPLAY", "nonexistent-0"}, {"XDG_RUNTIME_DIR", "/tmp"}},
         "cannot connect to a Wayland compositor at WAYLAND_DISPLAY=nonexistent-0"},
        {{{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", display}, {"WAYLAND_DISPLAY", "wayland-0"}},
         "QT_QPA_PLATFORM=xcb chooses it, but " + x},
    };
    for (auto [set, reason] : nowhere) {
        set.emplace_back("KAVLO_HOME", q(home));
        const ProgramRun run = kavlo({}, dir.path(), set);
        EXPECT_EQ(run.status, 2) << reason;
        EXPECT_TRUE(run.err.starts_with("kavlo: the main window needs a desktop session"));
        EXPECT_TRUE(holdsAll(run.err, {reason, "kavlo render -o page.pdf", "kavlo check"}));
        EXPECT_FALSE(fs::exists(home));
    }
}

// The windows start offscreen from their module, which a program on its own lacks: then it says
// so, and the verbs that draw into files still work.
TEST(CommandLine, OnlyTheWindowsAndPrintingLoadTheirModule) {
    test::TempDir dir;
    const fs::path home = dir.path() / "home";
    QProcess window;
    window.setProcessEnvironment(scriptEnvironment(dir.path(), {{"QT_QPA_PLATFORM", "offscreen"}}));
    window.start(KAVLO_BINARY, {"--home", q(home)});
    // The window's session seeds the folder; the window then waits for the user.
    while (!fs::exists(home / "frmqap1.dat") && !window.waitForFinished(100)) {
    }
    EXPECT_EQ(window.state(), QProcess::Running) << window.readAllStandardError().toStdString();
    window.kill();
    window.waitForFinished();

    const fs::path alone = dir.path() / "alone" / "kavlo";
    fs::create_directories(alone.parent_path());
    fs::copy_file(KAVLO_BINARY, alone);
    const auto aloneRun = [&](const QStringList& args, Environment set = {}) {
        set.emplace_back("QT_QPA_PLATFORM", "offscreen");
        return kavlo(args, dir.path(), set, std::nullopt, q(alone));
    };
    const fs::path page = dir.path() / "page.png";
    const ProgramRun drawn = aloneRun({"render", "--home", q(home), "-o", q(page)});
    EXPECT_EQ(std::pair(drawn.status, drawn.err), std::pair(0, std::string()));
    EXPECT_TRUE(fs::exists(page));
    // The loader names every library it maps.
    const ProgramRun traced =
        aloneRun({"render", "--home", q(home), "-o", q(page)}, {{"LD_DEBUG", "files"}});
    EXPECT_TRUE(holdsAll(traced.err, {"libQt6Gui.so"}));
    for (const char* widgets : {"libQt6Widgets.so", "libQt6PrintSupport.so", "libQt6Svg.so"}) {
        EXPECT_EQ(traced.err.find(widgets), std::string::npos) << widgets;
    }

    const std::pair<QStringList, int> needingIt[] = {{{"--home", q(home)}, 2},
                                                     {{"print", "--home", q(home)}, 3}};
    for (const auto& [args, status] : needingIt) {
        const ProgramRun run = aloneRun(args);
        EXPECT_EQ(run.status, status) << run.err;
        EXPECT_TRUE(run.err.starts_with("kavlo: 画面と印刷の部品を読み込めません。(")) << run.err;
        EXPECT_TRUE(holdsAll(run.err, {"kavlo_windows.so"})) << run.err;
    }
}

// Files for the windows come in any order with the options; a bare word is a mistyped verb.
TEST(CommandLine, WindowsTakeFilesBesideTheirOptions) {
    test::TempDir dir;
    for (const std::string& first : {std::string("--home"), std::string("frm.dat"),
                                     std::string("data/frm"), dir.write("grid", "2 2 1 2 3 4")}) {
        EXPECT_TRUE(startsTheWindows(first)) << first;
    }
    EXPECT_FALSE(startsTheWindows("rendr"));

    // The options the windows are given, after anything told.
    const auto parsed = [](const std::string& line) {
        std::ostringstream out;
        if (const auto options = parseGuiOptions(test::words(line), out)) {
            out << "home " << options->home.value_or("-").string() << ", files";
            for (const fs::path& file : options->files) {
                out << ' ' << file.string();
            }
        }
        return out.str();
    };
    for (const auto& [line, told] : std::vector<std::pair<std::string, std::string>>{
             {"", "home -, files"},
             {"a.dat --home h b.txt", "home h, files a.dat b.txt"},
             {"--home -h --home h\xff -- --odd.dat - --home",
              "home h\xff, files --odd.dat - --home"},
             {"a.dat --home", "kavlo: --home needs a value\n"},
             {"--bogus a.dat", "kavlo: unexpected argument --bogus\n"},
             {"a.dat -", "kavlo: unexpected argument -\n"}}) {
        EXPECT_EQ(parsed(line), told) << line;
    }
}

// Scripts no font covers draw quietly on every device, with XDG_RUNTIME_DIR unset or unusable
// and with a display that does not answer (they draw offscreen).
TEST(CommandLine, TextNoFontCoversDrawsOnEveryDeviceQuietly) {
    test::TempDir dir;
    const fs::path home = dir.path() / "home";
    ASSERT_TRUE(seedApplicationFolder(home));
    // Devanagari, Syriac, Thaana, Malayalam and Khmer, then two characters XML forbids.
    dir.write("home/cmtqap1.txt", "क ܐ ހ ക ក \uFFFE\uFFFF comment\r\n");
    const test::TempDir temp;
    const auto quiet = [&](const char* name, const Environment& set = {}) {
        const ProgramRun run = renderTo(home, dir.path() / name, temp.path(), set);
        EXPECT_EQ(std::pair(run.status, run.err), std::pair(0, std::string())) << name;
    };
    quiet("page.pdf");
    quiet("page.svg", {{"XDG_RUNTIME_DIR", "/nonexistent"}});
    quiet("page.emf", {{"XDG_RUNTIME_DIR", q(dir.path() / "page.pdf")}});
    quiet("page.png", {{"DISPLAY", unusedDisplay()}});
    // Nothing of ours is left in TMPDIR: at most the runtime folder Qt makes for itself.
    EXPECT_LE(std::distance(fs::directory_iterator(temp.path()), {}), 1);
}

// `render --home` on a user's folder adds nothing to it; an empty path file there is refused.
TEST(CommandLine, RenderPutsNothingIntoAUsersFolder) {
    test::TempDir dir;
    const fs::path folder = test::copiedWindowsFolder(dir);
    const auto before = test::folderListing(folder);
    const ProgramRun drawn = renderTo(folder, dir.path() / "page.png", dir.path());
    EXPECT_TRUE(holdsAll(drawn.err, {" → " + (folder / "G01.DAT").string() + "\n"}));
    EXPECT_EQ(drawn.status, 0) << drawn.err;
    EXPECT_EQ(test::folderListing(folder), before);

    dir.write("W/Kavlo.pth", "");
    const ProgramRun refused = renderTo(folder, dir.path() / "page.png", dir.path());
    EXPECT_EQ(std::pair(refused.status, refused.err),
              std::pair(2, "kavlo render: cannot read the path file " +
                               (folder / kPathFileName).string() + "\n"));
    EXPECT_EQ(test::folderListing(folder), before);
}

// A path file of one graph: an n x n hill drawn as `ldr` with IPL `ipl`.
QString hillPage(const test::TempDir& dir, int n, int ipl, int ldr) {
    test::FormatLines format;
    format.tilt = "30, 20, 1, " + std::to_string(ipl) + ", " + std::to_string(ldr);
    PageSetup setup;
    setup.file(FileKind::Format, 1) = dir.write("hill.fmt", format.text());
    setup.file(FileKind::Numeric, 1) = dir.write("hill.dat", test::hillGrid(n));
    EXPECT_TRUE(writePathFile(dir.path() / "Kavlo.pth", setup));
    return q(dir.path() / "Kavlo.pth");
}

// The program makes Qt's GUI application only for pages that draw: a blank page, a header alone
// and a graph alone come out of it as they do in a process that always has one.
TEST(CommandLine, PagesDrawAsWithAGuiApplicationWhateverTheyHold) {
    test::TempDir dir;
    PageSetup header;
    header.header = {"Run 12 温度", 0, 2, 1};
    const std::pair<std::string, fs::path> pages[] = {
        {"blank", dir.path() / "blank.pth"},
        {"header", dir.path() / "header.pth"},
        {"graph", fs::path(hillPage(dir, 6, 1, 6).toStdString())}};
    ASSERT_TRUE(writePathFile(pages[0].second, PageSetup{}));
    ASSERT_TRUE(writePathFile(pages[1].second, header));
    for (const auto& [name, pth] : pages) {
        for (const std::string ext : {".png", ".pdf", ".svg", ".emf"}) {
            const fs::path ours = dir.path() / (name + ext), inProcess = dir.path() / ("in" + ext);
            const ProgramRun run = kavlo({"render", "--pth", q(pth), "-o", q(ours)}, dir.path());
            EXPECT_EQ(std::pair(run.status, run.err), std::pair(0, std::string())) << name << ext;
            std::ostringstream err;
            EXPECT_EQ(
                runRender(std::vector<std::string>{"--pth", pth.string(), "-o", inProcess.string()},
                          err),
                0);
            EXPECT_TRUE(test::bytesOf(ours) == test::bytesOf(inProcess)) << name << ext;
        }
    }
}

TEST(CommandLine, PagesAreDrawnWithinAGigabyteOrRefusedBeforeDrawing) {
    test::TempDir dir;
    test::TempDir scratch;
    const QString out = q(dir.path() / "page");
    const auto render = [&](const QString& pth, QStringList more, int addressLimit) {
        return kavlo(QStringList{"render", "--pth", pth} + more, scratch.path(), {}, addressLimit);
    };
    // 500 x 500 nodes refined 64 times: some 6500 万 points of facets.
    const QString tooLarge = hillPage(dir, 500, 64, 5);
    for (const QString ext : {".png", ".pdf", ".svg", ".emf"}) {
        dir.write("page" + ext.toStdString(), "old");
        const ProgramRun run = render(tooLarge, {"-o", out + ext}, 1000000);
        EXPECT_EQ(run.status, 3) << run.err;
        EXPECT_TRUE(
            run.err.starts_with(" 1st Graph Data Error: グラフが大きすぎて描けません。"
                                "500 × 500 の格子を IPL = 64 で細分すると、ページの描画は"
                                "約 6531 万点になり"))
            << run.err;
        EXPECT_EQ(test::bytesOf((out + ext).toStdString()), "old");
    }
    // Standard output gets the whole document or nothing.
    const ProgramRun piped = render(tooLarge, {"--to", "pdf", "-o", "-"}, 1000000);
    EXPECT_EQ(std::pair(piped.status, piped.out.size()), std::pair(3, std::size_t{0}));

    // The largest page image with a mesh of 500 万 points fits in 1 GB.
    ProgramRun run =
        render(hillPage(dir, 200, 30, 3), {"--dpi", "1200", "-o", out + ".png"}, 1000000);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_GT(fs::file_size(out.toStdString() + ".png"), 10000u);
#ifndef KAVLO_SANITIZED
    // Memory that still runs out ends the run with a message, not an abort, and says nothing
    // was written, as a page refused does.
    run = render(hillPage(dir, 400, 61, 3), {"-o", out + ".png"}, 200000);
    EXPECT_EQ(std::pair(run.status, run.err),
              std::pair(3, std::string("kavlo render: メモリーが足りないため中断しました。"
                                       "格子の点数か IPL を減らして下さい。\n")));
#endif
    // Nothing is left beside the four pages and the three files of the graph.
    EXPECT_EQ(test::folderListing(dir.path()).size(), 7u);
}

// Starts the program on descriptors of the test's own, with signals as a shell leaves them.
pid_t startedOn(const QStringList& args, int out, int err) {
    std::vector<std::string> words{KAVLO_BINARY};
    for (const QString& arg : args) {
        words.push_back(arg.toStdString());
    }
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGPIPE, SIG_DFL);
        dup2(nothing, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(nothing);
    return child;
}

// Its exit status, or -1 when a signal ended it.
int endOf(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// `-o -` writes the document to standard output when it is whole; messages stay on stderr.
TEST(CommandLine, RenderWritesTheDocumentToStandardOutput) {
    test::TempDir dir;
    const QString home = q(dir.path() / "home");
    const ProgramRun filed = renderTo(dir.path() / "home", dir.path() / "page.png", dir.path());
    const ProgramRun piped =
        kavlo({"render", "--home", home, "--to", "png", "-o", "-"}, dir.path());
    EXPECT_EQ(std::tuple(filed.status, piped.status, piped.err), std::tuple(0, 0, std::string()));
    EXPECT_TRUE(piped.out == test::bytesOf(dir.path() / "page.png")) << piped.out.size();

    PageSetup gone;
    gone.file(FileKind::Format, 1) = (dir.path() / "gone.dat").string();
    ASSERT_TRUE(writePathFile(dir.path() / "gone.pth", gone));
    const ProgramRun pages = kavlo({"render", "--pth", hillPage(dir, 10, 2, 1), "--pth",
                                    q(dir.path() / "gone.pth"), "--to", "pdf", "-o", "-"},
                                   dir.path());
    EXPECT_EQ(pages.status, 1);
    EXPECT_TRUE(holdsAll(pages.err, {"ページ 2: グラフ 1: 書式データファイル "})) << pages.err;
    EXPECT_TRUE(pages.out.starts_with("%PDF-") && pages.out.ends_with("%%EOF\n"));
    const std::string pdf = dir.write("piped.pdf", pages.out);
    EXPECT_TRUE(test::runTool("pdfinfo", {QString::fromStdString(pdf)})
                    .out.contains(QRegularExpression("\\nPages: +2\\n")));

    // A reader gone before the document came is told, not a silent end by SIGPIPE.
    std::array<int, 2> ends{};
    ASSERT_EQ(pipe2(ends.data(), O_CLOEXEC), 0);
    close(ends[0]);
    const std::string told = (dir.path() / "told").string();
    const int err = open(told.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const pid_t child =
        startedOn({"render", "--home", home, "--to", "png", "-o", "-"}, ends[1], err);
    close(ends[1]);
    close(err);
    EXPECT_EQ(endOf(child), 3);
    EXPECT_EQ(test::bytesOf(told), "kavlo render: 標準出力に書き込めません。\n");
}

// A batch tells on a terminal which page it is at, rewritten in place and wiped at the end;
// nothing of it goes into a log. A picture's bytes are never sent to a terminal.
TEST(CommandLine, RenderShowsItsProgressOnlyOnATerminal) {
    test::TempDir dir;
    const QString page = hillPage(dir, 10, 2, 1);
    // The status and what the terminal showed of a run with both its outputs on one.
    const auto onTerminal = [](const QStringList& args) {
        int terminal = -1, side = -1;
        EXPECT_EQ(openpty(&terminal, &side, nullptr, nullptr, nullptr), 0);
        fcntl(terminal, F_SETFD, FD_CLOEXEC);
        fcntl(side, F_SETFD, FD_CLOEXEC);
        const pid_t child = startedOn(args, side, side);
        close(side);
        std::string shown;
        std::array<char, 4096> buffer{};
        for (;;) {
            const ssize_t got = read(terminal, buffer.data(), buffer.size());
            if (got > 0) {
                shown.append(buffer.data(), static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                break;  // EIO once the program has ended
            }
        }
        close(terminal);
        return std::pair(endOf(child), shown);
    };
    const QStringList args{"render", "--pth", page, "--pth", page, "-o", q(dir.path() / "p.pdf")};
    const auto [status, shown] = onTerminal(args);
    EXPECT_EQ(status, 0) << shown;
    EXPECT_TRUE(holdsAll(shown, {"kavlo render: ページ 1 / 2", "\rkavlo render: ページ 2 / 2"}))
        << shown;
    EXPECT_TRUE(shown.ends_with(" \r")) << shown;
    const ProgramRun logged = kavlo(args, dir.path());
    EXPECT_EQ(std::pair(logged.status, logged.err), std::pair(0, std::string()));

    const auto [refused, told] = onTerminal({"render", "--pth", page, "--to", "png", "-o", "-"});
    EXPECT_EQ(refused, 2) << told;
    EXPECT_TRUE(told.starts_with("kavlo render: standard output is a terminal")) << told;
}

// Without CUPS `kavlo print` says why, prints nothing and writes no PDF in its place.
TEST(CommandLine, PrintTellsWhyNothingWasPrinted) {
    test::TempDir dir;
    const std::string server = (dir.path() / "no-cups.sock").string();
    const ProgramRun run = kavlo({"print", "--home", q(dir.path() / "home")}, dir.path(),
                                 {{"CUPS_SERVER", QString::fromStdString(server)}});
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(holdsAll(run.err, {"印刷サービス (CUPS) " + server + " に接続できません。",
                                   "kavlo render --device printer -o page.pdf"}));
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        EXPECT_NE(entry.path().extension(), ".pdf") << entry.path();
    }
}

}  // namespace
}  // namespace kavlo
