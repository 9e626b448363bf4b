// The format write-back on any bytes after the first four, which give the turn and zoom steps
// and the z range the screen showed: a failed write-back leaves the file as it was, and a file
// that read before still reads.
#include <fstream>
#include <iterator>
#include <string>

#include "core/format_reader.h"
#include "core/format_write_back.h"
#include "core/text_decoding.h"
#include "format_checks.h"
#include "fuzz_target.h"
#include "invariant.h"
#include "scratch_folder.h"

namespace {

constexpr int kSlot = 3;

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

kavlo::FormatRead readSilently(const std::filesystem::path& file,
                               kavlo::RecordedMessages& messages) {
    return kavlo::readFormatFile(kSlot, file.string(), messages, kavlo::ReadRules{false});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kavlo;
    if (size < 4) {
        return 0;
    }
    ViewChange change;
    change.turnSteps = static_cast<std::int8_t>(data[0]);
    change.zoomSteps = static_cast<std::int8_t>(data[1]);
    change.shownZ.lower = static_cast<std::int8_t>(data[2]);
    change.shownZ.upper = static_cast<std::int8_t>(data[3]);
    const auto bytes = fuzz::asBytes(data + 4, size - 4);
    const auto file = fuzz::scratchFolder().write("format.dat", bytes);

    RecordedMessages beforeMessages;
    const auto readBefore = readSilently(file, beforeMessages).outcome;

    const auto result = writeBackView(file, change);
    for (const auto& message : {result.failure, result.note}) {
        fuzz::require(!message || (!message->empty() && isValidUtf8(*message)),
                      "write-back messages are UTF-8");
    }
    if (result.failure) {
        fuzz::require(contentOf(file) == bytes, "a failed write-back leaves the file as it was");
        return 0;
    }
    RecordedMessages afterMessages;
    const FormatRead after = readSilently(file, afterMessages);
    const auto readAfter = after.outcome;
    fuzz::checkFormatRead(readAfter, after.settings, afterMessages.messages);
    if (readBefore == FormatReadOutcome::Read) {
        fuzz::require(readAfter == FormatReadOutcome::Read, "a written-back file still reads");
    }
    return 0;
}
