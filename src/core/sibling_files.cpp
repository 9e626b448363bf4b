#include "sibling_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <system_error>

namespace kavlo {
namespace {

constexpr std::size_t kNameMax = 255;
constexpr std::size_t kHexDigits = 16;
constexpr std::string_view kTemporaryEnd = ".tmp";
constexpr std::string_view kBackupEnd = ".kavlo-backup";
constexpr std::size_t kStemMax = kNameMax - 2 - kHexDigits - kTemporaryEnd.size();
static_assert(1 + kStemMax + kBackupEnd.size() <= kNameMax);
constexpr int kNameAttempts = 100;

std::string hex(std::uint64_t value) {
    std::string digits(kHexDigits, '0');
    for (std::size_t k = kHexDigits; k-- > 0; value >>= 4) {
        digits[k] = "0123456789abcdef"[value & 0xf];
    }
    return digits;
}

// FNV-1a: the same on every run, which the next writer needs to find the names again.
std::uint64_t nameHash(std::string_view name) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    }
    return hash;
}

std::string stemOf(const std::string& name) {
    if (name.size() <= kStemMax) {
        return name;
    }
    std::size_t cut = kStemMax - 1 - kHexDigits;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xc0) == 0x80) {
        --cut;
    }
    return name.substr(0, cut) + "~" + hex(nameHash(name));
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Another writer clearing leftovers may have taken the new name in the moment before the lock;
// it then removes the file, and this one tries another name.
bool heldAsOwn(int descriptor) {
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        return false;
    }
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && status.st_nlink > 0;
}

}  // namespace

SiblingFiles::SiblingFiles(const std::filesystem::path& target)
    : folder_(target.parent_path()), stem_(stemOf(target.filename().string())) {}

std::filesystem::path SiblingFiles::temporary(std::uint64_t random) const {
    return folder_ / ("." + stem_ + "." + hex(random) + std::string(kTemporaryEnd));
}

std::filesystem::path SiblingFiles::backup() const {
    return folder_ / ("." + stem_ + std::string(kBackupEnd));
}

bool SiblingFiles::isTemporary(std::string_view name) const {
    const std::size_t start = 2 + stem_.size();
    if (name.size() != start + kHexDigits + kTemporaryEnd.size() || name[0] != '.' ||
        name.substr(1, stem_.size()) != stem_ || name[start - 1] != '.' ||
        !name.ends_with(kTemporaryEnd)) {
        return false;
    }
    return name.substr(start, kHexDigits).find_first_not_of("0123456789abcdef") ==
           std::string_view::npos;
}

int createTemporary(const SiblingFiles& siblings, mode_t mode, std::filesystem::path& temporary,
                    RemovalOnSignal& removal) {
    std::random_device device;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = siblings.temporary(std::uint64_t{device()} << 32 | device());
        const int descriptor =
            ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (descriptor < 0 && errno == EEXIST) {
            continue;
        }
        if (descriptor < 0) {
            return -1;
        }
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(temporary, ec);
        removal = RemovalOnSignal(ec ? temporary : absolute);
        if (heldAsOwn(descriptor)) {
            return descriptor;
        }
        removal.release();
        ::close(descriptor);
    }
    errno = EEXIST;
    return -1;
}

void removeStaleTemporaries(const SiblingFiles& siblings) {
    DIR* folder = ::opendir(siblings.folder().empty() ? "." : siblings.folder().c_str());
    if (folder == nullptr) {
        return;
    }
    const int folderDescriptor = ::dirfd(folder);
    while (const dirent* entry = ::readdir(folder)) {
        if (!siblings.isTemporary(entry->d_name)) {
            continue;
        }
        const int descriptor = ::openat(folderDescriptor, entry->d_name,
                                        O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (descriptor < 0) {
            continue;
        }
        struct stat held {};
        struct stat named {};
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0 && ::fstat(descriptor, &held) == 0 &&
            S_ISREG(held.st_mode) &&
            ::fstatat(folderDescriptor, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameFile(held, named)) {
            ::unlinkat(folderDescriptor, entry->d_name, 0);
        }
        ::close(descriptor);
    }
    ::closedir(folder);
}

}  // namespace kavlo
