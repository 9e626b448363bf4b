#include "test_files.h"

#include "core/text_decoding.h"
#include "hill_grid.h"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

namespace kavlo::test {

TempDir::TempDir() {
    std::random_device device;
    path_ = std::filesystem::temp_directory_path() /
            ("kavlo-test-" + std::to_string(device()) + std::to_string(device()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::write(const std::string& name, std::string_view bytes) const {
    const auto file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.string();
}

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string toCp932(std::string_view utf8) {
    const auto bytes = utf8ToCp932(utf8);
    if (!bytes) {
        throw std::runtime_error("not CP932: " + std::string(utf8));
    }
    return *bytes;
}

std::string FormatLines::text(std::string_view lineEnd) const {
    const std::string lines[20] = {"test format",
                                   "frame: XWD YWD ZWD XSF YSP CSZ FNT",
                                   "",
                                   frame,
                                   "FXD FYD LWD IPL LDR",
                                   tilt,
                                   "",
                                   "x labels",
                                   xLabels,
                                   "y labels",
                                   yLabels,
                                   "z labels",
                                   zLabels,
                                   "",
                                   "x title",
                                   xTitle,
                                   "y title",
                                   yTitle,
                                   "z title",
                                   zTitle};
    std::string out;
    for (const auto& line : lines) {
        out += line;
        out += lineEnd;
    }
    return out;
}

PageSetup shadedSurfacePage(const TempDir& dir, int n) {
    FormatLines format;
    format.frame = "100, 80, 60, 5, 8, 0, 7";
    format.tilt = "30, 20, 1, 0, 6";
    PageSetup setup;
    setup.file(FileKind::Format, 1) = dir.write("shaded.fmt", format.text());
    setup.file(FileKind::Numeric, 1) = dir.write("bump.dat", hillGrid(n));
    return setup;
}

}  // namespace kavlo::test
