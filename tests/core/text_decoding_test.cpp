#include "core/text_decoding.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

namespace kavlo {
namespace {

TEST(TextDecodingTest, OnlyWellFormedUtf8IsUtf8) {
    // Both ends of the surrogate gap, and the top of the code space.
    for (const std::string_view valid :
         {"\xF0\x9F\x98\x80", "\xED\x9F\xBF", "\xEE\x80\x80", "\xF4\x8F\xBF\xBF"}) {
        EXPECT_TRUE(isValidUtf8(valid)) << testing::PrintToString(std::string(valid));
    }
    // Overlong, surrogate, past U+10FFFF, lone or truncated continuations, and CP932 "日本語".
    for (const std::string_view invalid :
         {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xE8\xBB",
          "\xE8\xBB\x41", "\x93\xFA\x96\x7B\x8C\xEA"}) {
        EXPECT_FALSE(isValidUtf8(invalid)) << testing::PrintToString(std::string(invalid));
    }
}

TEST(TextDecodingTest, Utf8IsKeptAndOnlyALeadingMarkStripped) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"ABC 1.5\r\n", "ABC 1.5\r\n"},
        {"軸ラベル", "軸ラベル"},
        {"\xEF\xBB\xBF軸ラベル\n", "軸ラベル\n"},
        {"a\xEF\xBB\xBF", "a\xEF\xBB\xBF"}};
    for (const auto& [bytes, text] : cases) {
        const DecodedText d = decodeText(bytes);
        EXPECT_EQ(d.utf8, text);
        EXPECT_EQ(d.encoding, TextEncoding::Utf8);
        EXPECT_EQ(d.hadBom, text.size() != bytes.size());
    }
}

TEST(TextDecodingTest, AnythingElseIsCp932) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"\x93\xFA\x96\x7B\x8C\xEA", "日本語"},
        {"\x81\x60", "\xEF\xBD\x9E"},  // U+FF5E fullwidth tilde, not the wave dash
        {"\x87\x40", "①"},
        {"Z\x8E\xB2=\xBD\xCC\xDF\xD7\xB2\xDD", "Z軸=ｽﾌﾟﾗｲﾝ"},
        {"\x83\x5C\x5C", "ソ\\"},  // the trail byte of ソ is the backslash code
        {"\x93\xFA\xFF\x96\x7B", "日\uFFFD本"},
        {"A\x81 B", "A\uFFFD B"},  // a blank is no trail byte
        {"ABC\x81", "ABC\uFFFD"}};
    for (const auto& [bytes, text] : cases) {
        const DecodedText d = decodeText(bytes);
        EXPECT_EQ(d.utf8, text);
        EXPECT_EQ(d.encoding, TextEncoding::Cp932);
        EXPECT_EQ(cp932ToUtf8(bytes), text);
    }
}

}  // namespace
}  // namespace kavlo
