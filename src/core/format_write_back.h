#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kavlo {

// A value as the write-back puts it into a format file: at least one integer digit, one to six
// decimals, rounded half away from zero, no trailing zeros after the first decimal.
std::string formatWriteBackValue(double value);

// Makes a slot's view steps permanent in its format file: line 6 gets the turned tilt angles,
// line 13 the zoomed z range; every other line keeps its bytes. Lines end in CR LF. The file
// is replaced only once the new text is safely written. Nothing on success, else a message for
// the user that names the file.
std::optional<std::string> writeBackView(const std::filesystem::path& file, double turnSteps,
                                         double zoomSteps);

}  // namespace kavlo
