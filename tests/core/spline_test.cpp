#include "core/spline.h"

#include <gtest/gtest.h>

#include <vector>

namespace kavlo {
namespace {

TEST(SplineTest, RefinesEachLineWithTheScratchOfTheLast) {
    const std::vector<float> squares = {0, 1, 4, 9, 16};
    const std::vector<float> halves = {0, 0.25f, 1, 2.25f, 4, 6.25f, 9, 12.25f, 16};
    const std::vector<float> thirds = {0, 1.0f / 9, 4.0f / 9, 1, 16.0f / 9, 25.0f / 9, 4};
    const std::vector<float> peak = {0, -0.171875f, 0, 0.609375f, 1, 0.609375f, 0, -0.171875f, 0};
    const struct {
        const char* name;
        int maxPoints, ipl;
        std::vector<float> line, expected;
    } cases[] = {
        {"no insertion copies", 4, 0, {3, -1, 7.5f, 2}, {3, -1, 7.5f, 2}},
        {"two points stay straight", 2, 3, {0, 1}, {0, 0.25f, 0.5f, 0.75f, 1}},
        {"quadratic is exact", 5, 1, squares, halves},
        {"overshoot next to a peak", 5, 1, {0, 0, 1, 0, 0}, peak},
        // A line shorter than the longest the scratch is sized for.
        {"short line", 5, 2, {0, 1, 4}, thirds},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SplineRefiner spline(c.maxPoints, c.ipl);
        // The scratch is shared between lines: a rough, longer line first must leave no trace.
        std::vector<float> rough(static_cast<std::size_t>(c.maxPoints));
        for (std::size_t i = 0; i < rough.size(); ++i) {
            rough[i] = i % 2 ? 50.0f : -9.5f;
        }
        spline.refine(rough);
        const auto refined = spline.refine(c.line);
        ASSERT_EQ(refined.size(), c.expected.size());
        for (std::size_t j = 0; j < refined.size(); ++j) {
            EXPECT_NEAR(refined[j], c.expected[j], 1e-6) << "at output point " << j;
        }
    }
}

}  // namespace
}  // namespace kavlo
