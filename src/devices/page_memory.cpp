#include "page_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <limits>

namespace kavlo {
namespace {

constexpr std::size_t kHugePage = std::size_t{1} << 21;

struct Mapping {
    void* start;
    std::size_t length;
};

void unmap(void* mapping) {
    const auto* m = static_cast<Mapping*>(mapping);
    ::munmap(m->start, m->length);
    delete m;
}

}  // namespace

QImage imageOnMappedMemory(int width, int height, QImage::Format format) {
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    if (width <= 0 || height <= 0 || depth % 8 != 0) {
        return {};
    }
    // Rows of whole 32-bit words, as QImage lays them out itself.
    const std::size_t rowBytes = (std::size_t(width) * std::size_t(depth / 8) + 3) / 4 * 4;
    if (rowBytes > std::size_t(std::numeric_limits<qsizetype>::max()) / std::size_t(height)) {
        return {};
    }
    const std::size_t bytes = rowBytes * std::size_t(height);
    // Whole huge pages, the last one too: the pixels past the last edge would otherwise take a
    // fault for every small page of them. One more, so that the pixels can start on an edge.
    const std::size_t hugePages = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    const std::size_t length = hugePages + kHugePage;
    void* start =
        ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED) {
        return {};
    }
    const auto edge = (reinterpret_cast<std::uintptr_t>(start) + kHugePage - 1) & ~(kHugePage - 1);
    auto* pixels = reinterpret_cast<uchar*>(edge);
    ::madvise(pixels, hugePages, MADV_HUGEPAGE);  // a hint only: plain pages work as well
    QImage image(pixels, width, height, static_cast<qsizetype>(rowBytes), format, unmap,
                 new Mapping{start, length});
    if (image.isNull()) {
        ::munmap(start, length);
    }
    return image;
}

}  // namespace kavlo
