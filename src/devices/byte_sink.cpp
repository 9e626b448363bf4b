#include "byte_sink.h"

namespace kavlo {

ByteSink appendingTo(QByteArray& bytes) {
    return [&bytes](std::string_view piece) {
        bytes.append(piece.data(), static_cast<qsizetype>(piece.size()));
        return true;
    };
}

WriteResult writeStreamed(const std::filesystem::path& path,
                          const std::function<void(const ByteSink&)>& produce) {
    AtomicFile file(path);
    if (WriteResult opened = file.open(); !opened.ok()) {
        return opened;
    }
    // A failed write is remembered by the file and reported by commit.
    produce([&](std::string_view piece) { return file.write(piece); });
    return file.commit();
}

}  // namespace kavlo
