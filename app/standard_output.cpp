#include "standard_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

#include "core/file_descriptor.h"

namespace kavlo {
namespace {

// A reader that left the pipe makes the write fail, to be told, rather than end the program
// unheard by SIGPIPE.
class PipeSignalIgnored {
  public:
    PipeSignalIgnored() : old_(std::signal(SIGPIPE, SIG_IGN)) {}
    ~PipeSignalIgnored() { std::signal(SIGPIPE, old_); }
    PipeSignalIgnored(const PipeSignalIgnored&) = delete;
    PipeSignalIgnored& operator=(const PipeSignalIgnored&) = delete;

  private:
    void (*old_)(int);
};

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
    const PipeSignalIgnored pipeSignal;
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
        if (!writeAll(STDOUT_FILENO,
                      std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
            return cannotWrite(errno);
        }
    }
}

}  // namespace kavlo
