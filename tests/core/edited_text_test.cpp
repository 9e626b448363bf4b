#include "core/edited_text.h"
#include "core/text_decoding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "test_files.h"

namespace kavlo {
namespace {

std::string saved(const OpenedText& opened, std::string_view text) {
    const EncodedText encoded = encodeText(text, opened.layout);
    EXPECT_EQ(encoded.problem, "");
    return encoded.bytes;
}

TEST(EditedTextTest, UneditedTextComesBackByteForByte) {
    // Bytes, the text the editor shows, and the encoding.
    const std::tuple<std::string, std::string, TextEncoding> cases[] = {
        {"", "", TextEncoding::Utf8},
        {"\r\n", "", TextEncoding::Utf8},
        {"a\r\n\r\nb\r\n", "a\n\nb", TextEncoding::Utf8},
        {"a\r\nb\nc\rd\n\re", "a\nb\nc\nd\ne", TextEncoding::Utf8},
        {"a\r\r\n\n\r\rb\n\n", "a\n\n\n\nb\n", TextEncoding::Utf8},
        {"\uFEFF値\r\n", "値", TextEncoding::Utf8},
        {"a\xC2\xA0\tb\n", "a\xC2\xA0\tb", TextEncoding::Utf8},
        {"\x92\x6C\r\n\x83\x65\x83\x58\x83\x67\r\n", "値\nテスト", TextEncoding::Cp932},
        // NEC row 13 and IBM extension codes that also have other codes: kept as they were.
        {"\x87\x90\x81\xE0\n\xFA\x55\xEE\xFA\n", "≒≒\n￤￤", TextEncoding::Cp932}};
    for (const auto& [bytes, text, encoding] : cases) {
        const OpenedText opened = openText(bytes);
        EXPECT_EQ(std::tuple(opened.text, opened.layout.encoding, opened.readOnlyReason,
                             saved(opened, opened.text)),
                  std::tuple(text, encoding, std::string(), bytes))
            << testing::PrintToString(bytes);
    }
}

TEST(EditedTextTest, EditedLinesTakeTheFilesOwnLineEnds) {
    EXPECT_EQ(saved(openText("a\nb\n"), "a\nx\nb\nc"), "a\nx\nb\nc\n");
    EXPECT_EQ(saved(openText("a\rb\rc\n"), "a\nb\nc\nd"), "a\rb\rc\nd\r");
    EXPECT_EQ(saved(openText("one"), "one\ntwo"), "one\r\ntwo");
    EXPECT_EQ(saved(openText(""), "new\n"), "new\r\n");
    // An edited twin-code line is converted; the unedited one keeps its bytes.
    EXPECT_EQ(saved(openText("\x87\x90\n\x87\x90\n"), "≒\n≒x"), "\x87\x90\n\x81\xE0x\n");

    OpenedText lf = openText("a\nb\n");
    convertLineEndsToCrLf(lf.layout);
    EXPECT_EQ(saved(lf, lf.text + "\nc"), "a\r\nb\r\nc\r\n");
}

TEST(EditedTextTest, EditedMixedEndsReopenAsTheEditedLines) {
    // Line 2 inserted empty or emptied, in LF, CR and CP932 files; CR LF after a lone LF; U+FEFF
    // now first.
    const std::pair<std::string, std::string> cases[] = {
        {"a\nb\rc\n", "a\n\nb\nc"},    {"a\nb\rc\n", "a\n\nc"},       {"a\rb\nc\r", "a\n\nb\nc"},
        {"a\rb\n", "a\n\n\n\nb"},      {"\x82\xA0\nb\rc", "あ\n\nc"}, {"a\r\nb\n\rc", "a\n\n\nc"},
        {"a\nb\r\n\r\nc", "a\n\n\nc"}, {"a\r\uFEFFb", "\uFEFFb"}};
    for (const auto& [bytes, edited] : cases) {
        EXPECT_EQ(openText(saved(openText(bytes), edited)).text, edited) << bytes;
    }
}

TEST(EditedTextTest, EveryLineEndBecomesCrLf) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\rb\nc\n\rd\r\ne", "a\r\nb\r\nc\r\nd\r\ne"},
        {"", ""},
        {"\nabc\r", "\r\nabc\r\n"},
        {"a\r\n\r\nb\n\nc\r\rd", "a\r\n\r\nb\r\n\r\nc\r\n\r\nd"},
        {"a\n\r\nb", "a\r\n\r\nb"}};
    for (const auto& [raw, converted] : cases) {
        EXPECT_EQ(withCrLfLineEnds(raw), converted) << raw;
    }
}

