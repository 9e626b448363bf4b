#pragma once

#include <filesystem>
#include <string_view>

namespace kavlo::fuzz {

// A folder of this process alone for the files handed to the readers, which take paths.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Writes `bytes` as the whole content of the file `name` in the folder; its full path.
    std::filesystem::path write(std::string_view name, std::string_view bytes) const;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// The one scratch folder of the process, removed when it exits normally.
const ScratchFolder& scratchFolder();

}  // namespace kavlo::fuzz
