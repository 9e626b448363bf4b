#include "text_file.h"

#include <fstream>
#include <system_error>

namespace kavlo {

bool dataFileExists(const std::filesystem::path& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

std::optional<std::vector<std::string>> readLeadingLines(const std::filesystem::path& path,
                                                         std::size_t maxLines,
                                                         std::size_t maxBytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    std::string line;
    std::size_t bytes = 0;
    bool pendingLine = false;
    char c = 0;
    while (lines.size() < maxLines && bytes < maxBytes && in.get(c)) {
        ++bytes;
        if (c == '\n' || c == '\r') {
            if (c == '\r' && in.peek() == '\n') {
                in.get(c);
                ++bytes;
            }
            lines.push_back(std::move(line));
            line.clear();
            pendingLine = false;
        } else {
            line.push_back(c);
            pendingLine = true;
        }
    }
    if (in.bad()) {
        return std::nullopt;
    }
    if (pendingLine && lines.size() < maxLines) {
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace kavlo
