#include "pdf_font_subset.h"

#include <algorithm>
#include <array>
#include <map>

namespace kavlo {
namespace {

std::uint32_t read16(std::string_view s, std::size_t at) {
    if (at + 2 > s.size()) {
        return 0;
    }
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at]) << 8 |
                                      static_cast<unsigned char>(s[at + 1]));
}

int readSigned16(std::string_view s, std::size_t at) {
    return static_cast<std::int16_t>(read16(s, at));
}

std::uint32_t read32(std::string_view s, std::size_t at) {
    return read16(s, at) << 16 | read16(s, at + 2);
}

void put16(std::string& s, std::size_t at, std::uint32_t value) {
    s[at] = static_cast<char>(value >> 8 & 0xff);
    s[at + 1] = static_cast<char>(value & 0xff);
}

void put32(std::string& s, std::size_t at, std::uint32_t value) {
    put16(s, at, value >> 16);
    put16(s, at + 2, value & 0xffff);
}

void append16(std::string& s, std::uint32_t value) {
    s.append(2, '\0');
    put16(s, s.size() - 2, value);
}

void append32(std::string& s, std::uint32_t value) {
    s.append(4, '\0');
    put32(s, s.size() - 4, value);
}

std::uint32_t checksum(std::string_view data) {
    std::uint32_t sum = 0;
    for (std::size_t k = 0; k < data.size(); k += 4) {
        std::uint32_t word = 0;
        for (std::size_t b = 0; b < 4; ++b) {
            word = word << 8 | (k + b < data.size() ? static_cast<unsigned char>(data[k + b]) : 0u);
        }
        sum += word;
    }
    return sum;
}

// Where each glyph's outline lies in the glyf table.
struct GlyphLocations {
    std::string_view glyf;
    std::string_view loca;
    bool longOffsets = false;
    std::uint32_t count = 0;

    std::string_view glyph(std::uint32_t id) const {
        if (id >= count) {
            return {};
        }
        const std::uint32_t begin = longOffsets ? read32(loca, id * 4) : read16(loca, id * 2) * 2;
        const std::uint32_t end =
            longOffsets ? read32(loca, id * 4 + 4) : read16(loca, id * 2 + 2) * 2;
        if (begin >= end || end > glyf.size()) {
            return {};
        }
        return glyf.substr(begin, end - begin);
    }
};

// The records of a composite glyph, which is assembled from other glyphs: where each one's
// flags lie (its glyph id follows them), and where the records end. None for a simple glyph.
struct Components {
    std::vector<std::size_t> flags;
    std::size_t end = 0;
};

Components components(std::string_view glyph) {
    constexpr std::uint32_t kArgsAreWords = 0x1;
    constexpr std::uint32_t kScale = 0x8;
    constexpr std::uint32_t kMoreComponents = 0x20;
    constexpr std::uint32_t kXYScale = 0x40;
    constexpr std::uint32_t kTwoByTwo = 0x80;
    Components parts;
    if (glyph.size() < 10 || readSigned16(glyph, 0) >= 0) {
        return parts;
    }
    std::size_t at = 10;
    std::uint32_t flags = kMoreComponents;
    while ((flags & kMoreComponents) != 0 && at + 4 <= glyph.size()) {
        flags = read16(glyph, at);
        parts.flags.push_back(at);
        at += 4 + ((flags & kArgsAreWords) != 0 ? 4 : 2);
        at += (flags & kScale) != 0      ? 2
              : (flags & kXYScale) != 0  ? 4
              : (flags & kTwoByTwo) != 0 ? 8
                                         : 0;
    }
    parts.end = std::min(at, glyph.size());
    return parts;
}

// The glyph without its hinting instructions: the page is drawn unhinted everywhere, and a
// viewer that hinted the glyphs would draw them unlike the painter.
std::string withoutInstructions(std::string glyph, const Components& parts) {
    constexpr std::uint32_t kHasInstructions = 0x100;
    if (!parts.flags.empty()) {
        for (const std::size_t at : parts.flags) {
            put16(glyph, at, read16(glyph, at) & ~kHasInstructions);
        }
        glyph.resize(parts.end);
        return glyph;
    }
    if (glyph.size() < 10) {
        return glyph;
    }
    const std::size_t at = 10 + 2 * static_cast<std::size_t>(readSigned16(glyph, 0));
    if (at + 2 <= glyph.size() && at + 2 + read16(glyph, at) <= glyph.size()) {
        glyph.erase(at + 2, read16(glyph, at));
        put16(glyph, at, 0);
    }
    return glyph;
}

std::string padded(std::string table) {
    table.append((4 - table.size() % 4) % 4, '\0');
    return table;
}

