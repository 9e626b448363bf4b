#include "comments_header.h"

#include <optional>

#include "comment_wrap.h"
#include "core/comment_file.h"
#include "core/projection.h"
#include "core/slot_titles.h"
#include "page_text.h"

namespace kavlo {
namespace {

float wrapWidth(const RenderContext& ctx, const PlacedGraph& g) {
    if (!ctx.profile.wrapAtFrameExtent) {
        return g.XWD + 100;
    }
    return static_cast<float>(g.XWD * cosDeg(g.FXD) + g.YWD * cosDeg(g.FYD) + 100);
}

}  // namespace

DrawnComment drawComment(const RenderContext& ctx, const PlacedGraph& g, int slot,
                         const std::string& path, float top) {
    const DeviceProfile& p = ctx.profile;
    const CommentFile file = readCommentFile(path);
    if (file.access != FileAccess::Ok) {
        ctx.messages.show({commentErrorTitle(slot), fileAccessText(file.access)});
        // Only a file that is not there empties its box, and only the screen empties boxes.
        return {file.access == FileAccess::Missing && p.readRules.testExistence
                    ? CommentOutcome::Missing
                    : CommentOutcome::Unreadable,
                top};
    }
    const std::string& face = g.CommentFont;
    const float szw = 2 * g.CSZ * p.devRatioX;
    const float txh = 1.5f * szw / p.unitsPerMmY;
    const float width = wrapWidth(ctx, g);
    const float left = g.OrgX - 10;
    float y = top + 3 * txh;

    // The printer fits a font to each paragraph; the other devices keep one font.
    const bool fitted = p.fontRule == FontRule::FittedToScreen;
    std::optional<SelectedObject> textPen;
    if (p.textPenWidth > 0) {
        textPen.emplace(ctx.surface, ctx.surface.createPen(0, p.textPenWidth, kBlack));
    }
    std::optional<TextFont> drawFont;
    std::optional<TextFont> screenFont;
    if (!fitted) {
        drawFont.emplace(ctx.surface, p.unitsPerMmX, szw, 0, face);
    }
    if (p.fontRule == FontRule::ScreenMeasured) {
        screenFont.emplace(ctx.screenMeasure, p.screenUnitsPerMmX, 2 * g.CSZ, 0, face);
    }
    // Rows below what the output shows are neither fitted nor drawn; a long file would
    // otherwise cost a font fitting per paragraph nobody sees.
    for (const std::string& line : file.paragraphs) {
        if (y >= ctx.shownBottom) {
            break;
        }
        if (fitted) {
            drawFont.reset();
            drawFont.emplace(ctx.surface, p.unitsPerMmX, fitFontWidth(ctx, szw, 0, face, line), 0,
                             face);
        }
        const TextFont& meter = screenFont ? *screenFont : *drawFont;
        const auto measure = [&](const std::string& s) { return meter.measure(s); };
        for (std::string row : wrapCommentLine(line, width, measure)) {
            if (y >= ctx.shownBottom) {
                break;
            }
            if (!row.empty() && row.back() == '\n') {
                row.pop_back();
            }
            if (!row.empty()) {
                drawFont->draw(ctx.device(left, y), row);
            }
            y += txh;
        }
    }
    return {CommentOutcome::Drawn, y};
}

void drawHeader(const RenderContext& ctx, const HeaderSetup& header) {
    const auto size = headerSize(header.sizeIndex);
    if (!size) {
        return;
    }
    std::string face = headerFace(header.faceIndex);
    if (face.empty()) {
        face = headerFace(0);
    }
    PageText text(ctx, static_cast<float>(*size), ctx.profile.devRatioX, 0, face);
    text.fitTo(header.text);
    const float w = text.measure(header.text);
    float x = 10;
    switch (headerAlignment(header.alignmentIndex)) {
        case HeaderAlignment::Centre:
            x = 105 - w / 2;
            break;
        case HeaderAlignment::Right:
            x = 200 - w;
            break;
        case HeaderAlignment::Left:
            break;
    }
    text.draw(x, 10, header.text);
}

}  // namespace kavlo
