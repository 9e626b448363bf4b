#include "comments_header.h"

#include <fstream>
#include <iterator>
#include <optional>

#include "comment_wrap.h"
#include "core/projection.h"
#include "core/slot_titles.h"
#include "core/text_decoding.h"
#include "core/text_file.h"
#include "page_text.h"

namespace kavlo {
namespace {

constexpr const char* kFileMissing = "ファイルが存在しません。ご確認ください。 ";
constexpr const char* kFileUnreadable = "ファイルを読み込めません。ご確認ください。 ";

std::optional<std::string> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

// Paragraphs end at CR LF or CR; a bare line feed stays inside its paragraph and ends a row.
std::vector<std::string> paragraphs(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t cr = text.find('\r', start);
        if (cr == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, cr - start));
        start = cr + 1 + (cr + 1 < text.size() && text[cr + 1] == '\n' ? 1 : 0);
    }
    return lines;
}

float wrapWidth(const RenderContext& ctx) {
    const GraphState& g = ctx.g;
    if (!ctx.profile.wrapAtFrameExtent) {
        return g.XWD + 100;
    }
    return static_cast<float>(g.XWD * cosDeg(g.FXD) + g.YWD * cosDeg(g.FYD) + 100);
}

}  // namespace

CommentOutcome Cmt(const RenderContext& ctx, int slot, const std::string& path) {
    GraphState& g = ctx.g;
    const DeviceProfile& p = ctx.profile;
    if (p.readRules.testExistence && !dataFileExists(path)) {
        ctx.messages.show({commentErrorTitle(slot), kFileMissing});
        return CommentOutcome::Missing;
    }
    const auto bytes = readAll(path);
    if (!bytes) {
        ctx.messages.show({commentErrorTitle(slot), kFileUnreadable});
        return CommentOutcome::Unreadable;
    }
    const std::string& face = g.CommentFont;
    const float szw = 2 * g.CSZ * p.devRatioX;
    const float txh = 1.5f * szw / p.unitsPerMmY;
    const float width = wrapWidth(ctx);
    const float left = g.OrgX - 10;
    float y = g.FrameBottom + 3 * txh;

    // The printer fits a font to each paragraph; the other devices keep one font.
    const bool fitted = p.fontRule == FontRule::FittedToScreen;
    std::optional<SelectedObject> textPen;
    if (p.textPenWidth > 0) {
        textPen.emplace(ctx.surface, ctx.surface.CreatePen(0, p.textPenWidth, kBlack));
    }
    std::optional<TextFont> drawFont;
    std::optional<TextFont> screenFont;
    if (!fitted) {
        drawFont.emplace(ctx.surface, p.unitsPerMmX, szw, 0, face);
    }
    if (p.fontRule == FontRule::ScreenMeasured) {
        screenFont.emplace(ctx.screenMeasure, p.screenUnitsPerMmX, 2 * g.CSZ, 0, face);
    }
    for (const std::string& line : paragraphs(decodeText(*bytes).utf8)) {
        if (fitted) {
            drawFont.reset();
            drawFont.emplace(ctx.surface, p.unitsPerMmX, fitFontWidth(ctx, szw, 0, face, line), 0,
                             face);
        }
        const TextFont& meter = screenFont ? *screenFont : *drawFont;
        const auto measure = [&](const std::string& s) { return meter.measure(s); };
        for (std::string row : wrapCommentLine(line, width, measure)) {
            if (!row.empty() && row.back() == '\n') {
                row.pop_back();
            }
            if (!row.empty()) {
                drawFont->draw(ctx.device(left, y), row);
            }
            y += txh;
        }
    }
    g.PageBottom = std::max(g.PageBottom, y);
    return CommentOutcome::Drawn;
}

void Header(const RenderContext& ctx, const HeaderSetup& header) {
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
