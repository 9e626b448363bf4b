#include <gtest/gtest.h>

#include "core/numeric_reader.h"
#include "core/projection.h"
#include "render/plot_dispatcher.h"
#include "render_rig.h"

namespace kavlo {
namespace {

using test::RenderRig;
using Points = std::vector<DevicePoint>;

// A 100 x 80 mm floor at (25, 10) with the given angles, 2 device units a mm, and the grid
// `z` (x index fastest, y index 1 first) drawn as type `ldr` with `ipl` over z 0..10.
float setGrid(GraphState& g, int nx, int ny, const std::vector<float>& z, std::int16_t ldr,
              std::int16_t ipl = 0, float fxd = 0, float fyd = 0, float zwd = 60) {
    g.XWD = 100;
    g.YWD = 80;
    g.ZWD = zwd;
    g.XSF = 10;
    g.YSP = 5;
    g.FXD = fxd;
    g.FYD = fyd;
    g.LWD = 2;
    g.IPL = ipl;
    g.LDR = ldr;
    g.ZMN = 0;
    g.ZMX = 10;
    applyTurnAndOrigin(g, 1, 25, 10);
    Axs(g);
    g.NX = static_cast<std::int16_t>(nx);
    g.NY = static_cast<std::int16_t>(ny);
    sizeWorkArrays(g);
    g.Z.resize(nx + 1, ny + 1);
    for (int j = 1; j <= ny; ++j) {
        for (int i = 1; i <= nx; ++i) {
            g.Z(i, j) = z[static_cast<std::size_t>((j - 1) * nx + i - 1)];
        }
    }
    return g.ZWD / (g.ZMX - g.ZMN);
}

std::vector<Points> polygons(const RenderRig& rig) {
    std::vector<Points> found;
    for (const auto& op : rig.ops("Polygon")) {
        found.push_back(op.points);
    }
    return found;
}

// On the flat floor the corners of the one cell of (0 1 / 2 3) land on round device points:
// front-left (70, 150), back-left (230, 126), back-right (430, 114), front-right (270, 138).
TEST(MeshTest, OneCellOutlinesAndTriangles) {
    RenderRig rect(test::scaledScreen(2));
    RctDrw(rect.ctx(), setGrid(rect.g, 2, 2, {0, 1, 2, 3}, 3));
    EXPECT_EQ(polygons(rect),
              (std::vector<Points>{{{70, 150}, {230, 126}, {430, 114}, {270, 138}, {70, 150}}}));

    // The diagonal joins the (x min, y min) and (x max, y max) corners; the far triangle first.
    RenderRig tri(test::scaledScreen(2));
    TriDrw(tri.ctx(), setGrid(tri.g, 2, 2, {0, 1, 2, 3}, -4));
    const auto reversed = polygons(tri);
    ASSERT_EQ(reversed.size(), 2u);
    EXPECT_EQ(reversed[0].size(), 3u);
    EXPECT_EQ(reversed[0].front(), reversed[1].back());
    EXPECT_EQ(reversed[0].back(), reversed[1].front());
    // Reversed z: the value 0 hangs 60 mm above the floor at the front-left corner.
    EXPECT_EQ(reversed[0].front(), (DevicePoint{70, 30}));

    // Two points inserted per side: 13-point cells, 7-point triangles, corners in place.
    RenderRig refined(test::scaledScreen(2));
    TriDrw(refined.ctx(), setGrid(refined.g, 2, 2, {0, 1, 2, 3}, 4, 2));
    const auto halves = polygons(refined);
    ASSERT_EQ(halves.size(), 2u);
    EXPECT_EQ(halves[0].size(), 7u);
    EXPECT_EQ(halves[1].size(), 7u);
    EXPECT_EQ(halves[0][0], (DevicePoint{70, 150}));
    EXPECT_EQ(halves[0][3], (DevicePoint{230, 126}));
    EXPECT_EQ(halves[0][6], (DevicePoint{430, 114}));
    EXPECT_EQ(halves[1][3], (DevicePoint{270, 138}));
    EXPECT_EQ(halves[1][6], (DevicePoint{70, 150}));
    RenderRig cells(test::scaledScreen(2));
    RctDrw(cells.ctx(), setGrid(cells.g, 2, 2, {0, 1, 2, 3}, 3, 2));
    EXPECT_EQ(polygons(cells).at(0).size(), 13u);
}

TEST(MeshTest, CellsArePaintedFromTheBackRowXMinFirst) {
    RenderRig rig(test::scaledScreen(2));
    const float zscl = setGrid(rig.g, 3, 3, std::vector<float>(9, 1), 3, 0, 30, 30);
    RctDrw(rig.ctx(), zscl);
    const auto cells = polygons(rig);
    ASSERT_EQ(cells.size(), 4u);
    // Each outline starts at its cell's front-left grid point (x index, y index).
    const int corners[4][2] = {{1, 2}, {2, 2}, {1, 1}, {2, 1}};
    for (std::size_t k = 0; k < 4; ++k) {
        const PagePoint p = gridPagePoint(rig.g, static_cast<float>(corners[k][0] - 1),
                                          static_cast<float>(corners[k][1] - 1), 1, zscl);
        const DevicePoint expected = toDevice(p, 2, 2);
        EXPECT_NEAR(cells[k][0].x, expected.x, 1) << k;
        EXPECT_NEAR(cells[k][0].y, expected.y, 1) << k;
    }
}

TEST(MeshTest, PensPerDevice) {
    struct Case {
        DeviceProfile profile;
        int mesh;
        int surface;
    };
    const Case cases[] = {
        {screenProfile(), 1, 1}, {printerProfile(600), 2, 1}, {metafileProfile(), 8, 2}};
    for (const auto& c : cases) {
        RenderRig mesh(c.profile);
        RctDrw(mesh.ctx(), setGrid(mesh.g, 3, 2, {0, 1, 2, 3, 4, 5}, 3));
        const auto meshPens = mesh.ops("CreatePen");
        ASSERT_EQ(meshPens.size(), 1u);  // one pen and one brush for the whole mesh
        EXPECT_EQ(meshPens[0].width, c.mesh) << c.profile.name;
        EXPECT_EQ(mesh.ops("CreateSolidBrush").at(0).rgb, kWhite);

        RenderRig surface(c.profile);
        SfcDrw(surface.ctx(), setGrid(surface.g, 3, 2, {0, 1, 2, 3, 4, 5}, 6));
        const auto pens = surface.ops("CreatePen");
        ASSERT_EQ(pens.size(), 2u * 2u + 1u);  // two facets a cell, one outline pen
        for (const auto& pen : pens) {
            EXPECT_EQ(pen.width, c.surface) << c.profile.name;
        }
        EXPECT_EQ(pens.back().rgb, kBlack);
        EXPECT_EQ(surface.ops("SetROP2").at(0).mode, 13);
        EXPECT_EQ(mesh.surface.liveObjects() + surface.surface.liveObjects(), 0);
    }
}

std::vector<Rgb> facetColours(const RenderRig& rig) {
    std::vector<Rgb> colours;
    for (const auto& op : rig.ops("CreateSolidBrush")) {
        colours.push_back(op.rgb);
    }
    return colours;
}

TEST(SurfaceTest, FacetColoursFollowTheLight) {
    // Flat: every facet gets the light's height, 45 / sqrt(6600) = 0.5539 at 30 and 30 degrees.
    RenderRig flat(test::scaledScreen(2));
    SfcDrw(flat.ctx(), setGrid(flat.g, 3, 3, std::vector<float>(9, 4), 6, 1, 30, 30));
    const auto flatColours = facetColours(flat);
    ASSERT_EQ(flatColours.size(), 8u);
    for (const Rgb& c : flatColours) {
        EXPECT_EQ(c, (Rgb{106, 141, 141}));
    }

    // Reversed, values rising along x make a plane falling 100 mm along x, which faces the
    // light: b = 0.8269, both facets alike.
    RenderRig tilted(test::scaledScreen(2));
    SfcDrw(tilted.ctx(), setGrid(tilted.g, 2, 2, {0, 10, 0, 10}, -8, 0, 30, 30, 100));
    EXPECT_EQ(facetColours(tilted), (std::vector<Rgb>{{211, 211, 159}, {211, 211, 159}}));

    // With the y edge steeper the light is longer than 1: a facet facing it stops at 255.
    RenderRig bright(test::scaledScreen(2));
    SfcDrw(bright.ctx(), setGrid(bright.g, 2, 2, {6, 0, 15.2376f, 0.804f}, 6, 0, 0, 60, 100));
    EXPECT_EQ(facetColours(bright).at(0), (Rgb{218, 255, 255}));
}

TEST(SurfaceTest, OutlinesRunAlongTheFrontAndRightIntoTheCorner) {
    RenderRig rig(test::scaledScreen(2));
    SfcDrw(rig.ctx(), setGrid(rig.g, 2, 2, {0, 1, 2, 3}, 5));
    const auto lines = rig.ops("Polyline");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points, (Points{{70, 150}, {270, 138}}));   // front, x min to x max
    EXPECT_EQ(lines[1].points, (Points{{430, 114}, {270, 138}}));  // right, back to front

    RenderRig refined(test::scaledScreen(2));
    SfcDrw(refined.ctx(), setGrid(refined.g, 2, 2, {0, 1, 2, 3}, 5, 2));
    const auto refinedLines = refined.ops("Polyline");
    ASSERT_EQ(refinedLines.size(), 2u);
    EXPECT_EQ(refinedLines[0].points.size(), 4u);
    EXPECT_EQ(refinedLines[0].points.back(), (DevicePoint{270, 138}));
    EXPECT_EQ(refinedLines[1].points.back(), (DevicePoint{270, 138}));
}

}  // namespace
}  // namespace kavlo
