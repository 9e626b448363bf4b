#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kavlo {

// Reads the values of one line of a data file, left to right. Values are separated by commas;
// numbers also by blanks and tabs, and blanks around any value are ignored. A comma at the end
// of a line (as spreadsheets write) ends the line; two commas in a row hold an empty value.
class ValueLine {
  public:
    enum class Kind { Value, Empty, EndOfLine };
    struct Field {
        Kind kind = Kind::EndOfLine;
        std::string_view text;
    };

    explicit ValueLine(std::string_view line) : line_(line) {}

    // The next number-like token: it ends at a blank, a tab, a comma or the end of the line.
    Field nextToken();

    // The next text value: up to a comma or the end of the line, or in double quotes, which may
    // hold commas. A line with no text left gives an empty text.
    std::string nextText();

    // Where the next text value stands: its bytes from start to end (with its quotes when
    // quoted, without the blanks around it).
    struct TextSpan {
        std::size_t start = 0;
        std::size_t end = 0;
        bool quoted = false;
    };
    TextSpan nextTextSpan();

    // Bytes read so far.
    std::size_t offset() const { return pos_; }

  private:
    void skipBlanks();
    void skipSeparator();
    bool atEnd() const { return pos_ >= line_.size(); }

    std::string_view line_;
    std::size_t pos_ = 0;
};

// `line` with value `position` (0-based; a text value when `isText`, read after `position`
// numbers) replaced by `value`, every other byte kept; a text is quoted when it needs quotes or
// was quoted. Nothing when the line has no such value or the text cannot be written.
std::optional<std::string> replaceValue(std::string_view line, int position, bool isText,
                                        std::string_view value);

}  // namespace kavlo
