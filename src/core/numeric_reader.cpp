#include "numeric_reader.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "bounded_file.h"
#include "decimal_number.h"
#include "slot_titles.h"
#include "text_decoding.h"
#include "value_line.h"

namespace kavlo {
namespace {

constexpr std::string_view kBadCount =
    "データ数が不正です。ファイルを見直して下さい。描画を中断します。";
constexpr std::string_view kTooMany =
    "データ数が多すぎます。(NX と NY の大きい方 + 1)×(IPL + 1) は 32767 以下、メッシュと面では "
    "IPL は 8190 以下にして下さい。描画を中断します。";
constexpr std::string_view kBadValue =
    "データが不正です。ファイルを見直して下さい。描画を中断します。";
constexpr std::string_view kTooManyDigits =
    "Graph Data の値は整数部が (7-ZND) 桁以下にして下さい。描画を中断します。";
constexpr std::string_view kFlatData = "ZMN は ZMX より小さく設定して下さい。描画を中断します。";

constexpr int kInt16Max = 32767;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Where a piece of a long row may end without changing how its values read: after a comma, or
// before a value that follows a blank. 0 when there is no such place.
std::size_t pieceEnd(std::string_view text) {
    for (std::size_t p = text.size(); p > 0; --p) {
        const char before = text[p - 1];
        if (before == ',' ||
            (p < text.size() && isBlank(before) && !isBlank(text[p]) && text[p] != ',')) {
            return p;
        }
    }
    return 0;
}

// The values of a numeric file, one after the other, whatever the line breaks. A row longer
// than the reader's line limit is taken in pieces, so memory stays bounded by one value.
class ValueStream {
  public:
    explicit ValueStream(const std::string& path) : lines_(path, DataFileKind::Numeric) {}

    // Ok, or why the file could not be opened or read on.
    FileAccess access() const { return valueTooLong_ ? FileAccess::LineTooLong : lines_.access(); }

    // The next value's text; nothing at an empty cell, at the end of the file or on a failure.
    std::optional<std::string_view> next() {
        for (;;) {
            if (reader_) {
                const auto field = reader_->nextToken();
                if (field.kind == ValueLine::Kind::Value) {
                    return field.text;
                }
                if (field.kind == ValueLine::Kind::Empty) {
                    return std::nullopt;
                }
            }
            if (!nextPiece()) {
                return std::nullopt;
            }
        }
    }

  private:
    bool nextPiece() {
        bool lineEnds = true;
        if (!lines_.nextPiece(piece_, lineEnds)) {
            return false;
        }
        line_.swap(rest_);
        line_ += piece_;
        rest_.clear();
        std::string_view view = line_;
        if (first_ && view.starts_with(kUtf8Bom)) {
            view.remove_prefix(kUtf8Bom.size());
        }
        first_ = false;
        if (!lineEnds) {
            const std::size_t end = pieceEnd(view);
            rest_.assign(view.substr(end));
            view = view.substr(0, end);
            // Blanks after a value only separate it: one is as good as many.
            const std::size_t lastToken = rest_.find_last_not_of(" \t\r");
            if (!rest_.empty() &&
                (lastToken == std::string::npos || lastToken + 1 < rest_.size())) {
                rest_.resize(lastToken == std::string::npos ? 0 : lastToken + 1);
                rest_ += ' ';
            }
            if (rest_.size() > piece_.size()) {
                valueTooLong_ = true;
                return false;
            }
        }
        reader_.emplace(view);
        return true;
    }

    BoundedLineReader lines_;
    std::string piece_;
    std::string line_;
    std::string rest_;  // the start of a value cut by the end of a piece
    std::optional<ValueLine> reader_;
    bool first_ = true;
    bool valueTooLong_ = false;
};

bool isMeshOrSurface(int ldr) {
    return std::abs(ldr) >= 3 && std::abs(ldr) <= 8;
}

}  // namespace

bool gridFitsArrays(int nx, int ny, int ipl, int ldr) {
    const long long m = std::max(nx, ny) + 1LL;
    const long long r = ipl + 1LL;
    if (m * r > kInt16Max || (nx + 1LL) * r > kInt16Max || (ny + 1LL) * r > kInt16Max) {
        return false;
    }
    return !isMeshOrSurface(ldr) || 4LL * ipl + 5 <= kInt16Max;
}

NumericRead readNumericFile(int slot, const std::string& path, const FormatSettings& format,
                            MessageSink& messages, const ReadRules& rules) {
    const std::string title = graphErrorTitle(slot);
    const auto abort = [&](std::string_view text) {
        messages.show({title, std::string(text)});
        return NumericRead{NumericReadOutcome::Aborted, {}};
    };
    if (path.empty()) {
        return {NumericReadOutcome::NoFile, {}};
    }
    ValueStream values(path);
    // A file that cannot be read on says why rather than that its data is bad.
    const auto failed = [&](std::string_view text) {
        return values.access() == FileAccess::Ok ? abort(text)
                                                 : abort(fileAccessText(values.access()));
    };
    if (values.access() != FileAccess::Ok) {
        // Only a file that is not there empties its box, and only the screen empties boxes.
        if (values.access() == FileAccess::Missing && rules.testExistence) {
            messages.show({title, fileAccessText(FileAccess::Missing)});
            return {NumericReadOutcome::Missing, {}};
        }
        return abort(fileAccessText(values.access()));
    }

    std::optional<double> counts[2];
    for (auto& count : counts) {
        const auto token = values.next();
        count = token ? parseDecimal(*token) : std::nullopt;
        if (!count) {
            return failed(kBadValue);
        }
        *count = std::nearbyint(*count);
    }
    const double nx = *counts[0];
    const double ny = *counts[1];
    if (nx < 2 || ny < 2) {
        return abort(kBadCount);
    }
    if (nx > kInt16Max || ny > kInt16Max ||
        !gridFitsArrays(static_cast<int>(nx), static_cast<int>(ny), format.IPL, format.LDR)) {
        return abort(kTooMany);
    }

    // The values are read before anything is sized for them: a short file that announces a
    // huge grid fails at its first missing value, not after allocating for the announcement.
    const float limit = static_cast<float>(std::pow(10.0, 7 - format.ZND));
    const long long count = static_cast<long long>(nx) * static_cast<long long>(ny);
    std::vector<float> z;
    z.reserve(static_cast<std::size_t>(std::min(count, 1LL << 16)));
    float low = 1e7f;
    float high = -1e7f;
    for (long long k = 0; k < count; ++k) {
        const auto token = values.next();
        const auto value = token ? parseSingle(*token) : std::nullopt;
        if (!value) {
            return failed(kBadValue);
        }
        if (!(-limit < *value && *value < limit)) {
            return abort(kTooManyDigits);
        }
        low = std::min(low, *value);
        high = std::max(high, *value);
        z.push_back(*value);
    }
    if (format.ZMN == format.ZMX && low == high) {
        messages.show({formatErrorTitle(slot), std::string(kFlatData)});
        return {NumericReadOutcome::Aborted, {}};
    }

    NumericRead read{NumericReadOutcome::Read, {}};
    Grid& g = read.grid;
    g.NX = static_cast<std::int16_t>(nx);
    g.NY = static_cast<std::int16_t>(ny);
    g.DataZMin = low;
    g.DataZMax = high;
    g.Z.resize(g.NX + 1, g.NY + 1);
    auto next = z.cbegin();
    for (int j = 1; j <= g.NY; ++j) {
        for (int i = 1; i <= g.NX; ++i) {
            g.Z(i, j) = *next++;
        }
    }
    return read;
}

}  // namespace kavlo
