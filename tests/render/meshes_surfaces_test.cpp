#include <gtest/gtest.h>

#include "core/projection.h"
#include "core/slot_titles.h"
#include "render/grid_lines.h"
#include "render/plot_budget.h"
#include "render/plot_dispatcher.h"
#include "render_rig.h"

namespace kavlo {
namespace {

using test::RenderRig;
using Points = std::vector<DevicePoint>;

// A 100 x 80 mm floor at (25, 10) with the given angles, 2 device units a mm, and the grid
// `z` (x index fastest, y index 1 first) drawn as type `ldr` with `ipl` over z 0..10.
float setGrid(PlacedGraph& g, int nx, int ny, const std::vector<float>& z, std::int16_t ldr,
              std::int16_t ipl = 0, float fxd = 0, float fyd = 0, float zwd = 60) {
    test::flatFrameWithGrid(g, ipl, ldr);
    std::tie(g.ZWD, g.FXD, g.FYD) = std::tuple(zwd, fxd, fyd);
    placeFrame(g, 0, 25, 10);
    test::setGridValues(g, nx, ny, z);
    return g.ZWD / (g.ZMX - g.ZMN);
}

// Every `step`-th point of each drawn `op`: its corners when `step - 1` points are inserted
// per side.
std::vector<Points> corners(const RenderRig& rig, const char* op, std::size_t step) {
    std::vector<Points> found;
    for (const Points& points : rig.each(op, &RecordedOp::points)) {
        EXPECT_EQ((points.size() - 1) % step, 0u) << points.size() << " points";
        found.emplace_back();
        for (std::size_t i = 0; i < points.size(); i += step) {
            found.back().push_back(points[i]);
        }
    }
    return found;
}

// On the flat floor the corners of the one cell of (0 1 / 2 3) land on round device points:
// front-left, back-left, back-right and front-right.
const DevicePoint kFL{70, 150}, kBL{230, 126}, kBR{430, 114}, kFR{270, 138};

TEST(MeshTest, OneCellOutlinesAndTriangles) {
    const struct {
        void (*draw)(const RenderContext&, const PlacedGraph&, float);
        std::int16_t ldr, ipl;
        std::vector<Points> corners;
    } cases[] = {
        {drawRectangularMesh, 3, 0, {{kFL, kBL, kBR, kFR, kFL}}},
        {drawRectangularMesh, 3, 2, {{kFL, kBL, kBR, kFR, kFL}}},
        // The diagonal joins the (x min, y min) and (x max, y max) corners; the far triangle first.
        {drawTriangularMesh, 4, 2, {{kFL, kBL, kBR}, {kBR, kFR, kFL}}},
        // Reversed z: the value 0 hangs 60 mm above the floor, the others 12 mm a unit lower.
        {drawTriangularMesh,
         -4,
         0,
         {{{70, 30}, {230, 54}, {430, 66}}, {{430, 66}, {270, 42}, {70, 30}}}}};
    for (const auto& c : cases) {
        RenderRig rig(test::scaledScreen(2));
        c.draw(rig.ctx(), rig.g, setGrid(rig.g, 2, 2, {0, 1, 2, 3}, c.ldr, c.ipl));
        EXPECT_EQ(corners(rig, "Polygon", c.ipl + 1u), c.corners) << c.ldr << " " << c.ipl;
    }
}

TEST(MeshTest, CellsArePaintedFromTheBackRowXMinFirst) {
    RenderRig rig(test::scaledScreen(2));
    const float zscl = setGrid(rig.g, 3, 3, std::vector<float>(9, 1), 3, 0, 30, 30);
    drawRectangularMesh(rig.ctx(), rig.g, zscl);
    const auto cells = rig.each("Polygon", &RecordedOp::points);
    ASSERT_EQ(cells.size(), 4u);
    // Each outline starts at its cell's front-left grid point (x steps, y steps), 1 z unit high.
    const float starts[4][2] = {{0, 1}, {1, 1}, {0, 0}, {1, 0}};
    const PlacedGraph& g = rig.g;
    for (std::size_t k = 0; k < 4; ++k) {
        const auto [u, v] = starts[k];
        const auto expected =
            toDevice({g.OrgX + u * (g.XEndX - g.OrgX) / 2 + v * (g.YEndX - g.XEndX) / 2,
                      g.OrgY + u * (g.XEndY - g.OrgY) / 2 + v * (g.YEndY - g.XEndY) / 2 - zscl},
                     2, 2);
        EXPECT_NEAR(cells[k][0].x, expected.x, 1) << k;
        EXPECT_NEAR(cells[k][0].y, expected.y, 1) << k;
    }
}

TEST(MeshTest, PensPerDevice) {
    const std::tuple<DeviceProfile, int, int> cases[] = {
        {screenProfile(), 1, 1}, {printerProfile(600), 2, 1}, {metafileProfile(), 8, 2}};
    for (const auto& [profile, meshWidth, surfaceWidth] : cases) {
        // One pen and one brush for the whole mesh.
        RenderRig mesh(profile);
        drawRectangularMesh(mesh.ctx(), mesh.g, setGrid(mesh.g, 3, 2, {0, 1, 2, 3, 4, 5}, 3));
        EXPECT_EQ(mesh.each("CreatePen", &RecordedOp::width), std::vector<int>{meshWidth})
            << profile.name;
        EXPECT_EQ(mesh.each("CreateSolidBrush", &RecordedOp::rgb), std::vector<Rgb>{kWhite});

        // Two facets a cell, then one outline pen.
        RenderRig surface(profile);
        drawShadedSurface(surface.ctx(), surface.g,
                          setGrid(surface.g, 3, 2, {0, 1, 2, 3, 4, 5}, 6));
        EXPECT_EQ(surface.each("CreatePen", &RecordedOp::width), std::vector<int>(5, surfaceWidth))
            << profile.name;
        EXPECT_EQ(surface.ops("CreatePen").back().rgb, kBlack);
        EXPECT_EQ(surface.ops("SetROP2").at(0).mode, 13);
        EXPECT_EQ(mesh.surface.liveObjects() + surface.surface.liveObjects(), 0);
    }
}

TEST(SurfaceTest, FacetColoursFollowTheLight) {
    // Flat: every facet gets the light's height, 45 / sqrt(6600) = 0.5539 at 30 and 30 degrees.
    RenderRig flat(test::scaledScreen(2));
    drawShadedSurface(flat.ctx(), flat.g,
                      setGrid(flat.g, 3, 3, std::vector<float>(9, 4), 6, 1, 30, 30));
    EXPECT_EQ(flat.each("CreateSolidBrush", &RecordedOp::rgb),
              std::vector<Rgb>(8, {106, 141, 141}));

    // Reversed, values rising along x make a plane falling 100 mm along x, which faces the
    // light: b = 0.8269, both facets alike.
    RenderRig tilted(test::scaledScreen(2));
    drawShadedSurface(tilted.ctx(), tilted.g,
                      setGrid(tilted.g, 2, 2, {0, 10, 0, 10}, -8, 0, 30, 30, 100));
    EXPECT_EQ(tilted.each("CreateSolidBrush", &RecordedOp::rgb),
              std::vector<Rgb>(2, {211, 211, 159}));

    // With the y edge steeper the light is longer than 1: a facet facing it stops at 255.
    RenderRig bright(test::scaledScreen(2));
    drawShadedSurface(bright.ctx(), bright.g,
                      setGrid(bright.g, 2, 2, {6, 0, 15.2376f, 0.804f}, 6, 0, 0, 60, 100));
    EXPECT_EQ(bright.ops("CreateSolidBrush").at(0).rgb, (Rgb{218, 255, 255}));
}

TEST(SurfaceTest, OutlinesRunAlongTheFrontAndRightIntoTheCorner) {
    for (const std::int16_t ipl : {0, 2}) {
        RenderRig rig(test::scaledScreen(2));
        drawShadedSurface(rig.ctx(), rig.g, setGrid(rig.g, 2, 2, {0, 1, 2, 3}, 5, ipl));
        // The front from x min to x max, then the right side from the back.
        EXPECT_EQ(corners(rig, "Polyline", ipl + 1u),
                  (std::vector<Points>{{kFL, kFR}, {kBR, kFR}}));
    }
}

TEST(PlotBudgetTest, TheCostIsWhatThePlotDrawsAndAPageOverTheLimitIsRefused) {
    const std::vector<float> z{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2};
    for (const std::int16_t ldr : {1, -2, 3, 4, 5, -8}) {
        RenderRig rig(test::scaledScreen(2));
        const float zscl = setGrid(rig.g, 4, 3, z, ldr, 2);
        const PlotCost cost = plotCost(rig.g);
        rig.plot();
        double points = 0;
        for (const RecordedOp& op : rig.surface.ops()) {
            points += op.op == "Polygon" || op.op == "Polyline" ? op.points.size() : 0;
        }
        EXPECT_EQ(points, cost.points) << ldr;
        if (std::abs(ldr) >= 3) {
            const RefinedLines lines = refineAllLines(rig.ctx(), rig.g, zscl);
            double floats = 0;
            for (const Array2<float>* a :
                 {&lines.alongXx, &lines.alongXy, &lines.alongYx, &lines.alongYy}) {
                floats += (a->upper1() + 1.0) * (a->upper2() + 1.0);
            }
            EXPECT_EQ(4 * floats, cost.refinedBytes) << ldr;
        } else {
            EXPECT_EQ(cost.refinedBytes, 0) << ldr;
        }
    }

    // The page's points add up over its slots; one graph's refined lines count alone.
    RenderRig rig(test::scaledScreen(2));
    setGrid(rig.g, 4, 3, z, 3, 2);
    const PlotCost cost = plotCost(rig.g);
    rig.profile.plotLimits = {2 * cost.points, cost.refinedBytes};
    const double twoGraphs = chargePlot(rig.ctx(), rig.g, 2, chargePlot(rig.ctx(), rig.g, 1, 0));
    EXPECT_EQ(twoGraphs, 2 * cost.points);
    try {
        chargePlot(rig.ctx(), rig.g, 3, twoGraphs);
        ADD_FAILURE() << "a third graph passes the page's points";
    } catch (const PageTooLarge& refused) {
        EXPECT_EQ(
            refused.message(),
            (Message{
                graphErrorTitle(3),
                "グラフが大きすぎて描けません。4 × 3 の格子を IPL = 2 で細分すると、ページの描画は"
                "約 234 点になり、この出力の上限 156 点を超えます。格子の点数か IPL を減らして"
                "下さい。描画を中断します。"}));
    }
    rig.profile.plotLimits = {1e9, cost.refinedBytes - 1};
    EXPECT_THROW(chargePlot(rig.ctx(), rig.g, 1, 0), PageTooLarge);
}

}  // namespace
}  // namespace kavlo
