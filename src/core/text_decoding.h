#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kavlo {

enum class TextEncoding { Utf8, Cp932 };

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct DecodedText {
    std::string utf8;
    TextEncoding encoding = TextEncoding::Utf8;
    bool hadBom = false;
};

bool isValidUtf8(std::string_view bytes);

// Files written on Windows are CP932; files made here are UTF-8. Valid UTF-8 (with or
// without a byte-order mark) is taken as UTF-8, anything else as CP932. Bytes that are not
// CP932 either become U+FFFD rather than failing the whole file.
DecodedText decodeText(std::string_view bytes);

std::string cp932ToUtf8(std::string_view bytes);

// Nothing when `bytes` are not CP932 throughout.
std::optional<std::string> cp932ToUtf8Strictly(std::string_view bytes);

// The CP932 bytes of UTF-8 text; nothing when a character has none, with `failedAt` set to
// that character's offset in `utf8`.
std::optional<std::string> utf8ToCp932(std::string_view utf8, std::size_t* failedAt = nullptr);

}  // namespace kavlo
