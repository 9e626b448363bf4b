#pragma once

#include <string>

#include "render_context.h"

namespace kavlo {

// A font made on a surface and kept selected while it lives; measures and draws with it.
class TextFont {
  public:
    // `width` is the average character width in device units; the cell is 1.5 times as high.
    TextFont(DrawSurface& surface, float unitsPerMmX, float width, int escapement,
             const std::string& face);

    // Unrotated width of the text in page mm.
    float measure(const std::string& text) const;
    void draw(DevicePoint at, const std::string& text) const;

  private:
    DrawSurface& surface_;
    float unitsPerMmX_;
    SelectedObject font_;
};

// The printer's font width for a text of screen width sz0 (device units): the width at which
// the text comes out on the printer as wide as on the screen.
float fitFontWidth(const RenderContext& ctx, float sz0, int escapement, const std::string& face,
                   const std::string& fitText);

// One kind of page text (a label, a comment, the header) of format size s, sized the device's
// way. `ratio` is the device ratio that applies to it (DevRatioX or DevRatioY).
class PageText {
  public:
    PageText(const RenderContext& ctx, float size, float ratio, int escapement, std::string face);

    // The page height of one line of this text, mm.
    float lineHeight() const;
    // Chooses the device font; the printer fits it so `fitText` is as wide as on the screen.
    void fitTo(const std::string& fitText);
    // Width of the text in page mm as the device places it.
    float measure(const std::string& text) const;
    // Draws the text with its first cell's top-left corner at the page point.
    void draw(float x, float y, const std::string& text) const;

  private:
    const RenderContext& ctx_;
    float size_;
    float szw_;
    int escapement_;
    std::string face_;
    float deviceWidth_;
};

}  // namespace kavlo
