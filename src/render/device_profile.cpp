#include "device_profile.h"

namespace kavlo {
namespace {

void setScreenUnits(DeviceProfile& p, float twipsPerPixel) {
    p.screenUnitsPerMmX = kTwipsPerMm / twipsPerPixel;
    p.screenUnitsPerMmY = kTwipsPerMm / twipsPerPixel;
}

}  // namespace

DeviceProfile screenProfile(float twipsPerPixel) {
    DeviceProfile p;
    p.kind = DeviceKind::Screen;
    p.name = "screen";
    setScreenUnits(p, twipsPerPixel);
    p.unitsPerMmX = p.screenUnitsPerMmX;
    p.unitsPerMmY = p.screenUnitsPerMmY;
    p.streamPen = {0, 1, 1};
    p.meshPen = {0, 1, 1};
    p.zEdgePen = {0, 2, 1};
    p.edgePen = {0, 2, 1};
    p.fontRule = FontRule::Screen;
    p.readRules.testExistence = true;
    return p;
}

DeviceProfile printerProfile(int dpi, float screenTwipsPerPixel) {
    DeviceProfile p;
    p.kind = DeviceKind::Printer;
    p.name = "printer";
    setScreenUnits(p, screenTwipsPerPixel);
    const float printerTwipsPerPixel = 1440.0f / static_cast<float>(dpi);
    p.unitsPerMmX = kTwipsPerMm / printerTwipsPerPixel;
    p.unitsPerMmY = p.unitsPerMmX;
    p.devRatioX = screenTwipsPerPixel / printerTwipsPerPixel;
    p.devRatioY = p.devRatioX;
    p.streamPen = {1, 0, 1};
    p.meshPen = {1, 0, 1};
    p.zEdgePen = {1, 3, 1};
    p.edgePen = {1, 3, 2};
    p.textPenWidth = 1;
    p.fontRule = FontRule::FittedToScreen;
    p.wrapAtFrameExtent = false;
    p.readRules.testExistence = false;
    return p;
}

DeviceProfile metafileProfile(float screenTwipsPerPixel) {
    DeviceProfile p;
    p.kind = DeviceKind::Metafile;
    p.name = "metafile";
    setScreenUnits(p, screenTwipsPerPixel);
    p.unitsPerMmX = kTwipsPerMm;
    p.unitsPerMmY = kTwipsPerMm;
    p.devRatioX = screenTwipsPerPixel;
    p.devRatioY = screenTwipsPerPixel;
    p.streamPen = {4, 0, 1};
    p.meshPen = {4, 0, 1};
    p.surfacePenWidth = 2;
    p.zEdgePen = {4, 12, 1};
    p.edgePen = {2, 6, 1};
    p.textPenWidth = 1;
    p.fontRule = FontRule::ScreenMeasured;
    p.readRules.testExistence = false;
    return p;
}

}  // namespace kavlo
