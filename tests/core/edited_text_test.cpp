#include "core/edited_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "test_files.h"

namespace kavlo {
namespace {

std::string saved(const OpenedText& opened, std::string_view text) {
    const EncodedText encoded = encodeText(text, opened.layout);
    EXPECT_EQ(encoded.problem, "");
    return encoded.bytes;
}

struct RoundTrip {
    const char* name;
    std::string bytes;
    std::string text;  // as the editor shows it
    TextEncoding encoding;
};

TEST(EditedTextTest, UneditedTextComesBackByteForByte) {
    const RoundTrip cases[] = {
        {"empty", "", "", TextEncoding::Utf8},
        {"one line end", "\r\n", "", TextEncoding::Utf8},
        {"crlf", "a\r\n\r\nb\r\n", "a\n\nb", TextEncoding::Utf8},
        {"lf, no final end", "a\nb", "a\nb", TextEncoding::Utf8},
        {"cr", "a\rb\r\r", "a\nb\n", TextEncoding::Utf8},
        {"mixed", "a\r\nb\nc\rd\n\re", "a\nb\nc\nd\ne", TextEncoding::Utf8},
        {"mixed, empty lines", "a\r\r\n\n\r\rb\n\n", "a\n\n\n\nb\n", TextEncoding::Utf8},
        {"bom",
         "\xEF\xBB\xBF"
         "値\r\n",
         "値", TextEncoding::Utf8},
        {"nbsp and tab", "a\xC2\xA0\tb\n", "a\xC2\xA0\tb", TextEncoding::Utf8},
        {"cp932", "\x92\x6C\r\n\x83\x65\x83\x58\x83\x67\r\n", "値\nテスト", TextEncoding::Cp932},
        // NEC row 13 and IBM extension codes that also have other codes: kept as they were.
        {"cp932 twin codes", "\x87\x90\x81\xE0\n\xFA\x55\xEE\xFA\n", "≒≒\n￤￤",
         TextEncoding::Cp932},
    };
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(c.name);
        const OpenedText opened = openText(c.bytes);
        EXPECT_EQ(opened.text, c.text);
        EXPECT_EQ(opened.layout.encoding, c.encoding);
        EXPECT_EQ(opened.readOnlyReason, "");
        EXPECT_EQ(saved(opened, opened.text), c.bytes);
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
    const std::pair<std::string, std::string> cases[] = {
        {"a\nb\rc\n", "a\n\nb\nc"},  // an empty line inserted as line 2
        {"a\nb\rc\n", "a\n\nc"},     // line 2 emptied
        {"a\rb\nc\r", "a\n\nb\nc"},
        {"a\rb\n", "a\n\n\n\nb"},
        {"\x82\xA0\nb\rc", "あ\n\nc"},  // CP932
        {"a\r\nb\n\rc", "a\n\n\nc"},
        {"a\nb\r\n\r\nc", "a\n\n\nc"},  // CR LF after a lone LF
        {"a\r\xEF\xBB\xBF"
         "b",
         "\xEF\xBB\xBF"
         "b"},  // U+FEFF now first
    };
    for (const auto& [bytes, edited] : cases) {
        EXPECT_EQ(openText(saved(openText(bytes), edited)).text, edited) << bytes;
    }
}

TEST(EditedTextTest, EveryLineEndBecomesCrLf) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\rb\nc\n\rd\r\ne", "a\r\nb\r\nc\r\nd\r\ne"},
        {"", ""},
        {"abc", "abc"},
        {"\nabc\r", "\r\nabc\r\n"},
        {"a\r\n\r\nb\n\nc\r\rd", "a\r\n\r\nb\r\n\r\nc\r\n\r\nd"},
        {"a\n\r\nb", "a\r\n\r\nb"},
    };
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

TEST(EditedTextTest, KeepsTheFirstLinesOnly) {
    std::string bytes;
    for (int k = 1; k <= 10001; ++k) {
        bytes += std::to_string(k) + "\r\n";
    }
    OpenedText opened = openText(bytes);
    EXPECT_EQ(opened.lineCount, 10001u);
    EXPECT_TRUE(keepFirstLines(opened, 10000));
    EXPECT_EQ(opened.lineCount, 10000u);
    EXPECT_EQ(saved(opened, opened.text), bytes.substr(0, bytes.size() - 7));
    EXPECT_FALSE(keepFirstLines(opened, 10000));
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

}  // namespace
}  // namespace kavlo
