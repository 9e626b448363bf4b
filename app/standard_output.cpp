#include "standard_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "core/file_descriptor.h"

namespace kavlo {
namespace {

bool writeAll(int descriptor, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

WriteResult cannotWrite(int error) {
    const std::string reason = writeFailureReason(error);
    return {"標準出力に書き込めません。" + (reason.empty() ? "" : "(" + reason + ")")};
}

}  // namespace

WriteResult copyToStandardOutput(const std::filesystem::path& document) {
    const FileDescriptor in(::open(document.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) {
        return cannotWrite(errno);
    }
    std::array<char, 1 << 16> buffer{};
    for (;;) {
        const ssize_t got = ::read(in.get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return cannotWrite(errno);
        }
        if (got == 0) {
            return {};
        }
        if (!writeAll(STDOUT_FILENO, buffer.data(), static_cast<std::size_t>(got))) {
            return cannotWrite(errno);
        }
    }
}

}  // namespace kavlo
