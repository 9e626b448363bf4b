#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "grid_array.h"
#include "view_steps.h"

namespace kavlo {

struct DevicePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const DevicePoint&, const DevicePoint&) = default;
};

struct TextExtent {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

// The one record every drawing step shares: the graph just read, its frame corners and work
// arrays; device scales are the profile's. Created by the
// application and handed to the routines that need it. Window-only state lives with its window.
struct GraphState {
    // Format file, line 4 (with the face names chosen by FNT).
    std::int16_t FNT = 0;
    std::string LabelFont;
    std::string CommentFont;
    // Format file, line 6 (FXD, FYD below).
    std::int16_t LWD = 0;
    std::int16_t IPL = 0;
    std::int16_t LDR = 0;
    std::int16_t XND = 0, YND = 0, ZND = 0;

    // Numeric file.
    std::int16_t NX = 0;
    std::int16_t NY = 0;

    float XWD = 0, YWD = 0, ZWD = 0;
    float XSF = 0;
    float YSP = 0;
    float CSZ = 0;
    float FXD = 0, FYD = 0;
    float XNS = 0, XMN = 0, XMX = 0;
    float YNS = 0, YMN = 0, YMX = 0;
    float ZNS = 0, ZMN = 0, ZMX = 0;
    float XLS = 0, YLS = 0, ZLS = 0;

    // Frame corners in page millimetres.
    float TopX = 0, TopY = 0;
    float OrgX = 0, OrgY = 0;
    float XEndX = 0, XEndY = 0;
    float YEndX = 0, YEndY = 0;

    float DataZMin = 0, DataZMax = 0;

    std::string XLB, YLB, ZLB;

    // Work arrays, sized by the numeric reader, used from index 1.
    Array1<DevicePoint> Pts;
    Array2<float> Z;
    Array2<float> SplA, SplIn;
    Array1<float> SplOut;
    Array2<float> XRefZ, XRefW;
    Array2<float> YRefZ, YRefW;
    Array1<DevicePoint> CellPts;
    // Work grids of the shaded surface, sized by it: the data nodes in page mm for shading.
    Array2<float> SfcX, SfcY, SfcZ;
    Array1<float> SplB, SplC, SplD;
    Array2<float> SplE;
};

}  // namespace kavlo
