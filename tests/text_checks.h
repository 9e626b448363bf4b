#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace kavlo::test {

// Whether `text` holds every part; a failure names the first part missing and shows the text.
inline testing::AssertionResult holdsAll(std::string_view text,
                                         std::initializer_list<std::string_view> parts) {
    for (const auto part : parts) {
        if (text.find(part) == std::string_view::npos) {
            return testing::AssertionFailure() << "no " << part << " in " << text;
        }
    }
    return testing::AssertionSuccess();
}

// The words of a command line written out with spaces, as a shell would split it.
inline std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), {}};
}

}  // namespace kavlo::test
