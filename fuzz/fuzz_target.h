#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The entry point libFuzzer calls with each input; the replay programs call it too.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace kavlo::fuzz {

inline std::string_view asBytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace kavlo::fuzz
