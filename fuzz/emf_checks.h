#pragma once

#include <string_view>

namespace kavlo::fuzz {

// Stops the run unless `file` is an enhanced metafile whose records agree with its header: the
// header first, the end-of-file record last, every record's size whole and in the file, the
// header's byte and record counts right, every object handle below the header's handle count.
void requireConsistentEmf(std::string_view file);

}  // namespace kavlo::fuzz
