// The format reader on any bytes, as the screen reads it and as the silent printer and
// metafile passes read it.
#include <array>
#include <cstring>

#include "core/graph_reader.h"
#include "format_checks.h"
#include "fuzz_target.h"
#include "invariant.h"
#include "scratch_folder.h"

namespace {

constexpr int kSlot = 2;

// The values a drawing takes from the read; the silent passes must draw what the screen drew.
std::array<float, 28> drawnValues(const kavlo::PlacedGraph& g) {
    return {g.XWD,  g.YWD,  g.ZWD,  g.XSF,  g.YSP,   g.CSZ,   g.FXD,   g.FYD,  g.XNS, g.XMN,
            g.XMX,  g.YNS,  g.YMN,  g.YMX,  g.ZNS,   g.ZMN,   g.ZMX,   g.XLS,  g.YLS, g.ZLS,
            g.TopX, g.TopY, g.OrgX, g.OrgY, g.XEndX, g.XEndY, g.YEndX, g.YEndY};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kavlo;
    const auto file = fuzz::scratchFolder().write("format.dat", fuzz::asBytes(data, size));

    // With no numeric file only the format file is read, and the frame placed after it.
    PlacedGraph screen;
    RecordedMessages messages;
    const auto shown =
        readGraph(screen, kSlot, {file, ""}, 25, 10, 0, messages, ReadRules{}).format;
    fuzz::checkFormatRead(shown, screen, messages.messages);

    PlacedGraph printer;
    SilentMessages silent;
    const auto silentOutcome =
        readGraph(printer, kSlot, {file, ""}, 25, 10, 0, silent, ReadRules{false}).format;
    fuzz::require(silentOutcome == shown, "the silent read has the screen read's outcome");
    const auto a = drawnValues(screen);
    const auto b = drawnValues(printer);
    fuzz::require(std::memcmp(a.data(), b.data(), sizeof a) == 0,
                  "the silent read gives the screen read's values");
    fuzz::require(screen.XLB == printer.XLB && screen.YLB == printer.YLB &&
                      screen.ZLB == printer.ZLB && screen.IPL == printer.IPL &&
                      screen.LDR == printer.LDR,
                  "the silent read gives the screen read's labels and lines");
    return 0;
}
