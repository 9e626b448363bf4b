#include "render/page_pass.h"

#include <gtest/gtest.h>

#include "render/recording_surface.h"
#include "test_files.h"

namespace kavlo {
namespace {

using test::FormatLines;
using test::TempDir;

// The calls of one pass on a recording device, as its ops log would list them.
template <typename... Page>
std::vector<std::string> passCalls(const DeviceProfile& profile, Page&... page) {
    RecordingSurface surface, measure;
    RecordedMessages messages;
    std::vector<std::string> calls;
    runPagePass(page..., {surface, profile, messages, measure,
                          [&](const std::string& line) { calls.push_back(line); }});
    return calls;
}

TEST(PagePassTest, TheViewStepsTurnThePageOnEveryDevice) {
    TempDir dir;
    PageRequest request;
    request.setup.file(FileKind::Format, 1) = dir.write("f.dat", FormatLines{}.text());
    request.setup.file(FileKind::Format, 4) = dir.write("g.dat", FormatLines{}.text());
    PageRequest turned = request;
    turned.steps.turn[4] = 3;
    for (const DeviceProfile& profile : {screenProfile(), printerProfile(600), metafileProfile()}) {
        const auto plain = passCalls(profile, request);
        const auto turnedCalls = passCalls(profile, turned);
        ASSERT_FALSE(plain.empty());
        EXPECT_EQ(plain.front().find("{\"op\":\"Device\",\"name\":\"" + profile.name + "\""), 0u);
        EXPECT_NE(plain, turnedCalls) << profile.name;
        // Slot 1 is not turned: its calls stay as they were, up to slot 4.
        const auto slot4 = [](const std::vector<std::string>& calls) {
            return std::find(calls.begin(), calls.end(), "{\"op\":\"Slot\",\"slot\":4}") -
                   calls.begin();
        };
        ASSERT_EQ(slot4(plain), slot4(turnedCalls));
        EXPECT_TRUE(std::equal(plain.begin(), plain.begin() + slot4(plain), turnedCalls.begin()))
            << profile.name;
    }

    // The pass of a request is the pass of the same steps and set-up as the canvas keeps them.
    ViewSteps steps = turned.steps;
    PageSetup setup = turned.setup;
    EXPECT_EQ(passCalls(printerProfile(600), steps, setup), passCalls(printerProfile(600), turned));
}

TEST(PagePassTest, APassThatOnlyReadsTellsWhatThePlottingPassTells) {
    TempDir dir;
    PageRequest request;
    request.setup.file(FileKind::Format, 1) = dir.write("f.dat", FormatLines{}.text());
    request.setup.file(FileKind::Numeric, 1) = dir.write("n.dat", "3, 2\n0, 1, 2\n3, 4, 5\n");
    request.setup.file(FileKind::Format, 2) = (dir.path() / "missing.dat").string();
    const DeviceProfile profile = screenProfile();
    const auto pass = [&](bool plots, RecordedMessages& messages) {
        RecordingSurface surface;
        const PageOutcome outcome =
            runPagePass(request, {surface, profile, messages, surface, {}, plots});
        return std::pair(outcome.allDrawn, surface.ops().size());
    };
    RecordedMessages plotted, read;
    const auto [plottedDrawn, plottedCalls] = pass(true, plotted);
    const auto [readDrawn, readCalls] = pass(false, read);
    ASSERT_FALSE(plotted.messages.empty());
    EXPECT_EQ(read.messages, plotted.messages);
    EXPECT_EQ(readDrawn, plottedDrawn);
    EXPECT_LT(readCalls, plottedCalls) << "the curves are left out";
    EXPECT_GT(readCalls, 0u) << "the frame is still laid out";
}

TEST(PagePassTest, TheMetafileWindowIsTheSelectionOrTheWholePage) {
    const TwipsWindow page{0, 0, 11907, 16840};
    EXPECT_EQ(metafileWindow(std::nullopt), page);
    EXPECT_EQ(metafileWindow(PageSelection{}), page);
    // 10 x 20 mm dragged either way.
    const TwipsWindow tenByTwenty{1134, 1134, 567, 1134};
    EXPECT_EQ(metafileWindow(PageSelection{20, 20, 30, 40}), tenByTwenty);
    EXPECT_EQ(metafileWindow(PageSelection{30, 40, 20, 20}), tenByTwenty);
    EXPECT_EQ(metafileWindow(PageSelection{30, 20, 20, 40}), tenByTwenty);
    // Zero width or height: the origin of the side that has a length, the whole page's extent.
    EXPECT_EQ(metafileWindow(PageSelection{30, 40, 30, 20}), (TwipsWindow{0, 1134, 11907, 16840}));
    EXPECT_EQ(metafileWindow(PageSelection{30, 20, 20, 20}), (TwipsWindow{1134, 0, 11907, 16840}));
    // Rounded to the nearest twip: 0.01 mm is 0.57 twips.
    EXPECT_EQ(metafileWindow(PageSelection{0.01f, 0.01f, 100.01f, 50}),
              (TwipsWindow{1, 1, 5669, 2834}));
}

}  // namespace
}  // namespace kavlo
