#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <unordered_map>
#include <variant>
#include <vector>

#include "emf_records.h"
#include "render/object_surface.h"

namespace kavlo {

// What the pen, brush or font place of a metafile's device context holds: a stock object, or
// one made from its description.
using EmfObject = std::variant<EmfStock, PenSpec, BrushSpec, FontSpec>;

struct EmfObjectHash {
    std::size_t operator()(const EmfObject& object) const;
};

// The objects of a metafile, one per distinct description, made when drawing first needs them
// and kept in the metafile's object table, so that a page of a million facets in a few hundred
// colours makes a few hundred pens and brushes. Past kCapacity objects the least recently used
// one that is not selected makes room; `release` deselects and deletes what is left.
class EmfObjectTable {
  public:
    // Far more than a page's colours, and few enough for any reader's table.
    static constexpr std::size_t kCapacity = 4096;

    // Makes `object` the selected one of its kind, writing only what changes.
    void select(const EmfObject& object, EmfRecords& records);
    // Selects the stock objects back and deletes every object made.
    void release(EmfRecords& records);

  private:
    struct Made {
        EmfObject object;
        std::uint32_t handle = 0;
    };
    using UseOrder = std::list<Made>;

    void make(const EmfObject& object, EmfRecords& records);
    void evictOne(EmfRecords& records);
    bool isSelected(const EmfObject& object) const;

    // Most recently used first.
    UseOrder used_;
    std::unordered_map<EmfObject, UseOrder::iterator, EmfObjectHash> made_;
    // Pen, brush and font places; a fresh device context holds the stock objects.
    std::array<EmfObject, 3> selected_{EmfStock::BlackPen, EmfStock::WhiteBrush,
                                       EmfStock::DeviceDefaultFont};
    std::vector<std::uint32_t> freeHandles_;
    // Handle 0 is the picture itself.
    std::uint32_t nextHandle_ = 1;
};

}  // namespace kavlo
