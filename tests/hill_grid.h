#pragma once

#include <cmath>
#include <sstream>
#include <string>

namespace kavlo::test {

// An n x n grid of a smooth hill as a numeric file holds it: "n, n", then one row a line.
inline std::string hillGrid(int n) {
    std::ostringstream grid;
    grid << n << ", " << n << "\n";
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const double x = 4.0 * i / n - 2;
            const double y = 4.0 * j / n - 2;
            grid << std::exp(-x * x - y * y) << (i + 1 < n ? ", " : "\n");
        }
    }
    return grid.str();
}

}  // namespace kavlo::test
