#include "check_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string_view>
#include <vector>

#include "test_files.h"
#include "text_checks.h"

namespace kavlo {
namespace {

using test::FormatLines;
using test::holdsAll;
using test::TempDir;

// What a run printed, its exit status, then anything it wrote to the error stream.
std::string check(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = runCheck(args, out, err);
    return out.str() + "exit " + std::to_string(status) + "\n" + err.str();
}

TEST(CheckCommandTest, JsonReportsCorrectedStateAndSettledRange) {
    TempDir dir;
    const std::string format =
        dir.write("f.dat", FormatLines{.tilt = "30, 20, 0, 2, -3", .zTitle = "4, 深さ"}.text());
    const std::string run = check({"--json", "--slot", "2", "--turn", "1", "--zoom", "2", "--vs",
                                   "40", format, dir.write("g.dat", "2,2\n0,1,2,4\n")});
    // Turned by one step and placed in the right column 40 mm down. The state keeps the
    // file's z range; the plot zooms the data range twice (x 2.0000001).
    EXPECT_TRUE(holdsAll(
        run,
        {"{\"result\": \"plot\", \"messages\": [{\"title\": \" 2nd Format Data Error\", \"text\": "
         "\"LWD は 1 以上に設定して下さい。LWD=1 として描画を継続します。\"}], ",
         "\"FXD\": 35, \"FYD\": 15, \"LWD\": 1, \"IPL\": 2, \"LDR\": -3", "\"ZLB\": \"深さ\"",
         "\"TopX\": 130, \"TopY\": 45", "\"DataZMin\": 0, \"DataZMax\": 4}",
         "\"ZMN\": 0, \"ZMX\": 0,",
         "\"plot\": {\"ZMN\": 0, \"ZMX\": 8, \"zscl\": 7.5}}\nexit 0\n"}));
}

TEST(CheckCommandTest, ResultsAndExitStatus) {
    TempDir dir;
    const std::string format = dir.write("f.dat", FormatLines().text());
    const std::string missing = (dir.path() / "none.dat").string();

    const std::string frame = check({"--json", format});
    EXPECT_EQ(frame.rfind("{\"result\": \"frame\", \"messages\": [], ", 0), 0u) << frame;
    EXPECT_TRUE(frame.ends_with("}}\nexit 0\n")) << frame;
    EXPECT_EQ(frame.find("\"NX\""), std::string::npos);
    EXPECT_EQ(frame.find("\"plot\""), std::string::npos);

    EXPECT_EQ(check({"--slot", "5", format, missing}),
              " 5th Graph Data Error: ファイルが存在しません。ご確認ください。 \n"
              "skipped: nothing of slot 5 is drawn\nexit 1\n");
    EXPECT_TRUE(check({"--json", missing}).ends_with("\"state\": {}}\nexit 1\n"));
    // Control characters in a label stay escapes in the JSON.
    const std::string controls = dir.write("c.dat", FormatLines{.xTitle = "4, X\x1f\x01"}.text());
    EXPECT_NE(check({"--json", controls}).find("\"X\\u001f\\u0001\""), std::string::npos);

    // A user range zoomed below its own minimum leaves nothing to plot: frame only.
    const std::string shrunk = check(
        {"--json", "--zoom", "-4", dir.write("u.dat", FormatLines{.zLabels = "3, 2, 5, 10"}.text()),
         dir.write("g.dat", "2 2 5 6 7 8")});
    EXPECT_EQ(shrunk.rfind("{\"result\": \"frame\"", 0), 0u) << shrunk;
    EXPECT_TRUE(shrunk.ends_with("}}\nexit 0\n")) << shrunk;

    // Usage errors print nothing and tell the first fault; placements beyond floats are ones too.
    const std::string grid = dir.write("grid.dat", "2,2\n0,1,2,4\n");
    const std::string f = " " + format, fg = f + " " + grid;
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"name a format file and, optionally, a numeric file", {"", format + f + f}},
        {"--slot takes a slot number 1 to 6", {"--slot 7" + f, "--slot 0" + f, "--slot 2.5" + f}},
        {"--slot takes a number, not 'x'", {"--slot x" + f, "--slot x --turn"}},
        {"--turn takes a number, not '\\xff\\x1b'", {"--turn \xff\x1b" + f}},
        {"--turn needs a value", {"--turn"}},
        {"unknown option --frobnicate", {"--frobnicate" + f}},
        {"unknown option -js", {"-js" + f}},
        {"--turn takes a number, not '1e9223372036854775807'",
         {"--turn 1e9223372036854775807" + fg}},
        {"--us takes millimetres a float can hold", {"--us 1e39" + fg}},
        {"--us, --vs, --turn or --zoom put the graph beyond any page a device can draw",
         {"--us 3e38" + fg, "--vs -1e8" + fg, "--turn 1e300" + fg, "--json --zoom 1e6" + fg}},
    };
    for (const auto& [message, lines] : cases) {
        for (const std::string& line : lines) {
            EXPECT_EQ(check(test::words(line)),
                      "exit 2\nkavlo check: " + message + "\n" + checkUsage())
                << line;
        }
    }
    EXPECT_EQ(std::string(checkUsage()),
              "usage: kavlo check [--json] [--slot G] [--turn N] [--zoom N] [--us MM] [--vs MM] "
              "FORMAT [NUMERIC]\n");
    // A value may start with a dash, the last of a repeated option counts, and "-" is a file.
    const std::string turned = check({"--json", "--turn", "-1", "--slot", "2", format, grid});
    EXPECT_TRUE(turned.ends_with("}}\nexit 0\n")) << turned;
    EXPECT_NE(check({"--json", "--slot", "2", format, grid}), turned);
    EXPECT_EQ(check({"--json", "--turn", "5", "--turn", "-1", "--slot", "3", "--slot", "2", format,
                     grid}),
              turned);
    EXPECT_TRUE(check({"-"}).ends_with("is drawn\nexit 1\n"));
    // Far off the page but within device coordinates still checks.
    EXPECT_TRUE(check({"--vs", "1e6", "--zoom", "20", format, grid}).ends_with("exit 0\n"));
}

}  // namespace
}  // namespace kavlo
