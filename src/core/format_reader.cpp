#include "format_reader.h"

#include <array>
#include <cmath>
#include <optional>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "bounded_file.h"
#include "decimal_number.h"
#include "format_fields.h"
#include "slot_titles.h"
#include "text_decoding.h"
#include "text_file.h"
#include "value_line.h"

namespace kavlo {
namespace {

constexpr std::size_t kFormatLines = 20;

struct FontPair {
    const char* label;
    const char* comment;
};

constexpr std::array<FontPair, 8> kFonts{{
    {"ＭＳ Ｐ明朝", "ＭＳ 明朝"},
    {"ＭＳ Ｐ明朝", "ＭＳ Ｐ明朝"},
    {"ＭＳ Ｐゴシック", "ＭＳ ゴシック"},
    {"ＭＳ Ｐゴシック", "ＭＳ Ｐゴシック"},
    {"Times New Roman", "Courier New"},
    {"Times New Roman", "Times New Roman"},
    {"Arial", "Courier New"},
    {"Arial", "Arial"},
}};

// Reads the value lines of one format file and reports what is wrong with them; a read that
// fails has shown its message and leaves `ok` false for the rest of the file.
class FormatFile {
  public:
    FormatFile(std::vector<std::string> lines, std::string title, MessageSink& messages)
        : lines_(std::move(lines)), title_(std::move(title)), messages_(messages) {}

    bool ok() const { return ok_; }

    // Starts reading line `number` (1-based).
    void line(int number) {
        lineNumber_ = number;
        if (!ok_) {
            return;
        }
        if (static_cast<std::size_t>(number) > lines_.size()) {
            fail(std::to_string(number) +
                 " 行目がありません。フォーマットデータは 20 行で書いて下さい。描画を中断します。");
            return;
        }
        reader_.emplace(lines_[static_cast<std::size_t>(number) - 1]);
    }

    void single(const char* name, float& out) {
        if (const auto token = this->token(name)) {
            if (const auto value = parseSingle(*token)) {
                out = *value;
            } else {
                notANumber(name);
            }
        }
    }

    void integer(const char* name, std::int16_t& out) {
        const auto token = this->token(name);
        if (!token) {
            return;
        }
        const auto value = parseDecimal(*token);
        if (!value) {
            notANumber(name);
        } else if (const auto narrow = parseInt16(*token)) {
            out = *narrow;
        } else {
            fail(std::to_string(lineNumber_) + " 行目の " + name +
                 " は -32768 から 32767 までの整数にして下さい。描画を中断します。");
        }
    }

    void text(std::string& out) {
        if (ok_) {
            out = reader_->nextText();
        }
    }

    void say(std::string_view text) { messages_.show({title_, std::string(text)}); }

  private:
    std::optional<std::string_view> token(const char* name) {
        if (!ok_) {
            return std::nullopt;
        }
        const auto field = reader_->nextToken();
        if (field.kind != ValueLine::Kind::Value) {
            notANumber(name);
            return std::nullopt;
        }
        return field.text;
    }

    void notANumber(const char* name) {
        fail(std::to_string(lineNumber_) + " 行目の " + name +
             " が数値として読めません。ファイルを見直して下さい。描画を中断します。");
    }

    void fail(const std::string& text) {
        say(text);
        ok_ = false;
    }

