#include <iostream>
#include <string>
#include <vector>

#include "check_command.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args.front() == "check") {
        return kavlo::runCheck(std::span(args).subspan(1), std::cout, std::cerr);
    }
    // The windows come next; until then the command line is all there is.
    std::cerr << kavlo::checkUsage();
    return 2;
}
