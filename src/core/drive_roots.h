#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavlo {

// The "drives" a file group can start from: the file system root, the home folder and the
// mounted volumes under /media, /mnt and /run/media.
std::vector<std::string> driveRootFolders();

// The drive among `roots` that holds `folder`: the longest root that is a prefix of it, "/"
// when none is.
std::string driveHolding(std::string_view folder, const std::vector<std::string>& roots);

}  // namespace kavlo
