#pragma once

#include <QByteArray>
#include <filesystem>
#include <functional>
#include <string_view>

#include "core/atomic_file.h"

namespace kavlo {

// Takes a document piece by piece, in order; false when a piece could not be kept.
using ByteSink = std::function<bool(std::string_view)>;

// A sink that keeps every piece in `bytes`.
ByteSink appendingTo(QByteArray& bytes);

// Writes what `produce` hands its sink into `path` through the atomic writer, so that a
// document of any size is never held whole.
WriteResult writeStreamed(const std::filesystem::path& path,
                          const std::function<void(const ByteSink&)>& produce);

}  // namespace kavlo
