#include "session.h"

#include <array>
#include <new>

#include "devices/output_device.h"
#include "render/plot_budget.h"

namespace kavlo {

std::optional<ViewSize> viewSizeFor(char letter) {
    static constexpr std::array<ViewSize, 7> kSizes{{
        {11907, 10500, false},
        {11500, 10000, true},
        {11000, 9500, true},
        {10500, 9000, true},
        {10000, 8500, true},
        {10000, 8000, true},
        {10000, 7500, true},
    }};
    if (letter < 'a' || letter > 'g') {
        return std::nullopt;
    }
    return kSizes[static_cast<std::size_t>(letter - 'a')];
}

void Session::applyViewSize(char letter) {
    if (const auto size = viewSizeFor(letter)) {
        canvas.viewWidth = static_cast<float>(size->widthTwips);
        canvas.viewHeight = static_cast<float>(size->heightTwips);
        horizontalBar = size->horizontalBar;
    }
}

PageOutcome Session::composeScreenPage(MessageSink& messages) {
    redraw.forget();
    return redrawScreenPage(messages, 1);
}

PageOutcome Session::redrawScreenPage(MessageSink& messages, int firstChanged) {
    PageOutcome outcome;
    // A page too large to draw, or one the memory cannot hold, leaves the canvas empty.
    try {
        page = redraw.draw(steps, setup, messages, outcome, firstChanged);
    } catch (const PageTooLarge& refused) {
        page = QImage();
        messages.show(refused.message());
    } catch (const std::bad_alloc&) {
        page = QImage();
        messages.show(
            {"Kavlo",
             "メモリーが足りないため描画を中断しました。格子の点数か IPL を減らして下さい。",
             MessageIcon::Exclamation});
    }
    pageOutcome = page.isNull() ? PageOutcome{} : outcome;
    return outcome;
}

}  // namespace kavlo
