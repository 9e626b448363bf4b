#include "format_write_back.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "atomic_file.h"
#include "bounded_file.h"
#include "decimal_number.h"
#include "number_format.h"
#include "text_file.h"
#include "value_line.h"

namespace kavlo {
namespace {

constexpr std::size_t kTiltLine = 6;
constexpr std::size_t kZLabelLine = 13;
constexpr double kTurnDegrees = 5;

constexpr std::string_view kNotSaved = "描画の変更は保存されていません。";

std::string unreadable(const std::string& name) {
    return "ファイル " + name + " を読み込めません。ご確認ください。" + std::string(kNotSaved);
}

std::string unwritable(const std::string& name) {
    return "ファイル " + name + " に書き込めません。ご確認ください。" + std::string(kNotSaved);
}

std::string badValue(const std::string& fileName, std::size_t number, const char* name) {
    return "ファイル " + fileName + " の " + std::to_string(number) + " 行目の " + name +
           " が数値として読めません。ファイルを見直して下さい。" + std::string(kNotSaved);
}

template <std::size_t N>
std::string valueLine(const std::array<double, N>& values) {
    std::string line;
    for (double value : values) {
        line += "   " + formatWriteBackValue(value);
    }
    return line;
}

// Rewrites value line `number` with `change`; a message when the line does not hold its values.
template <std::size_t N, typename Change>
std::optional<std::string> rewrite(std::vector<std::string>& lines, std::size_t number,
                                   const std::array<const char*, N>& names, Change change,
                                   const std::string& fileName) {
    if (lines.size() < number) {
        return std::nullopt;
    }
    std::string& line = lines[number - 1];
    std::array<double, N> values{};
    ValueLine reader(line);
    for (std::size_t k = 0; k < N; ++k) {
        const auto field = reader.nextToken();
        const auto value =
            field.kind == ValueLine::Kind::Value ? parseDecimal(field.text) : std::nullopt;
        if (!value) {
            return badValue(fileName, number, names[k]);
        }
        values[k] = *value;
    }
    change(values);
    for (std::size_t k = 0; k < N; ++k) {
        if (!std::isfinite(values[k])) {
            return badValue(fileName, number, names[k]);
        }
    }
    line = valueLine(values);
    return std::nullopt;
}

std::string keptZLine(const std::string& name) {
    return "ファイル " + name +
           " の 13 行目は書き換えていません。表示中の Z の範囲が空か逆向きのため、Z 方向の伸縮は"
           "保存されていません。";
}

WriteBackResult writeBack(const std::filesystem::path& file, const ViewChange& change) {
    const std::string name = file.string();
    const FileBytes bytes = readBoundedFile(file, DataFileKind::Format);
    if (bytes.access != FileAccess::Ok) {
        return {unreadable(name), std::nullopt};
    }
    auto lines = splitLines(bytes.bytes);
    const auto turn = [&change](std::array<double, 5>& v) {
        v[0] += kTurnDegrees * change.turnSteps;
        v[1] -= kTurnDegrees * change.turnSteps;
    };
    if (auto message =
            rewrite<5>(lines, kTiltLine, {"FXD", "FYD", "LWD", "IPL", "LDR"}, turn, name)) {
        return {message, std::nullopt};
    }
    // Zoomed, line 13 takes what the screen showed, so that the next draw shows it again (an
    // automatic range or a zoom-out would otherwise be lost); a range the file cannot hold
    // leaves the line alone.
    const ZRange shown = change.shownZ;
    const bool zoomed = change.zoomSteps != 0;
    std::optional<std::string> note;
    if (zoomed && !(shown.upper > shown.lower && std::isfinite(shown.upper - shown.lower))) {
        note = keptZLine(name);
    } else {
        const auto zoom = [zoomed, shown](std::array<double, 4>& v) {
            if (zoomed) {
                v[2] = shown.lower;
                v[3] = shown.upper;
            } else if (v[2] >= v[3]) {
                std::swap(v[2], v[3]);
            }
        };
        if (auto message =
                rewrite<4>(lines, kZLabelLine, {"ZNS", "ZND", "ZMN", "ZMX"}, zoom, name)) {
            return {message, std::nullopt};
        }
    }
    std::string text;
    text.reserve(bytes.bytes.size() + 2 * lines.size() + 64);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    if (auto written = replaceFileAtomically(file, text); !written.ok()) {
        return {written.message + std::string(kNotSaved), std::nullopt};
    }
    return {std::nullopt, note};
}

bool sameChange(const ViewChange& a, const ViewChange& b) {
    const auto same = [](float x, float y) { return x == y || (std::isnan(x) && std::isnan(y)); };
    return a.turnSteps == b.turnSteps && a.zoomSteps == b.zoomSteps &&
           (a.zoomSteps == 0 ||
            (same(a.shownZ.lower, b.shownZ.lower) && same(a.shownZ.upper, b.shownZ.upper)));
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return a == b || std::filesystem::equivalent(a, b, ec);
}

}  // namespace

std::string formatWriteBackValue(double value) {
    std::string text = formatLabelNumber(value, 6);
    const std::size_t firstDecimal = text.find('.') + 1;
    const std::size_t lastKept = std::max(firstDecimal, text.find_last_not_of('0'));
    text.erase(lastKept + 1);
    return text;
}

WriteBackResult writeBackView(const std::filesystem::path& file, const ViewChange& change) {
    try {
        return writeBack(file, change);
    } catch (...) {
        return {unwritable(file.string()), std::nullopt};
    }
}

std::vector<FileWriteBack> groupByFile(const std::vector<SlotView>& views) {
    std::vector<FileWriteBack> files;
    for (const SlotView& view : views) {
        const auto shared = std::find_if(files.begin(), files.end(), [&](const FileWriteBack& f) {
            return sameFile(f.file, view.file);
        });
        if (shared == files.end()) {
            files.push_back({view.file, view.change, {view.slot}, {}});
            continue;
        }
        shared->graphs.push_back(view.slot);
        if (!sameChange(shared->change, view.change)) {
            shared->dropped.push_back(view.slot);
        }
    }
    return files;
}

}  // namespace kavlo
