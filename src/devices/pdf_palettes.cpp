#include "pdf_palettes.h"

#include <algorithm>
#include <cstdio>

namespace kavlo {
namespace {

constexpr std::size_t kPaletteSize = 256;

// Neighbouring facets of a shaded surface differ little in brightness: colours of one half of
// the brightness range share spaces, so a surface seldom changes spaces.
std::uint32_t bandOf(Rgb c) {
    return std::max({c.r, c.g, c.b}) / 128u;
}

}  // namespace

PdfPalettes::Entry PdfPalettes::find(Rgb colour) {
    // Pen and brush mostly ask for the same colour one after the other.
    if (last_.colour == colour && !palettes_.empty()) {
        return last_;
    }
    if (const auto known = entries_.find(packedRgb(colour)); known != entries_.end()) {
        last_ = known->second;
        return last_;
    }
    auto open = openByBand_.find(bandOf(colour));
    if (open == openByBand_.end() ||
        palettes_[static_cast<std::size_t>(open->second)].size() == kPaletteSize) {
        palettes_.emplace_back();
        open = openByBand_.insert_or_assign(bandOf(colour), static_cast<int>(palettes_.size() - 1))
                   .first;
    }
    std::vector<Rgb>& palette = palettes_[static_cast<std::size_t>(open->second)];
    const Entry entry{colour, open->second, static_cast<int>(palette.size())};
    palette.push_back(colour);
    entries_.emplace(packedRgb(colour), entry);
    last_ = entry;
    return entry;
}

std::string PdfPalettes::resources() const {
    std::string out;
    for (std::size_t k = 0; k < palettes_.size(); ++k) {
        out += "/P" + std::to_string(k) + " [/Indexed /DeviceRGB " +
               std::to_string(palettes_[k].size() - 1) + " <";
        for (const Rgb c : palettes_[k]) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%02X%02X%02X", c.r, c.g, c.b);
            out += hex;
        }
        out += ">] ";
    }
    return out;
}

}  // namespace kavlo
