#include "value_line.h"

namespace kavlo {
namespace {

// A carriage return counts as a blank so that CR LF and old CR-only files read alike.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

void ValueLine::skipBlanks() {
    while (!atEnd() && isBlank(line_[pos_])) {
        ++pos_;
    }
}

// After a value: blanks, then at most one comma that belongs to it.
void ValueLine::skipSeparator() {
    skipBlanks();
    if (!atEnd() && line_[pos_] == ',') {
        ++pos_;
    }
}

ValueLine::Field ValueLine::nextToken() {
    skipBlanks();
    if (atEnd()) {
        return {Kind::EndOfLine, {}};
    }
    if (line_[pos_] == ',') {
        ++pos_;
        return {Kind::Empty, {}};
    }
    const std::size_t start = pos_;
    while (!atEnd() && !isBlank(line_[pos_]) && line_[pos_] != ',') {
        ++pos_;
    }
    const Field field{Kind::Value, line_.substr(start, pos_ - start)};
    skipSeparator();
    return field;
}

std::string ValueLine::nextText() {
    skipBlanks();
    if (atEnd()) {
        return {};
    }
    if (line_[pos_] == '"') {
        const std::size_t start = ++pos_;
        const std::size_t close = line_.find('"', start);
        const std::size_t end = close == std::string_view::npos ? line_.size() : close;
        pos_ = end;
        std::string text(line_.substr(start, end - start));
        if (!atEnd()) {
            ++pos_;  // the closing quote
        }
        // Whatever follows the quotes up to the next comma belongs to no value.
        while (!atEnd() && line_[pos_] != ',') {
            ++pos_;
        }
        if (!atEnd()) {
            ++pos_;
        }
        return text;
    }
    const std::size_t start = pos_;
    while (!atEnd() && line_[pos_] != ',') {
        ++pos_;
    }
    std::size_t end = pos_;
    while (end > start && isBlank(line_[end - 1])) {
        --end;
    }
    if (!atEnd()) {
        ++pos_;
    }
    return std::string(line_.substr(start, end - start));
}

}  // namespace kavlo
