#include "check_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "test_files.h"

namespace kavlo {
namespace {

using test::FormatLines;
using test::TempDir;

struct CheckRun {
    int status;
    std::string out;
    std::string err;
};

CheckRun check(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCheck(args, out, err);
    return {status, out.str(), err.str()};
}

std::string sample(const std::string& name) {
    return std::string(KAVLO_SAMPLES_DIR) + "/" + name;
}

TEST(CheckCommandTest, EverySampleChecksCleanly) {
    for (int slot = 1; slot <= 6; ++slot) {
        const std::string format = sample("frmqap" + std::to_string(slot) + ".dat");
        const auto run =
            check({"--json", "--slot", std::to_string(slot), format, sample("g01.dat")});
        EXPECT_EQ(run.status, 0) << format;
        EXPECT_NE(run.out.find("{\"result\": \"plot\", \"messages\": [], \"state\": {"),
                  std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("\"NX\": 30, \"NY\": 30"), std::string::npos) << run.out;
    }
}

TEST(CheckCommandTest, JsonReportsCorrectedStateAndSettledRange) {
    TempDir dir;
    FormatLines lines;
    lines.tilt = "30, 20, 0, 2, -3";
    lines.zTitle = "4, 深さ";
    const std::string format = dir.write("f.dat", lines.text());
    const std::string grid = dir.write("g.dat", "2,2\n0,1,2,4\n");
    const auto run =
        check({"--json", "--slot", "2", "--turn", "1", "--zoom", "2", "--vs", "40", format, grid});
    EXPECT_EQ(run.status, 0);
    const std::string& json = run.out;
    EXPECT_EQ(json.rfind("{\"result\": \"plot\", \"messages\": [{\"title\": \" 2nd Format Data "
                         "Error\", \"text\": \"LWD は 1 以上に設定して下さい。LWD=1 として描画を"
                         "継続します。\"}], ",
                         0),
              0u)
        << json;
    // Turned by one step, placed in the right column 40 mm down.
    EXPECT_NE(json.find("\"FXD\": 35, \"FYD\": 15, \"LWD\": 1, \"IPL\": 2, \"LDR\": -3"),
              std::string::npos);
    EXPECT_NE(json.find("\"ZLB\": \"深さ\""), std::string::npos);
    EXPECT_NE(json.find("\"TopX\": 130, \"TopY\": 45"), std::string::npos) << json;
    EXPECT_NE(json.find("\"DataZMin\": 0, \"DataZMax\": 4}"), std::string::npos);
    // The state shows the file's z range; the plot the data range, zoomed twice (x 2.0000001).
    EXPECT_NE(json.find("\"ZMN\": 0, \"ZMX\": 0,"), std::string::npos);
    EXPECT_NE(json.find("\"plot\": {\"ZMN\": 0, \"ZMX\": 8, \"zscl\": 7.5}}"), std::string::npos)
        << json;
    EXPECT_EQ(json.back(), '\n');
}

TEST(CheckCommandTest, ResultsAndExitStatus) {
    TempDir dir;
    const std::string format = dir.write("f.dat", FormatLines().text());
    const std::string missing = (dir.path() / "none.dat").string();

    const auto frame = check({"--json", format});
    EXPECT_EQ(frame.status, 0);
    EXPECT_EQ(frame.out.rfind("{\"result\": \"frame\", \"messages\": [], ", 0), 0u);
    EXPECT_EQ(frame.out.find("\"NX\""), std::string::npos);
    EXPECT_EQ(frame.out.find("\"plot\""), std::string::npos);

    const auto skipped = check({"--slot", "5", format, missing});
    EXPECT_EQ(skipped.status, 1);
    EXPECT_EQ(skipped.out,
              " 5th Graph Data Error: ファイルが存在しません。ご確認ください。 \n"
              "skipped: nothing of slot 5 is drawn\n");

    const auto noFormat = check({"--json", missing});
    EXPECT_EQ(noFormat.status, 1);
    EXPECT_NE(noFormat.out.find("\"state\": {}"), std::string::npos);

    // A user range zoomed below its own minimum leaves nothing to plot: frame only.
    FormatLines userRange;
    userRange.zLabels = "3, 2, 5, 10";
    const auto shrunk = check({"--json", "--zoom", "-4", dir.write("u.dat", userRange.text()),
                               dir.write("g.dat", "2 2 5 6 7 8")});
    EXPECT_EQ(shrunk.status, 0);
    EXPECT_EQ(shrunk.out.rfind("{\"result\": \"frame\"", 0), 0u) << shrunk.out;

    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{},
                                               {"--slot", "7", format},
                                               {"--slot", "x", format},
                                               {"--turn"},
                                               {"--frobnicate", format},
                                               {format, format, format}}) {
        const auto run = check(bad);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("usage: kavlo check"), std::string::npos);
        EXPECT_TRUE(run.out.empty());
    }
}

}  // namespace
}  // namespace kavlo
