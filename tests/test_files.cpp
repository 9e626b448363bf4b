#include "test_files.h"

#include <iconv.h>

#include <fstream>
#include <random>
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

std::string toCp932(std::string_view utf8) {
    const iconv_t convert = iconv_open("CP932", "UTF-8");
    std::string in(utf8), out(2 * utf8.size(), '\0');
    char *from = in.data(), *to = out.data();
    std::size_t left = in.size(), room = out.size();
    const bool failed = iconv(convert, &from, &left, &to, &room) == static_cast<std::size_t>(-1);
    iconv_close(convert);
    if (failed) {
        throw std::runtime_error("not CP932: " + in);
    }
    return out.substr(0, out.size() - room);
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

}  // namespace kavlo::test
