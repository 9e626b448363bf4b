#pragma once

#include <string>

#include "core/read_rules.h"
#include "draw_surface.h"

namespace kavlo {

enum class DeviceKind { Screen, Printer, Metafile };

// A pen width in device units as a rule of the format's line width LWD: (a·LWD + b) / d.
struct PenRule {
    int perLineWidth = 0;
    int add = 1;
    int divisor = 1;
    int width(int lineWidth) const { return (perLineWidth * lineWidth + add) / divisor; }
};

// How a device sizes its text fonts.
enum class FontRule {
    Screen,          // width 2·s pixels, measured on the screen itself
    FittedToScreen,  // 2·s·DevRatio, fitted so the text is as wide as on the screen
    ScreenMeasured,  // 2·s·DevRatio, placed by widths measured with the screen font
};

// What the plots of one page may cost a device, so that a page it accepts is drawn within about
// 1 GB of memory and 20 s: the points of all its plots' drawing calls, and the bytes the refined
// grid lines of one mesh or surface hold while it is drawn. Measured on two shared cores, the
// slowest output (the PNG page) draws about 3 million points a second, and the program itself
// takes some 150 MB of address space before it draws.
struct PlotLimits {
    double points = 4e7;
    double refinedBytes = 640.0 * (1 << 20);
};

// Everything in which the screen, the printer and the metafile draw a page differently.
struct DeviceProfile {
    DeviceKind kind = DeviceKind::Screen;
    std::string name;
    float unitsPerMmX = 0;
    float unitsPerMmY = 0;
    // Device units per screen pixel: 1 on the screen itself.
    float devRatioX = 1;
    float devRatioY = 1;
    // Screen pixels per mm, for the widths measured with screen fonts.
    float screenUnitsPerMmX = 0;
    float screenUnitsPerMmY = 0;
    Rgb background = kWhite;
    PenRule streamPen;
    PenRule meshPen;
    // Facets and outlines of shaded surfaces.
    int surfacePenWidth = 1;
    PenRule zEdgePen;
    PenRule edgePen;
    // A black pen of this width is current while text is drawn; 0 leaves the pen alone.
    int textPenWidth = 0;
    FontRule fontRule = FontRule::Screen;
    // Comment rows wrap at the frame's horizontal extent + 100 mm, or at XWD + 100 mm.
    bool wrapAtFrameExtent = true;
    ReadRules readRules;
    PlotLimits plotLimits;
};

constexpr float kTwipsPerMm = 56.69291f;
constexpr float kScreenTwipsPerPixel = 15;

// Window sizes and places given in twips, in whole screen pixels.
constexpr int screenPixels(float twips) {
    return static_cast<int>(twips / kScreenTwipsPerPixel + 0.5f);
}
// The A4 page in twips, the units of the vector picture.
constexpr int kPageWidthTwips = 11907;
constexpr int kPageHeightTwips = 16840;

DeviceProfile screenProfile(float twipsPerPixel = kScreenTwipsPerPixel);
DeviceProfile printerProfile(int dpi, float screenTwipsPerPixel = kScreenTwipsPerPixel);
DeviceProfile metafileProfile(float screenTwipsPerPixel = kScreenTwipsPerPixel);

}  // namespace kavlo
