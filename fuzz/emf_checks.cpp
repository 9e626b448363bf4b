#include "emf_checks.h"

#include <cstdint>
#include <cstring>

#include "invariant.h"

namespace kavlo::fuzz {
namespace {

enum : std::uint32_t {
    kHeader = 1,
    kEof = 14,
    kSelectObject = 37,
    kCreatePen = 38,
    kCreateBrush = 39,
    kDeleteObject = 40,
    kCreateFont = 82,
};
// Stock objects are selected by index with this bit set; they have no handle of ours.
constexpr std::uint32_t kStockObject = 0x80000000u;

std::uint32_t wordAt(std::string_view file, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, file.data() + offset, sizeof value);
    return value;
}

}  // namespace

void requireConsistentEmf(std::string_view file) {
    require(file.size() >= 88 && wordAt(file, 0) == kHeader, "the EMF starts with its header");
    const std::uint32_t headerBytes = wordAt(file, 48);
    const std::uint32_t headerRecords = wordAt(file, 52);
    const std::uint32_t handles = wordAt(file, 56) & 0xFFFFu;
    require(headerBytes == file.size(), "the EMF header counts the file's bytes");
    std::uint32_t records = 0;
    std::uint32_t lastType = 0;
    for (std::size_t at = 0; at < file.size(); ++records) {
        require(file.size() - at >= 8, "an EMF record is whole");
        const std::uint32_t type = wordAt(file, at);
        const std::uint32_t size = wordAt(file, at + 4);
        require(size >= 8 && size % 4 == 0 && size <= file.size() - at,
                "an EMF record's size is whole words inside the file");
        const bool objectRecord = type == kSelectObject || type == kCreatePen ||
                                  type == kCreateBrush || type == kDeleteObject ||
                                  type == kCreateFont;
        if (objectRecord) {
            require(size >= 12, "an object record names its handle");
            const std::uint32_t handle = wordAt(file, at + 8);
            require((type == kSelectObject && (handle & kStockObject) != 0) ||
                        (handle > 0 && handle < handles),
                    "object handles are below the header's handle count");
        }
        require(type != kHeader || at == 0, "only the first record is a header");
        lastType = type;
        at += size;
    }
    require(records == headerRecords, "the EMF header counts the records");
    require(lastType == kEof, "the EMF ends with its end-of-file record");
}

}  // namespace kavlo::fuzz
