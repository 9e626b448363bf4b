#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <filesystem>
#include <optional>

#include "core/messages.h"
#include "core/page_setup.h"
#include "devices/screen_redraw.h"
#include "render/page_composition.h"
#include "render/page_pass.h"

namespace kavlo {

// The canvas window's client size for one of the seven window-size settings "a".."g", twips.
struct ViewSize {
    int widthTwips = 11907;
    int heightTwips = 10500;
    // Size A is as wide as the page, so it needs no horizontal scroll bar.
    bool horizontalBar = false;
};

// Nothing for a letter that is not one of the seven.
std::optional<ViewSize> viewSizeFor(char letter);

// Where the canvas window goes, its client size and the page it scrolls over, twips.
struct CanvasGeometry {
    float viewWidth = 0;
    float viewHeight = 0;
    float pageWidth = kPageWidthTwips;
    float pageHeight = kPageHeightTwips;
    float viewLeft = 1000;
    float viewTop = 500;
};

// What the windows share for one run of the program: the canvas's view steps, the page set-up
// the main window's boxes show, the application folder, the page last drawn, where the canvas
// window goes, and whether the path boxes show the ends of their paths.
struct Session {
    explicit Session(std::filesystem::path folder) : appFolder(std::move(folder)) {}

    // Composes the screen page from the set-up and the current view steps into `page`, with
    // messages to `messages`; clears the names the page clears. Reads every file again.
    PageOutcome composeScreenPage(MessageSink& messages);
    // The same after the view steps of slots from `firstChanged` on changed, and nothing else
    // since the last composition: the slots before it are taken as they were drawn.
    PageOutcome redrawScreenPage(MessageSink& messages, int firstChanged);

    // What every other output draws: the page as the screen shows it, view steps included.
    PageRequest pageRequest(const std::optional<PageSelection>& selection = std::nullopt) const {
        return {setup, steps, selection};
    }

    // Sets the canvas's view size from the window-size letter; other letters change nothing.
    void applyViewSize(char letter);

    ViewSteps steps;
    CanvasGeometry canvas;
    PageSetup setup;
    std::filesystem::path appFolder;
    QImage page;
    bool horizontalBar = false;
    // The main window's and the checker's "<=>": true while the boxes show the path ends.
    bool pathEndShown = false;
    // What the canvas's redraws keep from one to the next.
    ScreenRedraw redraw;
    // Where each slot's frame lies on `page`.
    PageOutcome pageOutcome;
};

}  // namespace kavlo
