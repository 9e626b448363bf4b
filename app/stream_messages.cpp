#include "stream_messages.h"

#include <cstdio>

#include "core/text_decoding.h"

namespace kavlo {
namespace {

std::size_t sequenceLength(unsigned char lead) {
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

void appendEscape(std::string& out, const char* format, unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, format, value);
    out += buffer;
}

}  // namespace

std::string terminalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t k = 0; k < text.size();) {
        const auto lead = static_cast<unsigned char>(text[k]);
        const std::string_view sequence = text.substr(k, sequenceLength(lead));
        if (!isValidUtf8(sequence)) {
            appendEscape(out, "\\x%02x", lead);
            ++k;
            continue;
        }
        // Lines and columns are the messages' own layout.
        if ((lead < 0x20 && lead != '\n' && lead != '\t') || lead == 0x7F) {
            appendEscape(out, "\\x%02x", lead);
        } else if (lead == 0xC2 && static_cast<unsigned char>(sequence[1]) < 0xA0) {
            appendEscape(out, "\\u%04x", static_cast<unsigned char>(sequence[1]));
        } else {
            out += sequence;
        }
        k += sequence.size();
    }
    return out;
}

}  // namespace kavlo
