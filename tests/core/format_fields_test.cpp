#include "core/format_fields.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/decimal_number.h"
#include "core/format_reader.h"
#include "core/slot_titles.h"
#include "core/text_file.h"
#include "core/value_line.h"
#include "test_files.h"

namespace kavlo {
namespace {

// A valid file whose every value can be changed alone to the test's value without a correction.
test::FormatLines roomyLines() {
    return {.tilt = "30, 30, 1, 2, 1", .zLabels = "3, 2, 0, 9"};
}

// A value the reader takes for `field`, other than the one roomyLines() holds.
std::string acceptedValue(const FormatField& field) {
    switch (field.kind) {
        case FieldKind::Single:
            return shortestSingleText(0.1f);
        case FieldKind::Integer:
            return std::to_string(static_cast<int>(std::min(field.minimum + 3, field.maximum)));
        case FieldKind::Choice:
            return std::to_string(field.choices.back().value);
        case FieldKind::Text:
            return "a, b";
    }
    return {};
}

std::string valueOf(const FormatSettings& g, const FormatField& field) {
    return std::visit(
        [&](auto member) -> std::string {
            const auto& value = g.*member;
            if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::string>) {
                return value;
            } else if constexpr (std::is_same_v<std::decay_t<decltype(value)>, float>) {
                return shortestSingleText(value);
            } else {
                return std::to_string(value);
            }
        },
        field.member);
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
}

// Each field changed alone in the text, through its table place, reads back as written and
// moves no other value.
TEST(FormatFieldsTest, EachFieldsPlaceHoldsItsValueForTheReader) {
    const auto lines = splitLines(roomyLines().text());
    RecordedMessages none;
    const auto before = readFormatText(1, joined(lines), none);
    ASSERT_EQ(before.outcome, FormatReadOutcome::Read);
    ASSERT_TRUE(none.messages.empty());
    for (const FormatField& field : formatFields()) {
        SCOPED_TRACE(field.name);
        auto changed = lines;
        auto& line = changed.at(static_cast<std::size_t>(field.line - 1));
        const auto edited =
            replaceValue(line, field.position, field.kind == FieldKind::Text, acceptedValue(field));
        ASSERT_TRUE(edited);
        line = *edited;
        RecordedMessages messages;
        const auto read = readFormatText(1, joined(changed), messages);
        ASSERT_EQ(read.outcome, FormatReadOutcome::Read);
        EXPECT_TRUE(messages.messages.empty());
        EXPECT_EQ(valueOf(read.settings, field), acceptedValue(field));
        EXPECT_NE(valueOf(before.settings, field), acceptedValue(field));
        for (const FormatField& other : formatFields()) {
            if (other.name != field.name) {
                EXPECT_EQ(valueOf(read.settings, other), valueOf(before.settings, other))
                    << other.name;
            }
        }
    }
}

// Read from text, a file gives the same values and the same messages as read from disk.
TEST(FormatFieldsTest, TextReadsAsTheFileDoes) {
    const std::string texts[] = {
        roomyLines().text(),
        test::FormatLines{.frame = "100, 80, 60, 10, 5, 3, 9", .tilt = "95, 30, 0, -1, 0"}.text(),
        test::FormatLines{.xLabels = "3, 7, 5, 2", .zLabels = "3, 1, 1e9, 0"}.text("\n"),
        test::FormatLines{.yLabels = "3, x, 0, 8"}.text(),
        "1\n2\n3\n100, 80\n",
    };
    for (const auto& text : texts) {
        SCOPED_TRACE(text);
        test::TempDir dir;
        RecordedMessages fromFile;
        RecordedMessages fromText;
        const auto file = readFormatFile(2, dir.write("f.dat", text), fromFile, {});
        const auto read = readFormatText(2, text, fromText);
        EXPECT_EQ(read.outcome, file.outcome);
        EXPECT_EQ(fromText.messages, fromFile.messages);
        EXPECT_FALSE(fromText.messages.empty() && read.outcome != FormatReadOutcome::Read);
        for (const FormatField& field : formatFields()) {
            EXPECT_EQ(valueOf(read.settings, field), valueOf(file.settings, field)) << field.name;
        }
    }
}

TEST(ValueLineTest, ReplacesOneValueKeepingEveryOtherByte) {
    const struct {
        const char* line;
        int position;
        bool isText;
        const char* value;
        std::optional<std::string> expected;
    } cases[] = {
        {"100\t80  60,10 , 5", 1, false, "7.5", "100\t7.5  60,10 , 5"},
        {"100\t80  60,10 , 5", 3, false, "1e3", "100\t80  60,1e3 , 5"},
        {"100\t80  60,10 , 5", 4, false, "-2", "100\t80  60,10 , -2"},
        {" 1,,3", 1, false, "2", " 1,2,3"},
        {"1, 2", 2, false, "3", std::nullopt},
        {"4.5, X axis  ", 1, true, "Y", "4.5, Y  "},
        {"4.5, X axis", 1, true, "x, in m", "4.5, \"x, in m\""},
        {"4.5, \"x, in m\" junk, more", 1, true, "y", "4.5, \"y\" junk, more"},
        {"4.5, \"x\"", 1, true, "say \"a\"", std::nullopt},
        {"4.5, X", 1, true, " pad", "4.5, \" pad\""},
        {"4.5, X", 1, true, "", "4.5, "},
        {"4.5", 1, true, "T", "4.5, T"},
        {"4.5,", 1, true, "T", "4.5,T"},
        {"4.5, X", 0, false, "6", "6, X"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(replaceValue(c.line, c.position, c.isText, c.value), c.expected) << c.value;
    }
}

TEST(DecimalNumberTest, ShortestSingleTextReadsBackExactly) {
    const struct {
        float value;
        const char* expected;
    } cases[] = {
        {0.1f, "0.1"},
        {100, "100"},
        {-2.5f, "-2.5"},
        {1.0f / 3, "0.33333334"},
        {1e10f, "1e+10"},
        {16777216, "16777216"},
        {1e-7f, "1e-07"},
        {0, "0"},
        // The shortest float text reads through double as beyond the largest float.
        {3.4028235e38f, "3.40282347e+38"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shortestSingleText(c.value), c.expected);
    }
    for (float v = 1e-6f; v < 1e7f; v *= 1.37f) {
        const std::string text = shortestSingleText(v);
        EXPECT_EQ(parseSingle(text), v) << text;
    }
}

}  // namespace
}  // namespace kavlo
