#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "byte_sink.h"
#include "render/draw_surface.h"

namespace kavlo {

// The part of the page a picture shows, in logical units (twips).
struct EmfWindow {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Stock objects a metafile selects without creating them.
enum class EmfStock : std::uint32_t { WhiteBrush = 0, BlackPen = 7, DeviceDefaultFont = 14 };

// The header's size: the first bytes of the file, written last.
constexpr std::size_t kEmfHeaderSize = 108;

// An Enhanced Metafile written record by record to a sink in pieces, so a page of millions of
// facets costs a few bytes a call and is never held whole. The header, which counts the bytes
// and the records, is known only at the end: the sink first gets room for it, and `finish`
// hands it over to be put there. The picture is the window at its real size: one logical unit
// is one twip, and so is one unit of the reference device.
class EmfRecords {
  public:
    EmfRecords(EmfWindow window, ByteSink sink);

    void createPen(std::uint32_t handle, int style, int width, Rgb color);
    void createSolidBrush(std::uint32_t handle, Rgb color);
    // A font of cell height `height` (positive, as GDI reads it), average width and escapement.
    void createFont(std::uint32_t handle, int height, int width, int escapement,
                    std::u16string_view face);
    void selectObject(std::uint32_t handle);
    void selectStock(EmfStock object);
    void deleteObject(std::uint32_t handle);
    void polygon(std::span<const DevicePoint> points);
    void polyline(std::span<const DevicePoint> points);
    void moveTo(DevicePoint point);
    void lineTo(DevicePoint point);
    void setRop2(int mode);
    // Text whose reference point is the top-left of its first cell, `bounds` the logical box it
    // covers. The reader places the glyphs with its own font: there are no character advances.
    void textOut(DevicePoint point, std::u16string_view text, DevicePoint boundsMin,
                 DevicePoint boundsMax);

    // Ends the picture and returns its header, which belongs over the first kEmfHeaderSize
    // bytes the sink took; the records take no more calls after it. Empty when the sink refused
    // any piece.
    std::string finish();

  private:
    void begin(std::uint32_t type, std::uint32_t size);
    void put(std::uint32_t value);
    void putSigned(std::int32_t value);
    void putBounds(DevicePoint min, DevicePoint max);
    void poly(std::uint32_t type16, std::uint32_t type32, std::span<const DevicePoint> points);
    void uses(std::uint32_t handle);
    void flush();

    EmfWindow window_;
    ByteSink sink_;
    bool sinkFailed_ = false;
    std::uint64_t handedOver_ = 0;
    std::string bytes_;
    std::uint32_t records_ = 0;
    std::uint32_t highestHandle_ = 0;
};

}  // namespace kavlo
