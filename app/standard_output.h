#pragma once

#include <filesystem>

#include "core/atomic_file.h"

namespace kavlo {

// Copies a finished document to standard output, so that a reader of the pipe gets either the
// whole of it or nothing.
WriteResult copyToStandardOutput(const std::filesystem::path& document);

}  // namespace kavlo
