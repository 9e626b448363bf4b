#include "emf_object_table.h"

#include <QString>
#include <algorithm>
#include <functional>
#include <string>

namespace kavlo {
namespace {

std::size_t placeOf(const EmfObject& object) {
    if (const auto* stock = std::get_if<EmfStock>(&object)) {
        return *stock == EmfStock::BlackPen ? 0 : *stock == EmfStock::WhiteBrush ? 1 : 2;
    }
    return object.index() - 1;
}

constexpr std::array kStockOfPlace{EmfStock::BlackPen, EmfStock::WhiteBrush,
                                   EmfStock::DeviceDefaultFont};

std::size_t mixed(std::size_t seed, std::size_t value) {
    return seed ^ (value + 0x9E3779B97F4A7C15u + (seed << 6) + (seed >> 2));
}

std::size_t hashOf(Rgb c) {
    return std::size_t{c.r} | std::size_t{c.g} << 8 | std::size_t{c.b} << 16;
}

}  // namespace

std::size_t EmfObjectHash::operator()(const EmfObject& object) const {
    struct Visitor {
        std::size_t operator()(EmfStock stock) const { return static_cast<std::size_t>(stock); }
        std::size_t operator()(const PenSpec& pen) const {
            return mixed(mixed(hashOf(pen.color), static_cast<std::size_t>(pen.width)),
                         static_cast<std::size_t>(pen.style));
        }
        std::size_t operator()(const BrushSpec& brush) const { return hashOf(brush.color); }
        std::size_t operator()(const FontSpec& font) const {
            std::size_t seed = std::hash<std::string>{}(font.face);
            for (const int v : {font.height, font.width, font.escapement}) {
                seed = mixed(seed, static_cast<std::size_t>(v));
            }
            return seed;
        }
    };
    return mixed(object.index(), std::visit(Visitor{}, object));
}

bool EmfObjectTable::isSelected(const EmfObject& object) const {
    return selected_[placeOf(object)] == object;
}

void EmfObjectTable::select(const EmfObject& object, EmfRecords& records) {
    const auto found = made_.find(object);
    if (found != made_.end()) {
        used_.splice(used_.begin(), used_, found->second);
    }
    if (isSelected(object)) {
        return;
    }
    if (const auto* stock = std::get_if<EmfStock>(&object)) {
        records.selectStock(*stock);
    } else {
        if (found == made_.end()) {
            make(object, records);
        }
        records.selectObject(used_.front().handle);
    }
    selected_[placeOf(object)] = object;
}

void EmfObjectTable::make(const EmfObject& object, EmfRecords& records) {
    static_assert(kCapacity > 3, "room beside the three selected objects");
    if (made_.size() >= kCapacity) {
        evictOne(records);
    }
    std::uint32_t handle = nextHandle_;
    if (freeHandles_.empty()) {
        ++nextHandle_;
    } else {
        handle = freeHandles_.back();
        freeHandles_.pop_back();
    }
    if (const auto* pen = std::get_if<PenSpec>(&object)) {
        records.createPen(handle, pen->style, pen->width, pen->color);
    } else if (const auto* brush = std::get_if<BrushSpec>(&object)) {
        records.createSolidBrush(handle, brush->color);
    } else {
        const auto& font = std::get<FontSpec>(object);
        records.createFont(handle, font.height, font.width, font.escapement,
                           QString::fromStdString(font.face).toStdU16String());
    }
    used_.push_front({object, handle});
    made_.emplace(object, used_.begin());
}

void EmfObjectTable::evictOne(EmfRecords& records) {
    // At most three objects are selected, and the table holds more than that.
    auto victim = std::prev(used_.end());
    while (isSelected(victim->object)) {
        --victim;
    }
    records.deleteObject(victim->handle);
    freeHandles_.push_back(victim->handle);
    made_.erase(victim->object);
    used_.erase(victim);
}

void EmfObjectTable::release(EmfRecords& records) {
    for (std::size_t place = 0; place < selected_.size(); ++place) {
        select(kStockOfPlace[place], records);
    }
    for (auto it = used_.rbegin(); it != used_.rend(); ++it) {
        records.deleteObject(it->handle);
        freeHandles_.push_back(it->handle);
    }
    used_.clear();
    made_.clear();
}

}  // namespace kavlo