    std::vector<std::string> lines_;
    std::string title_;
    MessageSink& messages_;
    std::optional<ValueLine> reader_;
    int lineNumber_ = 0;
    bool ok_ = true;
};

// The largest label magnitude for a decimal count: seven digit places in all.
float labelLimit(std::int16_t decimals) {
    return static_cast<float>(std::pow(10.0, 7 - decimals));
}

bool withinLimit(float value, float limit) {
    return -limit < value && value < limit;
}

void checkDecimals(FormatFile& file, const char* name, std::int16_t& decimals) {
    if (!acceptsValue(formatField(name), decimals)) {
        file.say(std::string(name) + " は 0 から 6 までの整数から選んで下さい。" + name +
                 "=0 として描画を継続します。");
        decimals = 0;
    }
}

// x and y numeric labels: an inverted range is exchanged; a value with too many digits hides
// the labels.
void checkAxisLabels(FormatFile& file, char axis, std::int16_t& decimals, float& low, float& high) {
    const std::string nd = std::string(1, axis) + "ND";
    const std::string mn = std::string(1, axis) + "MN";
    const std::string mx = std::string(1, axis) + "MX";
    checkDecimals(file, nd.c_str(), decimals);
    if (low >= high) {
        std::swap(low, high);
    }
    // The x message words its joint unlike the y one; users' scripts match both word for word.
    const std::string joint = axis == 'X' ? " は の整数部は (7-" : " の整数部は (7-";
    const float limit = labelLimit(decimals);
    const std::string tail = nd + ") 桁以下の数字にして下さい。非表示にして描画を継続します。";
    if (!withinLimit(low, limit)) {
        file.say(mn + joint + tail);
        low = high;
    }
    if (!withinLimit(high, limit)) {
        file.say(mx + joint + tail);
        high = low;
    }
}

// z numeric labels: an unusable range falls back to the data's own range.
void checkZLabels(FormatFile& file, FormatSettings& g) {
    checkDecimals(file, "ZND", g.ZND);
    if (g.ZMN > g.ZMX) {
        file.say("ZMN は ZMX 以下に設定して下さい。zmn, zmx を自動検出して描画を継続します。");
        g.ZMN = g.ZMX;
    }
    if (g.ZMN < g.ZMX) {
        const float limit = labelLimit(g.ZND);
        const std::string tail =
            " の整数部は (7-ZND) 桁以下の数字にして下さい。zmn, zmx "
            "を自動検出して描画を継続します。";
        if (!withinLimit(g.ZMN, limit)) {
            file.say("ZMN" + tail);
            g.ZMN = g.ZMX;
        }
        if (!withinLimit(g.ZMX, limit)) {
            file.say("ZMX" + tail);
            g.ZMX = g.ZMN;
        }
    }
}

void checkFrameAndLines(FormatFile& file, FormatSettings& g) {
    if (!acceptsValue(formatField("FXD"), g.FXD)) {
        file.say("FXD は 0 以上，90 未満に設定して下さい。FXD=30 として描画を継続します。");
        g.FXD = 30;
    }
    if (!acceptsValue(formatField("FYD"), g.FYD)) {
        file.say("FYD は 0 以上，90 未満に設定して下さい。FYD=30 として描画を継続します。");
        g.FYD = 30;
    }
    if (!acceptsValue(formatField("LWD"), g.LWD)) {
        file.say("LWD は 1 以上に設定して下さい。LWD=1 として描画を継続します。");
        g.LWD = 1;
    }
    if (!acceptsValue(formatField("IPL"), g.IPL)) {
        file.say("IPL は 0 以上の整数から選んで下さい。IPL=0 として描画を継続します。");
        g.IPL = 0;
    }
    if (!acceptsValue(formatField("LDR"), g.LDR)) {
        file.say("LDR は ±1,±2,･･･,±8 の中から選んで下さい。LDR=1 として描画を継続します。");
        g.LDR = 1;
    }
}

// Reads the values the field table places on line `number`, in their order.
void readLine(FormatFile& file, FormatSettings& g, int number) {
    file.line(number);
    for (const FormatField& field : formatFields()) {
        if (field.line != number) {
            continue;
        }
        std::visit(
            [&](auto member) {
                using Value = std::remove_reference_t<decltype(g.*member)>;
                if constexpr (std::is_same_v<Value, float>) {
                    file.single(field.name, g.*member);
                } else if constexpr (std::is_same_v<Value, std::int16_t>) {
                    file.integer(field.name, g.*member);
                } else {
                    file.text(g.*member);
                }
            },
            field.member);
    }
}

// The leading lines of the file, raw; nothing after a failure.
std::optional<std::vector<std::string>> readLeadingLines(BoundedLineReader& reader) {
    std::vector<std::string> lines;
    std::string line;
    while (lines.size() < kFormatLines && reader.nextLine(line)) {
        lines.push_back(std::move(line));
    }
    if (reader.access() != FileAccess::Ok) {
        return std::nullopt;
    }
    return lines;
}

std::vector<std::string> decodeLines(const std::vector<std::string>& raw) {
    std::string joined;
    for (const auto& line : raw) {
        joined += line;
        joined += '\n';
    }
    const std::string text = decodeText(joined).utf8;
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         start = end + 1, end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

}  // namespace

const char* labelFontFor(int fontKind) {
    return kFonts.at(static_cast<std::size_t>(fontKind)).label;
}
const char* commentFontFor(int fontKind) {
    return kFonts.at(static_cast<std::size_t>(fontKind)).comment;
}

namespace {

FormatRead readFormatLines(int slot, std::vector<std::string> lines, MessageSink& messages) {
    FormatRead read;
    FormatSettings& g = read.settings;
    FormatFile file(std::move(lines), formatErrorTitle(slot), messages);

    readLine(file, g, 4);
    if (!file.ok()) {
        return read;
    }
    if (!acceptsValue(formatField("FNT"), g.FNT)) {
        file.say("FNT は 0から7までの整数から選んで下さい。FNT=0 として描画を継続します。");
        g.FNT = 0;
    }
    g.LabelFont = labelFontFor(g.FNT);
    g.CommentFont = commentFontFor(g.FNT);

    readLine(file, g, 6);
    if (!file.ok()) {
        return read;
    }
    checkFrameAndLines(file, g);

    readLine(file, g, 9);
    if (!file.ok()) {
        return read;
    }
    checkAxisLabels(file, 'X', g.XND, g.XMN, g.XMX);

    readLine(file, g, 11);
    if (!file.ok()) {
        return read;
    }
    checkAxisLabels(file, 'Y', g.YND, g.YMN, g.YMX);

    readLine(file, g, 13);
    if (!file.ok()) {
        return read;
    }
    checkZLabels(file, g);

    readLine(file, g, 16);
    readLine(file, g, 18);
    readLine(file, g, 20);
    if (!file.ok()) {
        return read;
    }
    read.outcome = FormatReadOutcome::Read;
    return read;
}

}  // namespace

FormatRead readFormatFile(int slot, const std::string& path, MessageSink& messages,
                          const ReadRules& rules) {
    BoundedLineReader reader(path, DataFileKind::Format);
    const auto raw = readLeadingLines(reader);
    if (!raw) {
        FormatRead read;
        messages.show({formatErrorTitle(slot), fileAccessText(reader.access())});
        // Only a file that is not there empties its box, and only the screen empties boxes.
        if (reader.access() == FileAccess::Missing && rules.testExistence) {
            read.outcome = FormatReadOutcome::Missing;
        }
        return read;
    }
    return readFormatLines(slot, decodeLines(*raw), messages);
}

FormatRead readFormatText(int slot, std::string_view text, MessageSink& messages) {
    auto lines = splitLines(text);
    if (lines.size() > kFormatLines) {
        lines.resize(kFormatLines);
    }
    return readFormatLines(slot, std::move(lines), messages);
}

}  // namespace kavlo
