#include "bench_files.h"

#include <QFileInfo>
#include <fstream>

#include "hill_grid.h"

namespace kavlo::bench {

BenchFiles::BenchFiles() {
    std::string comment;
    for (int k = 0; k < 1000; ++k) {
        comment += k % 2 ? "abcdefghi " : "日本語の文章です。";
    }
    write("long.txt", comment.substr(0, 10000));
}

std::string BenchFiles::grid(int n) const {
    const std::string name = "g" + std::to_string(n) + ".dat";
    if (!QFileInfo::exists(QString::fromStdString(path(name)))) {
        std::ofstream(path(name)) << test::hillGrid(n);
    }
    return path(name);
}

std::string BenchFiles::format(int ldr, int ipl) const {
    const std::string name = "f" + std::to_string(ldr) + "-" + std::to_string(ipl) + ".dat";
    write(name, "Kavlo bench\n\n\n80, 60, 50, 5, 8, 0, 7\n\n30, 20, 1, " + std::to_string(ipl) +
                    ", " + std::to_string(ldr) +
                    "\n\n\n4, 1, 0, 3\n\n4, 1, 0, 3\n\n4, 1, 0, 0\n\n\n5, x\n\n5, y\n\n5, z\n");
    return path(name);
}

std::string BenchFiles::path(const std::string& name) const {
    return (dir_.path() + "/" + QString::fromStdString(name)).toStdString();
}

void BenchFiles::write(const std::string& name, const std::string& text) const {
    std::ofstream(path(name), std::ios::binary) << text;
}

const BenchFiles& files() {
    static const BenchFiles instance;
    return instance;
}

PageSetup graphPage(int n, int ldr, int ipl) {
    PageSetup setup;
    setup.file(FileKind::Format, 1) = files().format(ldr, ipl);
    setup.file(FileKind::Numeric, 1) = files().grid(n);
    return setup;
}

}  // namespace kavlo::bench
