#pragma once

#include <filesystem>

namespace kavlo {

// Removes a file if the process is ended by SIGINT, SIGTERM or SIGHUP while this object lives;
// the process still ends by that signal. Handlers are installed with the first such file, and
// only for signals whose action is still the default, so an ignored SIGHUP (nohup) stays
// ignored and handlers of others are left alone. A full table leaves a file unwatched: the
// next writer of the same target removes it then.
class RemovalOnSignal {
  public:
    RemovalOnSignal() = default;
    explicit RemovalOnSignal(const std::filesystem::path& file);
    ~RemovalOnSignal();
    RemovalOnSignal(RemovalOnSignal&& other) noexcept;
    RemovalOnSignal& operator=(RemovalOnSignal&& other) noexcept;

    // The file has become something to keep (renamed into place, or gone).
    void release();

  private:
    int slot_ = -1;
};

}  // namespace kavlo
