#pragma once

#include <QIODevice>
#include <filesystem>
#include <functional>

#include "core/atomic_file.h"

namespace kavlo {

// Replaces `path` with what `write` puts on the device, through the program's one atomic
// writer, so that Qt's image and PDF writers share its safety and its messages. `write`
// returns false when its own work failed; the old file then stays as it was.
WriteResult writeAtomically(const std::filesystem::path& path,
                            const std::function<bool(QIODevice&)>& write);

}  // namespace kavlo
