#include "render_rig.h"

#include "core/projection.h"

namespace kavlo::test {

std::vector<RecordedOp> RenderRig::ops(const std::string& name) const {
    std::vector<RecordedOp> found;
    for (const auto& op : surface.ops()) {
        if (op.op == name) {
            found.push_back(op);
        }
    }
    return found;
}

DeviceProfile scaledScreen(float unitsPerMm) {
    DeviceProfile p = screenProfile();
    p.unitsPerMmX = p.unitsPerMmY = unitsPerMm;
    p.screenUnitsPerMmX = p.screenUnitsPerMmY = unitsPerMm;
    return p;
}

void flatFrameWithGrid(PlacedGraph& g, std::int16_t ipl, std::int16_t ldr) {
    g.XWD = 100;
    g.YWD = 80;
    g.ZWD = 60;
    g.XSF = 10;
    g.YSP = 5;
    g.FXD = 0;
    g.FYD = 0;
    g.LWD = 2;
    g.IPL = ipl;
    g.LDR = ldr;
    g.ZMN = 0;
    g.ZMX = 10;
    g.LabelFont = "Arial";
    g.CommentFont = "Courier New";
    placeFrame(g, 0, 25, 10);
    g.NX = 3;
    g.NY = 2;
    g.Z.resize(g.NX + 1, g.NY + 1);
    for (int j = 1; j <= 2; ++j) {
        for (int i = 1; i <= 3; ++i) {
            g.Z(i, j) = static_cast<float>((j - 1) * 3 + i - 1);
        }
    }
    g.DataZMin = 0;
    g.DataZMax = 5;
}

}  // namespace kavlo::test
