#include "devices/pdf_palettes.h"

#include <gtest/gtest.h>

namespace kavlo {
namespace {

TEST(PdfPalettes, ShadesOfOneHueShareASpaceUntilItIsFull) {
    PdfPalettes palettes;
    const PdfPalettes::Entry red = palettes.find(Rgb{200, 0, 0});
    const PdfPalettes::Entry darkRed = palettes.find(Rgb{100, 0, 0});
    const PdfPalettes::Entry cyan = palettes.find(Rgb{0, 200, 200});
    EXPECT_EQ(red.palette, darkRed.palette);
    EXPECT_EQ(darkRed.index, red.index + 1);
    EXPECT_NE(cyan.palette, red.palette);
    EXPECT_EQ(cyan.index, 0);
    EXPECT_EQ(palettes.find(Rgb{200, 0, 0}).index, red.index) << "a colour keeps its entry";
    EXPECT_EQ(palettes.resources(),
              "/P0 [/Indexed /DeviceRGB 1 <C80000640000>] "
              "/P1 [/Indexed /DeviceRGB 0 <00C8C8>] ");

    // Three hundred shades of one red: one space holds 256 colours, the rest open another.
    PdfPalettes reds;
    for (int k = 0; k < 300; ++k) {
        const PdfPalettes::Entry entry = reds.find(
            Rgb{static_cast<std::uint8_t>(100 + k / 2), static_cast<std::uint8_t>(k % 2), 0});
        EXPECT_EQ(entry.palette, k < 256 ? 0 : 1) << k;
        EXPECT_EQ(entry.index, k % 256) << k;
    }
    EXPECT_NE(reds.resources().find("/P1 [/Indexed /DeviceRGB 43 <E40000E40100"),
              std::string::npos);
}

}  // namespace
}  // namespace kavlo
