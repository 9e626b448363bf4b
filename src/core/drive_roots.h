#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavlo {

// The drives every machine has: the file system root and the home folder. The windows add the
// mounted volumes they find.
std::vector<std::string> driveRootFolders();

// The drive among `roots` that holds `folder`: the longest root that is a prefix of it, "/"
// when none is.
std::string driveHolding(std::string_view folder, const std::vector<std::string>& roots);

}  // namespace kavlo
