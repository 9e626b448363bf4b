#include "format_fields.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

namespace kavlo {
namespace {

using S = FormatSettings;

constexpr double kFloatMax = std::numeric_limits<float>::max();
constexpr double kLargestShort = std::numeric_limits<std::int16_t>::max();

constexpr std::array<FieldChoice, 8> kFontChoices{{
    {0, "ラベル ＭＳ Ｐ明朝，コメント ＭＳ 明朝"},
    {1, "ラベル ＭＳ Ｐ明朝，コメント ＭＳ Ｐ明朝"},
    {2, "ラベル ＭＳ Ｐゴシック，コメント ＭＳ ゴシック"},
    {3, "ラベル ＭＳ Ｐゴシック，コメント ＭＳ Ｐゴシック"},
    {4, "ラベル Times New Roman，コメント Courier New"},
    {5, "ラベル Times New Roman，コメント Times New Roman"},
    {6, "ラベル Arial，コメント Courier New"},
    {7, "ラベル Arial，コメント Arial"},
}};

constexpr std::array<FieldChoice, 16> kDrawingChoices{{
    {1, "ｘ軸方向流線"},
    {2, "ｙ軸方向流線"},
    {3, "方形メッシュ"},
    {4, "３角形メッシュ"},
    {5, "白色表層"},
    {6, "水色表層"},
    {7, "薄紫色表層"},
    {8, "薄黄色表層"},
    {-1, "ｘ軸方向流線（ｚ軸大小反転）"},
    {-2, "ｙ軸方向流線（ｚ軸大小反転）"},
    {-3, "方形メッシュ（ｚ軸大小反転）"},
    {-4, "３角形メッシュ（ｚ軸大小反転）"},
    {-5, "白色表層（ｚ軸大小反転）"},
    {-6, "水色表層（ｚ軸大小反転）"},
    {-7, "薄紫色表層（ｚ軸大小反転）"},
    {-8, "薄黄色表層（ｚ軸大小反転）"},
}};

constexpr FormatField single(const char* name, int line, int position, float S::*member) {
    return {name, line, position, FieldKind::Single, -kFloatMax, kFloatMax, false, {}, member};
}

constexpr FormatField integer(const char* name, int line, int position, double minimum,
                              double maximum, std::int16_t S::*member) {
    return {name, line, position, FieldKind::Integer, minimum, maximum, false, {}, member};
}

constexpr FormatField choice(const char* name, int line, int position,
                             std::span<const FieldChoice> choices, std::int16_t S::*member) {
    return {name, line, position, FieldKind::Choice, 0, 0, false, choices, member};
}

constexpr FormatField text(const char* name, int line, int position, std::string S::*member) {
    return {name, line, position, FieldKind::Text, 0, 0, false, {}, member};
}

constexpr FormatField tilt(const char* name, int position, float S::*member) {
    return {name, 6, position, FieldKind::Single, 0, 90, true, {}, member};
}

const std::array<FormatField, 30> kFields{{
    single("XWD", 4, 0, &S::XWD),
    single("YWD", 4, 1, &S::YWD),
    single("ZWD", 4, 2, &S::ZWD),
    single("XSF", 4, 3, &S::XSF),
    single("YSP", 4, 4, &S::YSP),
    single("CSZ", 4, 5, &S::CSZ),
    choice("FNT", 4, 6, kFontChoices, &S::FNT),
    tilt("FXD", 0, &S::FXD),
    tilt("FYD", 1, &S::FYD),
    integer("LWD", 6, 2, 1, kLargestShort, &S::LWD),
    integer("IPL", 6, 3, 0, kLargestShort, &S::IPL),
    choice("LDR", 6, 4, kDrawingChoices, &S::LDR),
    single("XNS", 9, 0, &S::XNS),
    integer("XND", 9, 1, 0, 6, &S::XND),
    single("XMN", 9, 2, &S::XMN),
    single("XMX", 9, 3, &S::XMX),
    single("YNS", 11, 0, &S::YNS),
    integer("YND", 11, 1, 0, 6, &S::YND),
    single("YMN", 11, 2, &S::YMN),
    single("YMX", 11, 3, &S::YMX),
    single("ZNS", 13, 0, &S::ZNS),
    integer("ZND", 13, 1, 0, 6, &S::ZND),
    single("ZMN", 13, 2, &S::ZMN),
    single("ZMX", 13, 3, &S::ZMX),
    single("XLS", 16, 0, &S::XLS),
    text("XLB", 16, 1, &S::XLB),
    single("YLS", 18, 0, &S::YLS),
    text("YLB", 18, 1, &S::YLB),
    single("ZLS", 20, 0, &S::ZLS),
    text("ZLB", 20, 1, &S::ZLB),
}};

}  // namespace

std::span<const FormatField> formatFields() {
    return kFields;
}

const FormatField& formatField(std::string_view name) {
    const auto* found = std::find_if(kFields.begin(), kFields.end(),
                                     [&](const FormatField& f) { return f.name == name; });
    if (found == kFields.end()) {
        throw std::out_of_range("no format field " + std::string(name));
    }
    return *found;
}

bool acceptsValue(const FormatField& field, double value) {
    if (field.kind == FieldKind::Text) {
        return true;
    }
    if (field.kind == FieldKind::Choice) {
        return std::any_of(field.choices.begin(), field.choices.end(),
                           [&](const FieldChoice& c) { return c.value == value; });
    }
    return value >= field.minimum &&
           (field.maximumExcluded ? value < field.maximum : value <= field.maximum);
}

}  // namespace kavlo
