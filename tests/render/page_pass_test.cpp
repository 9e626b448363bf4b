#include "render/page_pass.h"

#include <gtest/gtest.h>

#include "render/recording_surface.h"
#include "test_files.h"

namespace kavlo {
namespace {

using test::FormatLines;
using test::TempDir;

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
    // Zero width or height: the origin of the side that has a length, the whole page's extent.
    EXPECT_EQ(metafileWindow(PageSelection{30, 40, 30, 20}), (TwipsWindow{0, 1134, 11907, 16840}));
    EXPECT_EQ(metafileWindow(PageSelection{30, 20, 20, 20}), (TwipsWindow{1134, 0, 11907, 16840}));
    // Rounded to the nearest twip: 0.01 mm is 0.57 twips.
    EXPECT_EQ(metafileWindow(PageSelection{0.01f, 0.01f, 100.01f, 50}),
              (TwipsWindow{1, 1, 5669, 2834}));
}

}  // namespace
}  // namespace kavlo
