#include "frame_labels.h"

#include <algorithm>

#include "core/number_format.h"
#include "core/projection.h"
#include "page_text.h"

namespace kavlo {
namespace {

struct Vec {
    float x = 0;
    float y = 0;
};

Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y};
}
Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y};
}
Vec operator*(float k, Vec a) {
    return {k * a.x, k * a.y};
}

// Page directions of the x edge (down to the right) and the y edge (up to the right).
struct FrameAxes {
    Vec ex;
    Vec ey;
    explicit FrameAxes(const PlacedGraph& g)
        : ex{static_cast<float>(cosDeg(g.FXD)), static_cast<float>(sinDeg(g.FXD))},
          ey{static_cast<float>(cosDeg(g.FYD)), static_cast<float>(-sinDeg(g.FYD))} {}
};

int escapement(float degrees) {
    return deviceRound(degrees * 10.0);
}

class Labels {
  public:
    Labels(const RenderContext& ctx, const PlacedGraph& g)
        : ctx_(ctx),
          g_(g),
          axes_(g),
          origin_{g.OrgX, g.OrgY},
          xEnd_{g.XEndX, g.XEndY},
          yEnd_{g.YEndX, g.YEndY},
          top_{g.TopX, g.TopY} {}

    void drawXNumbers() {
        PageText text = numbers(g_.XNS, ctx_.profile.devRatioX, escapement(g_.FYD));
        const float txh = text.lineHeight();
        const std::string low = formatLabelNumber(g_.XMN, g_.XND);
        const std::string high = formatLabelNumber(g_.XMX, g_.XND);
        draw(text, low, origin_ - 1.1f * text.measure(low) * axes_.ey);
        draw(text, high, xEnd_ - 1.1f * text.measure(high) * axes_.ey - (txh / 1.3f) * axes_.ex);
    }

    void drawXLabel() {
        PageText text = title(g_.XLS, ctx_.profile.devRatioX, escapement(-g_.FXD), g_.XLB);
        const Vec middle = 0.5f * (origin_ + xEnd_);
        draw(text, g_.XLB,
             middle - (text.measure(g_.XLB) / 2) * axes_.ex - (text.lineHeight() / 2) * axes_.ey);
    }

    void drawYNumbers() {
        PageText text = numbers(g_.YNS, ctx_.profile.devRatioY, escapement(g_.FYD));
        const float txh = text.lineHeight();
        const std::string low = formatLabelNumber(g_.YMN, g_.YND);
        const std::string high = formatLabelNumber(g_.YMX, g_.YND);
        draw(text, low, xEnd_ - (text.measure(low) / 2) * axes_.ey + (txh / 4) * axes_.ex);
        draw(text, high, yEnd_ - (text.measure(high) / 2) * axes_.ey + (txh / 4) * axes_.ex);
    }

    void drawYLabel() {
        PageText text = title(g_.YLS, ctx_.profile.devRatioY, escapement(g_.FYD), g_.YLB);
        const Vec middle = 0.5f * (xEnd_ + yEnd_);
        draw(text, g_.YLB,
             middle - (text.measure(g_.YLB) / 2) * axes_.ey + (text.lineHeight() / 2) * axes_.ex);
    }

    void drawZNumbers() {
        PageText text = numbers(g_.ZNS, ctx_.profile.devRatioY, 0);
        const float txh = text.lineHeight();
        const float digit = text.measure("0");
        // A reversed z axis has its maximum on the floor.
        const bool upright = g_.LDR >= 1;
        const std::string low = formatLabelNumber(upright ? g_.ZMN : g_.ZMX, g_.ZND);
        const std::string high = formatLabelNumber(upright ? g_.ZMX : g_.ZMN, g_.ZND);
        draw(text, low, {g_.OrgX - text.measure(low) - digit / 2, g_.OrgY - txh / 1.5f});
        draw(text, high, {g_.TopX - text.measure(high) - digit / 2, g_.TopY - txh / 3});
    }

    void drawZLabel() {
        PageText text = title(g_.ZLS, ctx_.profile.devRatioY, 900, g_.ZLB);
        const Vec middle = 0.5f * (top_ + origin_);
        draw(text, g_.ZLB, {middle.x - 2 * text.lineHeight(), middle.y + text.measure(g_.ZLB) / 2});
    }

  private:
    // Numeric labels are fitted on "10" so all numbers of an axis share one size.
    PageText numbers(float size, float ratio, int esc) {
        PageText text(ctx_, size, ratio, esc, g_.LabelFont);
        text.fitTo("10");
        return text;
    }

    PageText title(float size, float ratio, int esc, const std::string& label) {
        PageText text(ctx_, size, ratio, esc, g_.LabelFont);
        text.fitTo(label);
        return text;
    }

    static void draw(const PageText& text, const std::string& s, Vec at) {
        text.draw(at.x, at.y, s);
    }

    const RenderContext& ctx_;
    const PlacedGraph& g_;
    FrameAxes axes_;
    Vec origin_;
    Vec xEnd_;
    Vec yEnd_;
    Vec top_;
};

void drawEdges(const RenderContext& ctx, const PlacedGraph& g) {
    DrawSurface& s = ctx.surface;
    const DevicePoint top = ctx.device(g.TopX, g.TopY);
    const DevicePoint origin = ctx.device(g.OrgX, g.OrgY);
    const DevicePoint xEnd = ctx.device(g.XEndX, g.XEndY);
    const DevicePoint yEnd = ctx.device(g.YEndX, g.YEndY);
    {
        const SelectedObject pen(s, s.createPen(0, ctx.profile.zEdgePen.width(g.LWD), kBlack));
        s.moveTo(top.x, top.y);
        s.lineTo(origin.x, origin.y);
    }
    const SelectedObject pen(s, s.createPen(0, ctx.profile.edgePen.width(g.LWD), kBlack));
    s.moveTo(origin.x, origin.y);
    s.lineTo(xEnd.x, xEnd.y);
    s.lineTo(yEnd.x, yEnd.y);
}

}  // namespace

float frameBottom(const PlacedGraph& g) {
    return std::max(g.XEndY, g.YEndY);
}

float pageBottomWithFrame(float pageBottom, const PlacedGraph& g) {
    // In the order the edges are drawn, so that a corner off every scale leaves the bottom as it
    // was.
    return std::max({pageBottom, g.XEndY, g.YEndY});
}

void drawFrame(const RenderContext& ctx, const PlacedGraph& g) {
    drawEdges(ctx, g);
    Labels labels(ctx, g);
    if (g.XNS > 0 && g.XMN != g.XMX) {
        labels.drawXNumbers();
    }
    if (g.XLS > 0) {
        labels.drawXLabel();
    }
    if (g.YNS > 0 && g.YMN != g.YMX) {
        labels.drawYNumbers();
    }
    if (g.YLS > 0) {
        labels.drawYLabel();
    }
    if (g.ZNS > 0) {
        labels.drawZNumbers();
    }
    if (g.ZLS > 0) {
        labels.drawZLabel();
    }
}

}  // namespace kavlo
