#pragma once

#include <cstdint>

#include "graph_state.h"

namespace kavlo {

// Refines one grid line with a cubic spline through its values, parameterised by point index.
// Input: SplIn(i, 0), i = 1..n, with n = NX for lxy = 1 and NY otherwise. Output: SplOut(1..N),
// N = (n - 1)(IPL + 1) + 1, with IPL values inserted evenly between neighbours. Works only in
// the arrays sized by the numeric reader; allocates nothing.
void refineGridLine(GraphState& g, std::int16_t lxy);

}  // namespace kavlo
