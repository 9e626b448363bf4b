#include "page_text.h"

#include "core/projection.h"

namespace kavlo {
namespace {

ObjectId createFont(DrawSurface& surface, float width, int escapement, const std::string& face) {
    return surface.createFont(deviceRound(1.5 * width), deviceRound(width), escapement, face);
}

}  // namespace

TextFont::TextFont(DrawSurface& surface, float unitsPerMmX, float width, int escapement,
                   const std::string& face)
    : surface_(surface),
      unitsPerMmX_(unitsPerMmX),
      font_(surface, createFont(surface, width, escapement, face)) {}

float TextFont::measure(const std::string& text) const {
    return static_cast<float>(surface_.textExtent(text).cx) / unitsPerMmX_;
}

void TextFont::draw(DevicePoint at, const std::string& text) const {
    surface_.drawText(at.x, at.y, text);
}

float fitFontWidth(const RenderContext& ctx, float sz0, int escapement, const std::string& face,
                   const std::string& fitText) {
    const DeviceProfile& p = ctx.profile;
    const float target =
        TextFont(ctx.screenMeasure, p.screenUnitsPerMmX, sz0 / p.devRatioX, escapement, face)
            .measure(fitText);
    float previousWidth = 0;
    float previousExtent = 0;
    for (int i = 1; i <= 100; ++i) {
        const float trial = (0.75f + 0.01f * static_cast<float>(i)) * sz0;
        const float extent =
            TextFont(ctx.surface, p.unitsPerMmX, trial, escapement, face).measure(fitText);
        if (extent >= target) {
            if (extent == previousExtent) {
                return trial;
            }
            return previousWidth +
                   (target - previousExtent) * (trial - previousWidth) / (extent - previousExtent);
        }
        previousWidth = trial;
        previousExtent = extent;
    }
    return 1.75f * sz0;
}

PageText::PageText(const RenderContext& ctx, float size, float ratio, int escapement,
                   std::string face)
    : ctx_(ctx),
      size_(size),
      szw_(2 * size * ratio),
      escapement_(escapement),
      face_(std::move(face)),
      deviceWidth_(szw_) {}

float PageText::lineHeight() const {
    return 1.5f * szw_ / ctx_.profile.unitsPerMmY;
}

void PageText::fitTo(const std::string& fitText) {
    if (ctx_.profile.fontRule == FontRule::FittedToScreen) {
        deviceWidth_ = fitFontWidth(ctx_, szw_, escapement_, face_, fitText);
    }
}

float PageText::measure(const std::string& text) const {
    if (ctx_.profile.fontRule == FontRule::ScreenMeasured) {
        return TextFont(ctx_.screenMeasure, ctx_.profile.screenUnitsPerMmX, 2 * size_, escapement_,
                        face_)
            .measure(text);
    }
    return TextFont(ctx_.surface, ctx_.profile.unitsPerMmX, deviceWidth_, escapement_, face_)
        .measure(text);
}

void PageText::draw(float x, float y, const std::string& text) const {
    const TextFont font(ctx_.surface, ctx_.profile.unitsPerMmX, deviceWidth_, escapement_, face_);
    if (ctx_.profile.textPenWidth > 0) {
        const SelectedObject pen(ctx_.surface,
                                 ctx_.surface.createPen(0, ctx_.profile.textPenWidth, kBlack));
        font.draw(ctx_.device(x, y), text);
    } else {
        font.draw(ctx_.device(x, y), text);
    }
}

}  // namespace kavlo
