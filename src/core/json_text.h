#pragma once

#include <string>
#include <string_view>

namespace kavlo {

// A JSON string literal of UTF-8 text, quotes included.
std::string jsonString(std::string_view utf8);

// A 32-bit float so that it reads back exactly (%.9g); null when not finite.
std::string jsonFloat(float value);

}  // namespace kavlo
