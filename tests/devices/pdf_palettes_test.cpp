#include "devices/pdf_palettes.h"

#include <gtest/gtest.h>

namespace kavlo {
namespace {

TEST(PdfPalettes, ColoursOfLikeBrightnessShareASpaceUntilItIsFull) {
    PdfPalettes palettes;
    const PdfPalettes::Entry red = palettes.find(Rgb{200, 0, 0});
    const PdfPalettes::Entry darkRed = palettes.find(Rgb{100, 0, 0});
    const PdfPalettes::Entry cyan = palettes.find(Rgb{0, 200, 200});
    EXPECT_EQ(red.palette, cyan.palette);
    EXPECT_EQ(cyan.index, red.index + 1);
    EXPECT_NE(darkRed.palette, red.palette);
    EXPECT_EQ(darkRed.index, 0);
    EXPECT_EQ(palettes.find(Rgb{200, 0, 0}).index, red.index) << "a colour keeps its entry";
    EXPECT_EQ(palettes.resources(),
              "/P0 [/Indexed /DeviceRGB 1 <C8000000C8C8>] "
              "/P1 [/Indexed /DeviceRGB 0 <640000>] ");

    // Three hundred bright colours: one space holds 256, the rest open another.
    PdfPalettes bright;
    for (int k = 0; k < 300; ++k) {
        const PdfPalettes::Entry entry = bright.find(
            Rgb{static_cast<std::uint8_t>(130 + k / 3), static_cast<std::uint8_t>(k % 3), 0});
        EXPECT_EQ(entry.palette, k < 256 ? 0 : 1) << k;
        EXPECT_EQ(entry.index, k % 256) << k;
    }
    EXPECT_NE(bright.resources().find("/P1 [/Indexed /DeviceRGB 43 <D70100D70200"),
              std::string::npos);
}

}  // namespace
}  // namespace kavlo
