#include "render_rig.h"

#include <tuple>

#include "core/projection.h"
#include "render/plot_dispatcher.h"

namespace kavlo::test {

void RenderRig::plot(double zoomSteps) {
    if (const auto zscl = settleZScale(g, zoomSteps)) {
        plotGraph(ctx(), g, *zscl);
    }
}

DeviceProfile scaledScreen(float unitsPerMm) {
    DeviceProfile p = screenProfile();
    p.unitsPerMmX = p.unitsPerMmY = unitsPerMm;
    p.screenUnitsPerMmX = p.screenUnitsPerMmY = unitsPerMm;
    return p;
}

void flatFrameWithGrid(PlacedGraph& g, std::int16_t ipl, std::int16_t ldr) {
    std::tie(g.XWD, g.YWD, g.ZWD, g.XSF, g.YSP, g.FXD, g.FYD) =
        std::tuple(100.0f, 80.0f, 60.0f, 10.0f, 5.0f, 0.0f, 0.0f);
    std::tie(g.LWD, g.IPL, g.LDR) = std::tuple(std::int16_t{2}, ipl, ldr);
    std::tie(g.ZMN, g.ZMX, g.DataZMin, g.DataZMax) = std::tuple(0.0f, 10.0f, 0.0f, 5.0f);
    std::tie(g.LabelFont, g.CommentFont) = std::tuple("Arial", "Courier New");
    placeFrame(g, 0, 25, 10);
    setGridValues(g, 3, 2, {0, 1, 2, 3, 4, 5});
}

void setGridValues(PlacedGraph& g, int nx, int ny, const std::vector<float>& z) {
    g.NX = static_cast<std::int16_t>(nx);
    g.NY = static_cast<std::int16_t>(ny);
    g.Z.resize(nx + 1, ny + 1);
    for (int k = 0; k < nx * ny; ++k) {
        g.Z(k % nx + 1, k / nx + 1) = z[static_cast<std::size_t>(k)];
    }
}

}  // namespace kavlo::test