// The tables as a font file, the directory sorted by tag, with all checksums.
std::string assemble(const std::map<std::string, std::string>& tables) {
    const auto count = static_cast<std::uint32_t>(tables.size());
    std::uint32_t power = 1;
    std::uint32_t log2 = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log2;
    }
    std::string font;
    append32(font, 0x00010000);
    append16(font, count);
    append16(font, power * 16);
    append16(font, log2);
    append16(font, count * 16 - power * 16);
    auto offset = static_cast<std::uint32_t>(12 + 16 * count);
    std::size_t headAt = 0;
    for (const auto& [tag, data] : tables) {
        font += tag;
        append32(font, checksum(data));
        append32(font, offset);
        append32(font, static_cast<std::uint32_t>(data.size()));
        if (tag == "head") {
            headAt = offset;
        }
        offset += static_cast<std::uint32_t>(padded(data).size());
    }
    for (const auto& entry : tables) {
        font += padded(entry.second);
    }
    put32(font, headAt + 8, 0xB1B0AFBA - checksum(font));
    return font;
}

}  // namespace

int TrueTypeMetrics::advance(std::uint32_t glyph) const {
    if (advances.empty()) {
        return 0;
    }
    return advances[std::min<std::size_t>(glyph, advances.size() - 1)];
}

std::optional<TrueTypeMetrics> readTrueTypeMetrics(const FontTables& tables) {
    const std::string head = tables("head");
    const std::string hhea = tables("hhea");
    const std::string hmtx = tables("hmtx");
    if (head.size() < 54 || hhea.size() < 36 || tables("glyf").empty()) {
        return std::nullopt;
    }
    TrueTypeMetrics metrics;
    metrics.unitsPerEm = static_cast<int>(read16(head, 18));
    metrics.xMin = readSigned16(head, 36);
    metrics.yMin = readSigned16(head, 38);
    metrics.xMax = readSigned16(head, 40);
    metrics.yMax = readSigned16(head, 42);
    metrics.ascent = readSigned16(hhea, 4);
    metrics.descent = readSigned16(hhea, 6);
    const std::uint32_t longMetrics = read16(hhea, 34);
    for (std::uint32_t k = 0; k < longMetrics && k * 4 + 4 <= hmtx.size(); ++k) {
        metrics.advances.push_back(static_cast<std::uint16_t>(read16(hmtx, k * 4)));
    }
    if (metrics.unitsPerEm == 0) {
        return std::nullopt;
    }
    return metrics;
}

TrueTypeSubset trueTypeSubset(const FontTables& tables, const std::set<std::uint32_t>& glyphs) {
    std::string head = tables("head");
    std::string hhea = tables("hhea");
    std::string maxp = tables("maxp");
    const std::string hmtx = tables("hmtx");
    const std::string loca = tables("loca");
    const std::string glyf = tables("glyf");
    if (head.size() < 54 || hhea.size() < 36 || maxp.size() < 6 || glyf.empty() || loca.empty()) {
        return {};
    }
    const GlyphLocations locations{glyf, loca, readSigned16(head, 50) == 1, read16(maxp, 4)};

    // The outline-less first glyph is the one viewers show for missing ones.
    TrueTypeSubset result;
    result.glyphIds[0] = 0;
    std::vector<std::uint32_t> pending(glyphs.begin(), glyphs.end());
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id < locations.count && result.glyphIds.emplace(id, 0).second) {
            const std::string_view glyph = locations.glyph(id);
            for (const std::size_t at : components(glyph).flags) {
                pending.push_back(read16(glyph, at + 2));
            }
        }
    }
    std::uint32_t count = 0;
    for (auto& entry : result.glyphIds) {
        entry.second = count++;
    }

    const std::uint32_t longMetrics = read16(hhea, 34);
    std::string newGlyf;
    std::string newLoca;
    std::string newHmtx;
    for (const auto& [id, newId] : result.glyphIds) {
        append32(newLoca, static_cast<std::uint32_t>(newGlyf.size()));
        std::string glyph(locations.glyph(id));
        const Components parts = components(glyph);
        for (const std::size_t at : parts.flags) {
            const auto part = result.glyphIds.find(read16(glyph, at + 2));
            put16(glyph, at + 2, part == result.glyphIds.end() ? 0 : part->second);
        }
        newGlyf += padded(withoutInstructions(std::move(glyph), parts));
        // Glyphs past the last full metric share its advance and keep only their side bearing.
        const std::uint32_t full = std::min(id, longMetrics - 1);
        append16(newHmtx, read16(hmtx, full * 4));
        append16(newHmtx, id < longMetrics
                              ? read16(hmtx, id * 4 + 2)
                              : read16(hmtx, longMetrics * 4 + (id - longMetrics) * 2));
    }
    append32(newLoca, static_cast<std::uint32_t>(newGlyf.size()));

    put16(hhea, 34, count);
    put16(maxp, 4, count);
    put32(head, 8, 0);
    put16(head, 50, 1);

    const std::map<std::string, std::string> subset{
        {"head", head},    {"hhea", hhea},    {"maxp", maxp},
        {"hmtx", newHmtx}, {"loca", newLoca}, {"glyf", newGlyf},
    };
    result.font = assemble(subset);
    return result;
}

}  // namespace kavlo
