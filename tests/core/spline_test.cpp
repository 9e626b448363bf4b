#include "core/spline.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/graph_state.h"
#include "core/numeric_reader.h"

namespace kavlo {
namespace {

constexpr float kUntouched = -12345.0f;

// A state sized for an nx x ny grid whose output array is pre-filled with a marker, so that
// writes past the refined line show up.
GraphState makeState(int nx, int ny, int ipl) {
    GraphState g;
    g.NX = static_cast<std::int16_t>(nx);
    g.NY = static_cast<std::int16_t>(ny);
    g.IPL = static_cast<std::int16_t>(ipl);
    g.LDR = 1;
    sizeWorkArrays(g);
    for (int j = 0; j <= g.SplOut.upper(); ++j) {
        g.SplOut(j) = kUntouched;
    }
    return g;
}

std::vector<float> refine(GraphState& g, const std::vector<float>& line, std::int16_t lxy) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        g.SplIn(static_cast<int>(i) + 1, 0) = line[i];
    }
    Spl(g, lxy);
    const int n = lxy == 1 ? g.NX : g.NY;
    const int count = (n - 1) * (g.IPL + 1) + 1;
    std::vector<float> out;
    for (int j = 1; j <= count; ++j) {
        out.push_back(g.SplOut(j));
    }
    // Nothing beyond the refined line is written.
    if (count + 1 <= g.SplOut.upper()) {
        EXPECT_EQ(g.SplOut(count + 1), kUntouched);
    }
    return out;
}

void expectLine(const std::vector<float>& actual, const std::vector<float>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t j = 0; j < expected.size(); ++j) {
        EXPECT_NEAR(actual[j], expected[j], 1e-6) << "at output point " << j + 1;
    }
}

TEST(SplineTest, WorkedExamples) {
    struct Case {
        const char* name;
        int ipl;
        std::vector<float> line;
        std::vector<float> expected;
    };
    const std::vector<Case> cases = {
        {"no insertion copies", 0, {3, -1, 7.5f, 2}, {3, -1, 7.5f, 2}},
        {"two points stay straight", 3, {0, 1}, {0, 0.25f, 0.5f, 0.75f, 1}},
        {"falling straight line", 1, {2, -2}, {2, 0, -2}},
        {"quadratic, three points", 1, {0, 1, 4}, {0, 0.25f, 1, 2.25f, 4}},
        {"quadratic, four points", 1, {0, 1, 4, 9}, {0, 0.25f, 1, 2.25f, 4, 6.25f, 9}},
        {"quadratic, two insertions",
         2,
         {0, 1, 4},
         {0, 1.0f / 9, 4.0f / 9, 1, 16.0f / 9, 25.0f / 9, 4}},
        {"overshoot next to a peak",
         1,
         {0, 0, 1, 0, 0},
         {0, -0.171875f, 0, 0.609375f, 1, 0.609375f, 0, -0.171875f, 0}},
        {"constant", 4, {2.5f, 2.5f, 2.5f}, std::vector<float>(11, 2.5f)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int n = static_cast<int>(c.line.size());
        GraphState g = makeState(n, 2, c.ipl);
        expectLine(refine(g, c.line, 1), c.expected);
    }
}

TEST(SplineTest, LineLengthFollowsDirectionNotLargerSize) {
    const std::vector<float> squares = {0, 1, 4, 9, 16};
    {
        SCOPED_TRACE("x line of 5 in a 5 x 3 grid");
        GraphState g = makeState(5, 3, 1);
        expectLine(refine(g, squares, 1), {0, 0.25f, 1, 2.25f, 4, 6.25f, 9, 12.25f, 16});
    }
    for (const std::int16_t lxy : {std::int16_t{2}, std::int16_t{0}, std::int16_t{-1}}) {
        SCOPED_TRACE(testing::Message() << "y line with lxy " << lxy << " in a 5 x 3 grid");
        GraphState g = makeState(5, 3, 1);
        expectLine(refine(g, squares, lxy), {0, 0.25f, 1, 2.25f, 4});
    }
    {
        SCOPED_TRACE("x line of 3 in a 3 x 5 grid");
        GraphState g = makeState(3, 5, 1);
        expectLine(refine(g, squares, 1), {0, 0.25f, 1, 2.25f, 4});
    }
}

TEST(SplineTest, GridValuesPassThroughAndCallsDoNotInteract) {
    const std::vector<float> rough = {1.75f, -3.5f, 12.125f, 0.3f, 0.3f, -7.0f, 100.0f};
    GraphState g = makeState(7, 7, 3);
    const auto out = refine(g, rough, 2);
    ASSERT_EQ(out.size(), 25u);
    for (std::size_t i = 0; i < rough.size(); ++i) {
        EXPECT_EQ(out[i * 4], rough[i]) << "grid point " << i + 1;
    }
    // The arrays are shared: a constant line refined right after must not inherit anything.
    const auto flat = refine(g, std::vector<float>(7, -4.0f), 1);
    expectLine(flat, std::vector<float>(25, -4.0f));
}

}  // namespace
}  // namespace kavlo
