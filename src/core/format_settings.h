#pragma once

#include <cstdint>
#include <string>

namespace kavlo {

// The values of a format file as read and corrected, named as the file's users know them.
struct FormatSettings {
    // Line 4 (with the face names chosen by FNT).
    float XWD = 0, YWD = 0, ZWD = 0;
    float XSF = 0;
    float YSP = 0;
    float CSZ = 0;
    std::int16_t FNT = 0;
    std::string LabelFont;
    std::string CommentFont;
    // Line 6.
    float FXD = 0, FYD = 0;
    std::int16_t LWD = 0;
    std::int16_t IPL = 0;
    std::int16_t LDR = 0;
    // Lines 9, 11 and 13: the numeric labels of each axis.
    float XNS = 0, XMN = 0, XMX = 0;
    float YNS = 0, YMN = 0, YMX = 0;
    float ZNS = 0, ZMN = 0, ZMX = 0;
    std::int16_t XND = 0, YND = 0, ZND = 0;
    // Lines 16 to 20: the axis titles and their sizes.
    float XLS = 0, YLS = 0, ZLS = 0;
    std::string XLB, YLB, ZLB;
};

}  // namespace kavlo
