#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/draw_surface.h"

namespace kavlo {

// The page's colours as indexed colour spaces of up to 256 colours each, so that a colour
// change in the content stream is one small number instead of three fractions.
class PdfPalettes {
  public:
    struct Entry {
        Rgb colour;
        int palette = 0;
        int index = 0;
    };

    Entry find(Rgb colour);
    // The entries of the page's colour space dictionary: /P<palette> for each.
    std::string resources() const;

  private:
    std::vector<std::vector<Rgb>> palettes_;
    std::unordered_map<std::uint32_t, Entry> entries_;
    // The palette still open for each band of brightness.
    std::unordered_map<std::uint32_t, int> openByBand_;
    Entry last_;
};

}  // namespace kavlo
