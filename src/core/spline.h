#pragma once

#include <span>
#include <vector>

namespace kavlo {

// Refines grid lines with a cubic spline through their values, parameterised by point index:
// IPL values inserted evenly between neighbours. Its scratch, sized for lines of up to
// `maxPoints` values, is reused from line to line, so refining allocates nothing.
class SplineRefiner {
  public:
    SplineRefiner(int maxPoints, int ipl);

    // The n values of `line` with the refined ones between them, (n - 1)(IPL + 1) + 1 in all;
    // valid until the next refinement.
    std::span<const float> refine(std::span<const float> line);

  private:
    int ipl_;
    // Where node i and its k-th inserted point lie along the line, at [i * (IPL + 1) + k].
    std::vector<float> positions_;
    // The nodes, each followed by its inserted points, laid out as positions_.
    std::vector<float> values_;
    std::vector<float> diagonal_, width_, slope_;
    // The cubic's coefficients of t, t^2 and t^3 on each interval.
    std::vector<float> c1_, c2_, c3_;
};

}  // namespace kavlo
