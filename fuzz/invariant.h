#pragma once

#include <cstdio>
#include <cstdlib>

namespace kavlo::fuzz {

// Stops the run on a broken invariant, in release builds too: the fuzzer keeps the input that
// broke it.
inline void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

}  // namespace kavlo::fuzz
