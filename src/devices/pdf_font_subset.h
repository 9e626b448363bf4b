#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kavlo {

// One table of a TrueType font by its tag ("glyf"); empty when the font has none.
using FontTables = std::function<std::string(std::string_view tag)>;

// What a PDF font dictionary says of a TrueType font, in its design units.
struct TrueTypeMetrics {
    int unitsPerEm = 1000;
    int xMin = 0;
    int yMin = 0;
    int xMax = 0;
    int yMax = 0;
    int ascent = 0;
    int descent = 0;
    std::vector<std::uint16_t> advances;

    int advance(std::uint32_t glyph) const;
};

// Nothing when the font has no TrueType outlines.
std::optional<TrueTypeMetrics> readTrueTypeMetrics(const FontTables& tables);

// A TrueType font holding only some glyphs, numbered anew, without hinting.
struct TrueTypeSubset {
    std::string font;
    // Each glyph kept, by its id in the whole font, and its id in the subset.
    std::map<std::uint32_t, std::uint32_t> glyphIds;
};

// The subset with the outlines of `glyphs`, the glyphs they are built of, and the missing-glyph
// glyph, for embedding in a PDF. Empty when the font has no TrueType outlines.
TrueTypeSubset trueTypeSubset(const FontTables& tables, const std::set<std::uint32_t>& glyphs);

}  // namespace kavlo
