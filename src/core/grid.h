#pragma once

#include <cstdint>

#include "grid_array.h"

namespace kavlo {

// The numeric file's z grid: Z(i, j) for i = 1..NX, j = 1..NY, and the range of its values.
struct Grid {
    std::int16_t NX = 0;
    std::int16_t NY = 0;
    Array2<float> Z;
    float DataZMin = 0, DataZMax = 0;
};

}  // namespace kavlo
