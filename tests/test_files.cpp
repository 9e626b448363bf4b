#include "test_files.h"

#include "core/path_file.h"
#include "core/text_decoding.h"
#include "hill_grid.h"

#include <algorithm>
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

std::vector<std::string> folderListing(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::filesystem::path copiedWindowsFolder(const TempDir& dir) {
    std::filesystem::create_directories(dir.path() / "W");
    dir.write("W/FRMQAP1.DAT", FormatLines{}.text());
    dir.write("W/G01.DAT", "3 2\r\n0 1 2\r\n1 2 3\r\n");
    PageSetup setup;
    setup.file(FileKind::Format, 1) = R"(C:\KAVLO\frmqap1.dat)";
    setup.file(FileKind::Numeric, 1) = R"(C:\KAVLO\g01.dat)";
    setup.file(FileKind::Comment, 1) = R"(C:\KAVLO\cmtqap1.txt)";
    dir.write("W/Kavlo.pth", toCp932(formatPathFile(setup)));
    return dir.path() / "W";
}

std::string toCp932(std::string_view utf8) {
    const auto bytes = utf8ToCp932(utf8);
    if (!bytes) {
        throw std::runtime_error("not CP932: " + std::string(utf8));
    }
    return *bytes;
}

std::string FormatLines::text(std::string_view lineEnd) const {
    // clang-format off
    const std::string lines[20] = {
        "test format", "frame: XWD YWD ZWD XSF YSP CSZ FNT", "", frame, "FXD FYD LWD IPL LDR", tilt,
        "", "x labels", xLabels, "y labels", yLabels, "z labels", zLabels, "", "x title", xTitle,
        "y title", yTitle, "z title", zTitle};
    // clang-format on
    std::string out;
    for (const auto& line : lines) {
        out += line;
        out += lineEnd;
    }
    return out;
}

namespace {

PageSetup bumpPage(const TempDir& dir, int n, const std::string& tilt) {
    const FormatLines format{.frame = "100, 80, 60, 5, 8, 0, 7", .tilt = tilt};
    PageSetup setup;
    setup.file(FileKind::Format, 1) = dir.write("bump.fmt", format.text());
    setup.file(FileKind::Numeric, 1) = dir.write("bump.dat", hillGrid(n));
    return setup;
}

}  // namespace

PageSetup shadedSurfacePage(const TempDir& dir, int n) {
    return bumpPage(dir, n, "30, 20, 1, 0, 6");
}

PageSetup hiddenMeshPage(const TempDir& dir, int n) {
    return bumpPage(dir, n, "30, 20, 1, 0, 3");
}

}  // namespace kavlo::test
