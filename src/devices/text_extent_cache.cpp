#include "text_extent_cache.h"

#include <functional>

namespace kavlo {
namespace {

// Far more than a page of labels tries, far less memory than a page's drawing.
constexpr std::size_t kMostExtents = 1 << 16;

}  // namespace

std::size_t TextExtentCache::KeyHash::operator()(const Key& key) const {
    std::size_t hash = std::hash<std::string>{}(key.text);
    for (const std::size_t part :
         {std::hash<std::string>{}(key.font.face), std::size_t(key.font.height),
          std::size_t(key.font.width), std::size_t(key.font.escapement)}) {
        hash = hash * 1000003 ^ part;
    }
    return hash;
}

std::optional<TextExtent> TextExtentCache::find(const FontSpec& font,
                                                const std::string& text) const {
    const auto found = extents_.find({font, text});
    if (found == extents_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void TextExtentCache::add(const FontSpec& font, const std::string& text, TextExtent extent) {
    if (extents_.size() >= kMostExtents) {
        extents_.clear();
    }
    extents_.emplace(Key{font, text}, extent);
}

}  // namespace kavlo
