// The checker's text on any bytes after the first two, which choose an edit and the line it
// touches: an opened text saves back byte for byte, and an edited one reopens as the lines the
// user left.
#include <algorithm>
#include <string>
#include <vector>

#include "core/edited_text.h"
#include "fuzz_target.h"
#include "invariant.h"

namespace {

enum class Edit { InsertEmpty, Remove, Replace, Append, Split, CrLf, Count };

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', start)) {
        lines.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += (i > 0 ? "\n" : "") + lines[i];
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kavlo;
    if (size < 2) {
        return 0;
    }
    const auto edit = static_cast<Edit>(data[0] % static_cast<unsigned>(Edit::Count));
    const auto bytes = fuzz::asBytes(data + 2, size - 2);

    OpenedText opened = openText(bytes);
    if (!opened.readOnlyReason.empty()) {
        return 0;
    }
    const EncodedText unedited = encodeText(opened.text, opened.layout);
    fuzz::require(unedited.problem.empty() && unedited.bytes == bytes,
                  "an unedited text saves byte for byte");

    std::vector<std::string> lines = linesOf(opened.text);
    const std::size_t at = data[1] % lines.size();
    TextLayout layout = opened.layout;
    switch (edit) {
        case Edit::InsertEmpty:
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), "");
            break;
        case Edit::Remove:
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
            break;
        case Edit::Replace:
            lines[at] = "";
            break;
        case Edit::Append:
            lines.push_back("");
            break;
        case Edit::Split:
            lines[at] += "\n";
            break;
        case Edit::CrLf:
            convertLineEndsToCrLf(layout);
            break;
        case Edit::Count:
            break;
    }
    const std::string edited = joined(lines);
    const EncodedText saved = encodeText(edited, layout);
    if (!saved.problem.empty()) {
        return 0;
    }
    // Files carry no mark of CP932: CP932 bytes that happen to be valid UTF-8 (pairs of
    // half-width katakana, say) read back as UTF-8, as any reader of the file would take them.
    if (opened.layout.encoding == TextEncoding::Cp932 && isValidUtf8(saved.bytes)) {
        return 0;
    }
    const OpenedText reopened = openText(saved.bytes);
    // In a file without a final line end, an empty last line typed after the text becomes that
    // line end: the only change reopening may show.
    const bool becameFinalEnd =
        !layout.finalLineEnd && edited.ends_with('\n') && reopened.text + "\n" == edited;
    fuzz::require(reopened.text == edited || becameFinalEnd,
                  "an edited text reopens as it was left");
    // Plain ASCII reads as UTF-8 and is the same bytes in either encoding.
    const bool ascii = std::all_of(saved.bytes.begin(), saved.bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    fuzz::require(reopened.layout.encoding == opened.layout.encoding || ascii,
                  "the encoding is kept");
    // The layout the save hands on writes the same bytes again.
    fuzz::require(encodeText(edited, saved.layout).bytes == saved.bytes,
                  "a second save writes the same bytes");
    return 0;
}
