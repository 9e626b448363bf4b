// The numeric reader on any bytes after the first, which choose the format read before it:
// IPL and LDR decide which grids fit the 16-bit indices of the drawing.
#include <cmath>
#include <string>

#include "core/format_reader.h"
#include "core/numeric_reader.h"
#include "core/text_decoding.h"
#include "fuzz_target.h"
#include "invariant.h"
#include "scratch_folder.h"

namespace {

constexpr int kSlot = 1;

std::string formatText(int ipl, int ldr) {
    const std::string tilt = "30, 20, 1, " + std::to_string(ipl) + ", " + std::to_string(ldr);
    const std::string lines[20] = {"numeric fuzz",
                                   "",
                                   "",
                                   "100, 80, 60, 10, 5, 3, 0",
                                   "",
                                   tilt,
                                   "",
                                   "",
                                   "3, 1, 0, 10",
                                   "",
                                   "3, 1, 0, 8",
                                   "",
                                   "3, 2, 0, 0",
                                   "",
                                   "",
                                   "4, X",
                                   "",
                                   "4, Y",
                                   "",
                                   "4, Z"};
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// Low four bits: IPL 0..14, or the largest a mesh allows; high four: LDR +-1..8.
int iplFrom(std::uint8_t choice) {
    const int ipl = choice & 0x0f;
    return ipl == 0x0f ? 8190 : ipl;
}

int ldrFrom(std::uint8_t choice) {
    const int ldr = ((choice >> 4) & 7) + 1;
    return (choice & 0x80) != 0 ? -ldr : ldr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kavlo;
    if (size == 0) {
        return 0;
    }
    const auto& folder = fuzz::scratchFolder();
    SilentMessages silent;
    const auto format = folder.write("format.dat", formatText(iplFrom(data[0]), ldrFrom(data[0])));
    const FormatRead formatRead = readFormatFile(kSlot, format, silent, {});
    fuzz::require(formatRead.outcome == FormatReadOutcome::Read, "the fixed format file reads");
    const FormatSettings& f = formatRead.settings;

    const auto numeric = folder.write("numeric.dat", fuzz::asBytes(data + 1, size - 1));
    RecordedMessages messages;
    const NumericRead read = readNumericFile(kSlot, numeric, f, messages, {});
    const auto outcome = read.outcome;
    const Grid& g = read.grid;
    for (const auto& message : messages.messages) {
        fuzz::require(isValidUtf8(message.title) && isValidUtf8(message.text),
                      "messages are UTF-8");
    }
    if (outcome != NumericReadOutcome::Read) {
        // The renderer must find no grid to draw.
        fuzz::require(g.NX == 0 && g.NY == 0, "a failed read leaves no grid");
        return 0;
    }
    fuzz::require(g.NX >= 2 && g.NY >= 2, "a grid has at least 2 x 2 nodes");
    fuzz::require(gridFitsArrays(g.NX, g.NY, f.IPL, f.LDR), "the grid fits the 16-bit indices");
    fuzz::require(g.Z.upper1() >= g.NX && g.Z.upper2() >= g.NY, "Z holds the grid");
    fuzz::require(g.DataZMin <= g.DataZMax, "the data range is ordered");
    for (int j = 1; j <= g.NY; ++j) {
        for (int i = 1; i <= g.NX; ++i) {
            const float z = g.Z(i, j);
            fuzz::require(std::isfinite(z) && g.DataZMin <= z && z <= g.DataZMax,
                          "z is finite and within the data range");
        }
    }
    return 0;
}
