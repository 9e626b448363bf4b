#include "core/spline.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/graph_state.h"
#include "core/numeric_reader.h"

namespace kavlo {
namespace {

constexpr float kUntouched = -12345.0f;

TEST(SplineTest, RefinesTheLineOfTheChosenDirection) {
    const std::vector<float> squares = {0, 1, 4, 9, 16};
    const std::vector<float> halves = {0, 0.25f, 1, 2.25f, 4, 6.25f, 9, 12.25f, 16};
    const std::vector<float> firstHalves(halves.begin(), halves.begin() + 5);
    const std::vector<float> thirds = {0, 1.0f / 9, 4.0f / 9, 1, 16.0f / 9, 25.0f / 9, 4};
    const std::vector<float> peak = {0, -0.171875f, 0, 0.609375f, 1, 0.609375f, 0, -0.171875f, 0};
    const struct {
        const char* name;
        std::int16_t nx, ny, ipl, lxy;
        std::vector<float> line, expected;
    } cases[] = {
        {"no insertion copies", 4, 2, 0, 1, {3, -1, 7.5f, 2}, {3, -1, 7.5f, 2}},
        {"two points stay straight", 2, 2, 3, 1, {0, 1}, {0, 0.25f, 0.5f, 0.75f, 1}},
        {"quadratic is exact", 5, 3, 1, 1, squares, halves},
        {"quadratic, two insertions", 3, 2, 2, 1, {0, 1, 4}, thirds},
        {"overshoot next to a peak", 5, 2, 1, 1, {0, 0, 1, 0, 0}, peak},
        // Only lxy 1 takes NX; any other value takes NY, whichever is larger.
        {"y line", 5, 3, 1, 2, squares, firstHalves},
        {"lxy 0 is a y line", 5, 3, 1, 0, squares, firstHalves},
        {"x line in a tall grid", 3, 5, 1, 1, squares, firstHalves},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GraphState g;
        g.NX = c.nx;
        g.NY = c.ny;
        g.IPL = c.ipl;
        g.LDR = 1;
        sizeWorkArrays(g);
        for (int j = 0; j <= g.SplOut.upper(); ++j) {
            g.SplOut(j) = kUntouched;
        }
        // The work arrays are shared between lines: a rough line first must leave no trace.
        for (const bool rough : {true, false}) {
            for (std::size_t i = 0; i < c.line.size(); ++i) {
                g.SplIn(static_cast<int>(i) + 1, 0) = rough ? (i % 2 ? 50.0f : -9.5f) : c.line[i];
            }
            refineGridLine(g, c.lxy);
        }
        const int count = static_cast<int>(c.expected.size());
        for (int j = 1; j <= count; ++j) {
            EXPECT_NEAR(g.SplOut(j), c.expected[j - 1], 1e-6) << "at output point " << j;
        }
        if (count < g.SplOut.upper()) {
            EXPECT_EQ(g.SplOut(count + 1), kUntouched) << "written past the line";
        }
    }
}

}  // namespace
}  // namespace kavlo
