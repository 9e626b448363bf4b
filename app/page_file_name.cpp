#include "page_file_name.h"

#include <cctype>

namespace kavlo {
namespace {

// Wider than any page count, narrow enough that a name stays a name.
constexpr int kWidestNumber = 9;

}  // namespace

std::optional<PageFileName> PageFileName::parse(std::string_view name) {
    PageFileName parsed;
    std::string* text = &parsed.before_;
    // A '%' outside a page number counts against the name only once it has a number: names
    // such as "50%.png" were taken as they stand before pages were numbered.
    bool strayPercent = false;
    for (std::size_t k = 0; k < name.size(); ++k) {
        if (name[k] != '%') {
            *text += name[k];
            continue;
        }
        if (k + 1 < name.size() && name[k + 1] == '%') {
            *text += '%';
            ++k;
            continue;
        }
        std::size_t end = k + 1;
        while (end < name.size() && std::isdigit(static_cast<unsigned char>(name[end]))) {
            ++end;
        }
        const std::string_view digits = name.substr(k + 1, end - k - 1);
        const bool widthFits = digits.empty() || (digits.size() <= 2 &&
                                                  std::stoi(std::string(digits)) <= kWidestNumber);
        if (end == name.size() || name[end] != 'd' || !widthFits ||
            (digits.size() > 1 && digits.front() != '0') || parsed.numbered_) {
            strayPercent = true;
            *text += name[k];
            continue;
        }
        parsed.numbered_ = true;
        parsed.zeroPadded_ = digits.starts_with('0');
        parsed.width_ = digits.empty() ? 0 : std::stoi(std::string(digits));
        text = &parsed.after_;
        k = end;
    }
    if (!parsed.numbered_) {
        PageFileName literal;
        literal.before_ = name;
        return literal;
    }
    if (strayPercent) {
        return std::nullopt;
    }
    return parsed;
}

std::string PageFileName::forPage(int page) const {
    if (!numbered_) {
        return before_;
    }
    std::string number = std::to_string(page);
    if (static_cast<int>(number.size()) < width_) {
        number.insert(0, static_cast<std::size_t>(width_) - number.size(), zeroPadded_ ? '0' : ' ');
    }
    return before_ + number + after_;
}

}  // namespace kavlo
