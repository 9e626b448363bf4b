// The path-file parser on any bytes, directly and through the file reader.
#include <string>
#include <string_view>

#include "core/page_setup.h"
#include "core/path_file.h"
#include "core/text_decoding.h"
#include "fuzz_target.h"
#include "invariant.h"
#include "scratch_folder.h"

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

void requireUtf8(const kavlo::PageSetup& setup) {
    using kavlo::isValidUtf8;
    for (const auto& picker : setup.pickers) {
        kavlo::fuzz::require(
            isValidUtf8(picker.drive) && isValidUtf8(picker.folder) && isValidUtf8(picker.pattern),
            "picker texts are UTF-8");
        for (const auto& file : picker.files) {
            kavlo::fuzz::require(isValidUtf8(file), "slot file names are UTF-8");
        }
    }
    kavlo::fuzz::require(isValidUtf8(setup.header.text), "the header text is UTF-8");
}

// Lines as the readers count them: CR LF, LF or a lone CR end one.
std::size_t lineCount(std::string_view bytes) {
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) {
            ++lines;
        }
    }
    return lines + (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r' ? 1 : 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kavlo;
    const auto bytes = fuzz::asBytes(data, size);
    const PageSetup base = sampleSetup("/samples/");

    const PageSetup parsed = parsePathFile(bytes, base);
    requireUtf8(parsed);
    // What the program writes it must read back as it was, but for a first line that starts
    // with U+FEFF, which reads back as a byte-order mark.
    const std::string written = formatPathFile(parsed);
    fuzz::require(written.starts_with(kBom) || parsePathFile(written, base) == parsed,
                  "a written path file reads back unchanged");

    const auto file = fuzz::scratchFolder().write(kPathFileName, bytes);
    // The file reader takes the encoding from the 31 lines it reads, the parser from all the
    // bytes; a file of a byte-order mark alone is one empty line to the reader, none to the
    // parser. They agree on every other file.
    const auto read = readPathFile(file, base);
    if (read && lineCount(bytes) <= 31 && !decodeText(bytes).utf8.empty()) {
        fuzz::require(*read == parsed, "the file reader parses as the parser does");
    }
    return 0;
}
