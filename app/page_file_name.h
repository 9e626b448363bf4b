#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kavlo {

// An output name that may hold a page number as printf writes it, `%d` or `%0Nd`
// ("page-%02d.png"), with "%%" for a percent sign; a name without one is taken as it stands.
class PageFileName {
  public:
    // Nothing when the name holds a page number but also a `%` that is neither, or two numbers.
    static std::optional<PageFileName> parse(std::string_view name);

    bool numbered() const { return numbered_; }
    // The name of page `page` (from 1); the name itself when it is not numbered.
    std::string forPage(int page) const;

  private:
    std::string before_;
    std::string after_;
    bool numbered_ = false;
    bool zeroPadded_ = false;
    int width_ = 0;
};

}  // namespace kavlo