TEST(EditedTextTest, TextThatCannotBeSavedAsItWasSaysWhy) {
    const EncodedText emoji = encodeText("値\nb\nc😀d", openText("\x92\x6C\r\n").layout);
    EXPECT_EQ(emoji.bytes, "");
    EXPECT_EQ(emoji.problem,
              "3 行目の文字「😀」はこのファイルの文字コード (CP932) では保存できません。"
              "保存しませんでした。");
    EXPECT_NE(openText(std::string("a\0b", 3)).readOnlyReason, "");
    const OpenedText binary = openText("\xFF\xFF\x80\r\n");
    EXPECT_NE(binary.readOnlyReason, "");
    EXPECT_EQ(binary.lineCount, 1u);
}

TEST(EditedTextTest, FilesThatCannotBeOpened) {
    const test::TempDir dir;
    EXPECT_EQ(openTextFile(dir.path() / "none.dat").access, FileAccess::Missing);
    EXPECT_EQ(openTextFile(dir.path()).access, FileAccess::NotRegular);
    const auto big = dir.path() / "big.dat";
    std::ofstream(big).put('a');
    std::filesystem::resize_file(big, kEditedTextMaxBytes + 1);
    EXPECT_EQ(openTextFile(big).access, FileAccess::TooLarge);
    std::filesystem::resize_file(big, 3);
    EXPECT_EQ(openTextFile(big).text, std::string("a\0\0", 3));
}

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

// UTF-8 is kept with only a leading mark stripped; anything else is CP932.
TEST(TextDecodingTest, Utf8IsKeptAndAnythingElseIsCp932) {
    const std::tuple<std::string_view, std::string_view, TextEncoding> cases[] = {
        {"ABC 1.5\r\n", "ABC 1.5\r\n", TextEncoding::Utf8},
        {"\xEF\xBB\xBF軸ラベル\n", "軸ラベル\n", TextEncoding::Utf8},
        {"a\xEF\xBB\xBF", "a\xEF\xBB\xBF", TextEncoding::Utf8},
        {"\x93\xFA\x96\x7B\x8C\xEA", "日本語", TextEncoding::Cp932},
        {"\x81\x60", "\xEF\xBD\x9E", TextEncoding::Cp932},  // U+FF5E, not the wave dash
        {"Z\x8E\xB2=\xBD\xCC\xDF\xD7\xB2\xDD", "Z軸=ｽﾌﾟﾗｲﾝ", TextEncoding::Cp932},
        {"\x83\x5C\x5C", "ソ\\", TextEncoding::Cp932},  // the trail byte of ソ is a backslash
        {"\x93\xFA\xFF\x96\x7B", "日\uFFFD本", TextEncoding::Cp932},
        {"A\x81 B", "A\uFFFD B", TextEncoding::Cp932},  // a blank is no trail byte
        {"ABC\x81", "ABC\uFFFD", TextEncoding::Cp932}};
    for (const auto& [bytes, text, encoding] : cases) {
        const DecodedText d = decodeText(bytes);
        EXPECT_EQ(std::tuple(d.utf8, d.encoding, d.hadBom),
                  std::tuple(std::string(text), encoding,
                             text.size() != bytes.size() && encoding == TextEncoding::Utf8));
        if (encoding == TextEncoding::Cp932) {
            EXPECT_EQ(cp932ToUtf8(bytes), text);
        }
    }
}

}  // namespace
}  // namespace kavlo
