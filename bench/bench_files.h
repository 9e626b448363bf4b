#pragma once

#include <QTemporaryDir>
#include <string>

#include "core/page_setup.h"

namespace kavlo::bench {

// Graph files made once per run in a temporary folder: grids of a smooth hill, a format per
// plot type and IPL, and a 10,000-character comment ("long.txt").
class BenchFiles {
  public:
    BenchFiles();

    // An n x n grid, written on first use.
    std::string grid(int n) const;
    std::string format(int ldr, int ipl) const;
    std::string path(const std::string& name) const;

  private:
    void write(const std::string& name, const std::string& text) const;
    QTemporaryDir dir_;
};

const BenchFiles& files();

// One graph alone on the page: an n x n grid as plot type ldr with ipl inserted points.
PageSetup graphPage(int n, int ldr, int ipl);

}  // namespace kavlo::bench
