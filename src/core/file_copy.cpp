#include "file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <vector>

#include "atomic_file.h"
#include "bounded_file.h"
#include "file_descriptor.h"

namespace kavlo {
namespace {

constexpr std::size_t kFileCopyChunk = std::size_t{1} << 20;

FileAccess accessAfter(int error) {
    return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG ? FileAccess::Missing
                                                                        : FileAccess::Unreadable;
}

CopyResult readFailure(FileAccess access) {
    return {fileAccessText(access)};
}

}  // namespace

CopyResult copyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (from.empty()) {
        return readFailure(FileAccess::Missing);
    }
    // Non-blocking, so that a FIFO cannot hold the open; fstat then refuses it.
    const FileDescriptor source(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (source.get() < 0) {
        return readFailure(accessAfter(errno));
    }
    struct stat status {};
    if (::fstat(source.get(), &status) != 0) {
        return readFailure(FileAccess::Unreadable);
    }
    if (!S_ISREG(status.st_mode)) {
        return readFailure(FileAccess::NotRegular);
    }
    AtomicFile out(to);
    if (const WriteResult opened = out.open(); !opened.ok()) {
        return {opened.message};
    }
    std::vector<char> buffer(kFileCopyChunk);
    for (;;) {
        const ssize_t got = ::read(source.get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return readFailure(FileAccess::Unreadable);  // the writer drops its temporary file
        }
        if (got == 0) {
            break;
        }
        out.write(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
    if (const WriteResult committed = out.commit(); !committed.ok()) {
        return {committed.message};
    }
    return {};
}

}  // namespace kavlo
