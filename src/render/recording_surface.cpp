#include "recording_surface.h"

#include <sstream>

#include "core/json_text.h"

namespace kavlo {
namespace {

std::string rgbJson(Rgb c) {
    return "[" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + "]";
}

std::string pointsJson(const std::vector<DevicePoint>& points) {
    std::string out = "[";
    for (std::size_t k = 0; k < points.size(); ++k) {
        out += (k ? ",[" : "[") + std::to_string(points[k].x) + "," + std::to_string(points[k].y) +
               "]";
    }
    return out + "]";
}

// Columns a text takes in a fixed-pitch approximation: full-width characters take two.
int textColumns(const std::string& utf8) {
    int columns = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        // U+FF61..U+FF9F (half-width katakana) stay narrow; other CJK is wide.
        const bool halfWidthKana = length == 3 && c == 0xEF && i + 1 < utf8.size() &&
                                   (static_cast<unsigned char>(utf8[i + 1]) == 0xBD ||
                                    static_cast<unsigned char>(utf8[i + 1]) == 0xBE);
        columns += length >= 3 && !halfWidthKana ? 2 : 1;
        i += length;
    }
    return columns;
}

}  // namespace

std::string toJson(const RecordedOp& op) {
    std::ostringstream out;
    out << "{\"op\":" << jsonString(op.op);
    if (op.op == "CreatePen") {
        out << ",\"id\":" << op.id << ",\"width\":" << op.width << ",\"rgb\":" << rgbJson(op.rgb);
    } else if (op.op == "CreateSolidBrush") {
        out << ",\"id\":" << op.id << ",\"rgb\":" << rgbJson(op.rgb);
    } else if (op.op == "SelectObject" || op.op == "DeleteObject") {
        out << ",\"id\":" << op.id;
    } else if (op.op == "Polygon" || op.op == "Polyline") {
        out << ",\"pts\":" << pointsJson(op.points);
    } else if (op.op == "MoveToEx" || op.op == "LineTo") {
        out << ",\"x\":" << op.points.at(0).x << ",\"y\":" << op.points.at(0).y;
    } else if (op.op == "SetROP2") {
        out << ",\"mode\":" << op.mode;
    } else if (op.op == "CreateFontA") {
        out << ",\"id\":" << op.id << ",\"height\":" << op.height << ",\"width\":" << op.width
            << ",\"escapement\":" << op.escapement << ",\"face\":" << jsonString(op.text);
    } else if (op.op == "TextOutA") {
        out << ",\"x\":" << op.points.at(0).x << ",\"y\":" << op.points.at(0).y
            << ",\"text\":" << jsonString(op.text);
    } else if (op.op == "GetTextExtentPoint32A") {
        out << ",\"text\":" << jsonString(op.text) << ",\"cx\":" << op.extent.cx
            << ",\"cy\":" << op.extent.cy;
    } else if (op.op == "Slot") {
        out << ",\"slot\":" << op.slot;
    }
    out << "}";
    return out.str();
}

RecordingSurface::RecordingSurface(DrawSurface* target) : target_(target) {}

void RecordingSurface::record(RecordedOp op) {
    if (listener_) {
        listener_(op);
    } else {
        ops_.push_back(std::move(op));
    }
}

ObjectId RecordingSurface::created(ObjectId own, ObjectId targets) {
    if (target_) {
        targetIds_[own] = targets;
    }
    return own;
}

ObjectId RecordingSurface::createPen(int style, int width, Rgb color) {
    const ObjectId id = created(ObjectSurface::createPen(style, width, color),
                                target_ ? target_->createPen(style, width, color) : 0);
    RecordedOp op{"CreatePen"};
    op.id = id;
    op.width = width;
    op.rgb = color;
    record(std::move(op));
    return id;
}

ObjectId RecordingSurface::createSolidBrush(Rgb color) {
    const ObjectId id = created(ObjectSurface::createSolidBrush(color),
                                target_ ? target_->createSolidBrush(color) : 0);
    RecordedOp op{"CreateSolidBrush"};
    op.id = id;
    op.rgb = color;
    record(std::move(op));
    return id;
}

ObjectId RecordingSurface::createFont(int height, int width, int escapement,
                                      const std::string& face) {
    const ObjectId id = created(ObjectSurface::createFont(height, width, escapement, face),
                                target_ ? target_->createFont(height, width, escapement, face) : 0);
    RecordedOp op{"CreateFontA"};
    op.id = id;
    op.width = width;
    op.height = height;
    op.escapement = escapement;
    op.text = face;
    record(std::move(op));
    return id;
}

ObjectId RecordingSurface::selectObject(ObjectId object) {
    RecordedOp op{"SelectObject"};
    op.id = object;
    record(std::move(op));
    if (target_) {
        const auto it = targetIds_.find(object);
        if (it != targetIds_.end()) {
            target_->selectObject(it->second);
        }
    }
    return ObjectSurface::selectObject(object);
}

void RecordingSurface::deleteObject(ObjectId object) {
    RecordedOp op{"DeleteObject"};
    op.id = object;
    record(std::move(op));
    if (const auto it = targetIds_.find(object); it != targetIds_.end()) {
        target_->deleteObject(it->second);
        targetIds_.erase(it);
    }
    ObjectSurface::deleteObject(object);
}

void RecordingSurface::polygon(std::span<const DevicePoint> points) {
    RecordedOp op{"Polygon"};
    op.points = {points.begin(), points.end()};
    pass(std::move(op), [&](DrawSurface& t) { t.polygon(points); });
}

void RecordingSurface::polyline(std::span<const DevicePoint> points) {
    RecordedOp op{"Polyline"};
    op.points = {points.begin(), points.end()};
    pass(std::move(op), [&](DrawSurface& t) { t.polyline(points); });
}

void RecordingSurface::moveTo(std::int32_t x, std::int32_t y) {
    RecordedOp op{"MoveToEx"};
    op.points = {{x, y}};
    pass(std::move(op), [&](DrawSurface& t) { t.moveTo(x, y); });
}

void RecordingSurface::lineTo(std::int32_t x, std::int32_t y) {
    RecordedOp op{"LineTo"};
    op.points = {{x, y}};
    pass(std::move(op), [&](DrawSurface& t) { t.lineTo(x, y); });
}

void RecordingSurface::setRasterOperation(int mode) {
    RecordedOp op{"SetROP2"};
    op.mode = mode;
    pass(std::move(op), [&](DrawSurface& t) { t.setRasterOperation(mode); });
}

void RecordingSurface::drawText(std::int32_t x, std::int32_t y, const std::string& text) {
    RecordedOp op{"TextOutA"};
    op.points = {{x, y}};
    op.text = text;
    pass(std::move(op), [&](DrawSurface& t) { t.drawText(x, y, text); });
}

TextExtent RecordingSurface::textExtent(const std::string& text) {
    TextExtent extent;
    if (target_) {
        extent = target_->textExtent(text);
    } else {
        const FontSpec& f = font();
        extent = {f.width * textColumns(text), f.height};
    }
    RecordedOp op{"GetTextExtentPoint32A"};
    op.text = text;
    op.extent = extent;
    record(std::move(op));
    return extent;
}

void RecordingSurface::beginSlot(int slot) {
    RecordedOp op{"Slot"};
    op.slot = slot;
    pass(std::move(op), [&](DrawSurface& t) { t.beginSlot(slot); });
}

void RecordingSurface::beginHeader() {
    pass(RecordedOp{"Header"}, [](DrawSurface& t) { t.beginHeader(); });
}

}  // namespace kavlo
