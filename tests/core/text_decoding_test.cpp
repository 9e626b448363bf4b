#include "core/text_decoding.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace kavlo {
namespace {

constexpr std::string_view kFffd = "\xEF\xBF\xBD";

TEST(TextDecodingTest, Utf8Validity) {
    const struct {
        std::string_view bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"XWD=100, FXD=30", true},
        {"軸ラベル", true},
        {"\xF0\x9F\x98\x80", true},  // U+1F600
        {"\xED\x9F\xBF", true},      // U+D7FF, last before the surrogates
        {"\xEE\x80\x80", true},      // U+E000, first after
        {"\xF4\x8F\xBF\xBF", true},  // U+10FFFF
        {"\xC0\xAF", false},         // overlong '/'
        {"\xE0\x80\xAF", false},
        {"\xF0\x80\x80\xAF", false},
        {"\xED\xA0\x80", false},  // surrogate
        {"\xED\xBF\xBF", false},
        {"\xF4\x90\x80\x80", false},  // past U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\x80", false},      // lone continuation
        {"\xE8\xBB", false},  // truncated at the end
        {"\xE8\xBB\x41", false},
        {"\xFF", false},
        {"\x93\xFA\x96\x7B\x8C\xEA", false},  // CP932 "日本語"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << testing::PrintToString(std::string(c.bytes));
    }
}

TEST(TextDecodingTest, Utf8IsKeptAndItsMarkStripped) {
    const struct {
        std::string_view bytes;
        std::string_view text;
        bool bom;
    } cases[] = {
        {"", "", false},
        {"ABC 1.5\r\n", "ABC 1.5\r\n", false},
        {"軸ラベル", "軸ラベル", false},
        {"\xEF\xBB\xBF", "", true},
        {"\xEF\xBB\xBF軸ラベル\n", "軸ラベル\n", true},
        // Only a leading mark is a mark.
        {"a\xEF\xBB\xBF", "a\xEF\xBB\xBF", false},
    };
    for (const auto& c : cases) {
        const DecodedText d = decodeText(c.bytes);
        EXPECT_EQ(d.utf8, c.text);
        EXPECT_EQ(d.encoding, TextEncoding::Utf8);
        EXPECT_EQ(d.hadBom, c.bom);
    }
}

TEST(TextDecodingTest, Cp932CharactersDecode) {
    const struct {
        std::string_view bytes;
        std::string_view text;
    } cases[] = {
        {"\x93\xFA\x96\x7B\x8C\xEA", "日本語"},
        {"\x81\x60", "\xEF\xBD\x9E"},  // U+FF5E fullwidth tilde, not the wave dash
        {"\x81\x7C", "\xEF\xBC\x8D"},  // U+FF0D fullwidth hyphen-minus
        {"\x87\x40", "①"},             // NEC extension
        {"\xB1", "ｱ"},
        {"\xBD\xCC\xDF\xD7\xB2\xDD", "ｽﾌﾟﾗｲﾝ"},
        {"\x95\x5C", "表"},  // trail byte is the backslash code
        {"\x83\x5C\x5C", "ソ\\"},
        {"Z\x8E\xB2=1.5\r\n", "Z軸=1.5\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cp932ToUtf8(c.bytes), c.text);
        const DecodedText d = decodeText(c.bytes);
        EXPECT_EQ(d.encoding, TextEncoding::Cp932);
        EXPECT_EQ(d.utf8, c.text);
        EXPECT_FALSE(d.hadBom);
    }
}

TEST(TextDecodingTest, InvalidCp932BytesBecomeReplacementCharacters) {
    const struct {
        std::string_view bytes;
        std::string text;
    } cases[] = {
        {"ABC\x81", "ABC" + std::string(kFffd)},
        {"\x93\xFA\xFF\x96\x7B", "日" + std::string(kFffd) + "本"},
        {"A\x81 B", "A" + std::string(kFffd) + " B"},  // a blank is no trail byte
        {"\xFF\xFF\x8C\xEA", std::string(kFffd) + std::string(kFffd) + "語"},
    };
    for (const auto& c : cases) {
        const DecodedText d = decodeText(c.bytes);
        EXPECT_EQ(d.encoding, TextEncoding::Cp932);
        EXPECT_EQ(d.utf8, c.text);
        EXPECT_TRUE(isValidUtf8(d.utf8));
    }
}

}  // namespace
}  // namespace kavlo
