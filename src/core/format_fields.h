#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "format_settings.h"

namespace kavlo {

enum class FieldKind { Single, Integer, Choice, Text };

// One value a choice field accepts and what it draws.
struct FieldChoice {
    int value;
    const char* description;
};

// One value of a format file: where it stands and what the reader takes unchanged.
struct FormatField {
    const char* name;
    int line;      // 1-based
    int position;  // 0-based among the values of its line
    FieldKind kind;
    // Accepted numbers (not for choices and texts): minimum <= v <= maximum, or < maximum when
    // `maximumExcluded`.
    double minimum = 0;
    double maximum = 0;
    bool maximumExcluded = false;
    std::span<const FieldChoice> choices = {};
    std::variant<float FormatSettings::*, std::int16_t FormatSettings::*,
                 std::string FormatSettings::*>
        member = {};
};

// Every value of a format file in the order the reader reads them.
std::span<const FormatField> formatFields();

// The field named `name`; every name the reader uses is there.
const FormatField& formatField(std::string_view name);

// Whether the reader takes `value` for `field` without correcting it. Label bounds that depend
// on other fields (XMN..ZMX) are not the field's own and are not checked here.
bool acceptsValue(const FormatField& field, double value);

}  // namespace kavlo
