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

ValueLine::TextSpan ValueLine::nextTextSpan() {
    skipBlanks();
    if (atEnd()) {
        return {pos_, pos_, false};
    }
    if (line_[pos_] == '"') {
        const std::size_t quote = pos_;
        const std::size_t close = line_.find('"', quote + 1);
        const std::size_t end = close == std::string_view::npos ? line_.size() : close + 1;
        pos_ = end;
        // Whatever follows the quotes up to the next comma belongs to no value.
        while (!atEnd() && line_[pos_] != ',') {
            ++pos_;
        }
        if (!atEnd()) {
            ++pos_;
        }
        return {quote, end, true};
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
    return {start, end, false};
}

std::string ValueLine::nextText() {
    const TextSpan span = nextTextSpan();
    if (!span.quoted) {
        return std::string(line_.substr(span.start, span.end - span.start));
    }
    const std::size_t inner = span.start + 1;
    const bool closed = span.end > inner && line_[span.end - 1] == '"';
    return std::string(line_.substr(inner, span.end - inner - (closed ? 1 : 0)));
}

namespace {

// How a text value is written so that it reads back as `text`, or nothing when no writing can.
std::optional<std::string> textAsWritten(std::string_view text, bool quoted) {
    const bool needsQuotes =
        text.find(',') != std::string_view::npos ||
        (!text.empty() && (isBlank(text.front()) || isBlank(text.back()) || text.front() == '"'));
    if (!quoted && !needsQuotes) {
        return std::string(text);
    }
    if (text.find('"') != std::string_view::npos) {
        return std::nullopt;
    }
    return "\"" + std::string(text) + "\"";
}

}  // namespace

std::optional<std::string> replaceValue(std::string_view line, int position, bool isText,
                                        std::string_view value) {
    ValueLine reader(line);
    for (int i = 0; i < position; ++i) {
        if (reader.nextToken().kind == ValueLine::Kind::EndOfLine) {
            return std::nullopt;
        }
    }
    std::string out(line);
    if (isText) {
        const std::size_t before = reader.offset();
        const auto span = reader.nextTextSpan();
        auto written = textAsWritten(value, span.quoted);
        if (!written) {
            return std::nullopt;
        }
        // A line that ends before its text gets a comma to hold one.
        if (span.start == line.size() && span.start == span.end && !written->empty()) {
            const auto kept = line.substr(0, before).find_last_not_of(" \t\r");
            if (kept == std::string_view::npos || line[kept] != ',') {
                written->insert(0, ", ");
            }
        }
        return out.replace(span.start, span.end - span.start, *written);
    }
    const auto field = reader.nextToken();
    if (field.kind == ValueLine::Kind::EndOfLine) {
        return std::nullopt;
    }
    if (field.kind == ValueLine::Kind::Empty) {
        return out.insert(reader.offset() - 1, value);
    }
    const auto start = static_cast<std::size_t>(field.text.data() - line.data());
    return out.replace(start, field.text.size(), value);
}

}  // namespace kavlo
