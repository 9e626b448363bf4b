#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>

#include "render/object_surface.h"

namespace kavlo {

// Text extents measured with one device's fonts, kept for the pages that follow: fitting a label
// tries up to a hundred font sizes, each a font the font system makes anew, and the pages of one
// document share most of their labels. Bounded, so that a long document does not grow it.
class TextExtentCache {
  public:
    std::optional<TextExtent> find(const FontSpec& font, const std::string& text) const;
    void add(const FontSpec& font, const std::string& text, TextExtent extent);

  private:
    struct Key {
        FontSpec font;
        std::string text;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    std::unordered_map<Key, TextExtent, KeyHash> extents_;
};

}  // namespace kavlo
