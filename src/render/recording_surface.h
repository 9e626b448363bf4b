#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "object_surface.h"

namespace kavlo {

// One drawing call as a surface received it.
struct RecordedOp {
    explicit RecordedOp(std::string name) : op(std::move(name)) {}
    std::string op;
    ObjectId id = 0;
    int width = 0;
    int height = 0;
    int escapement = 0;
    int mode = 0;
    int slot = 0;
    Rgb rgb;
    std::vector<DevicePoint> points;  // the polygon or line, or the one point of a move or text
    std::string text;                 // the text drawn or measured, or a font's face
    TextExtent extent;
};

// One JSON object for the op, on one line.
std::string toJson(const RecordedOp& op);

// Logs every call and passes it on to a target surface, if there is one. Without a target it
// measures text itself: each character as wide as the font's width (two for full-width ones)
// and as high as the font's height.
class RecordingSurface final : public ObjectSurface {
  public:
    using Listener = std::function<void(const RecordedOp&)>;

    explicit RecordingSurface(DrawSurface* target = nullptr);

    // Every op from now on goes to the listener instead of the list.
    void setListener(Listener listener) { listener_ = std::move(listener); }
    const std::vector<RecordedOp>& ops() const { return ops_; }

    ObjectId createPen(int style, int width, Rgb color) override;
    ObjectId createSolidBrush(Rgb color) override;
    ObjectId createFont(int height, int width, int escapement, const std::string& face) override;
    ObjectId selectObject(ObjectId object) override;
    void deleteObject(ObjectId object) override;
    void polygon(std::span<const DevicePoint> points) override;
    void polyline(std::span<const DevicePoint> points) override;
    void moveTo(std::int32_t x, std::int32_t y) override;
    void lineTo(std::int32_t x, std::int32_t y) override;
    void setRasterOperation(int mode) override;
    void drawText(std::int32_t x, std::int32_t y, const std::string& text) override;
    TextExtent textExtent(const std::string& text) override;
    void beginSlot(int slot) override;
    void beginHeader() override;

  private:
    void record(RecordedOp op);
    // Records the op and makes the same call on the target, if there is one.
    template <class Call>
    void pass(RecordedOp op, Call call) {
        record(std::move(op));
        if (target_) {
            call(*target_);
        }
    }
    ObjectId created(ObjectId own, ObjectId targets);

    DrawSurface* target_;
    std::map<ObjectId, ObjectId> targetIds_;
    std::vector<RecordedOp> ops_;
    Listener listener_;
};

}  // namespace kavlo
