#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <system_error>
#include <utility>
#include <vector>

namespace kavlo {
namespace {

// Symbolic links are followed by hand so that a link to a file not yet there still leads to
// that file; the kernel's own limit on link chains stops a loop.
constexpr int kMaxLinks = 40;
constexpr int kNameAttempts = 100;
constexpr std::size_t kCopyChunk = 1 << 16;
// Written bytes are handed to the disk in pieces this big while the rest is still being made,
// so that the sync at the end waits for the last piece only.
constexpr off_t kWritebackChunk = 1 << 19;

std::filesystem::path resolveLinks(std::filesystem::path path) {
    std::error_code ec;
    for (int i = 0; i < kMaxLinks && std::filesystem::is_symlink(path, ec); ++i) {
        const auto link = std::filesystem::read_symlink(path, ec);
        if (ec) {
            break;
        }
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return path;
}

}  // namespace

std::string writeFailureReason(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return "ディスクの空きが足りません。";
        case EACCES:
        case EPERM:
            return "書き込む権限がありません。";
        case ENOENT:
        case ENOTDIR:
            return "フォルダーが存在しません。";
        case EROFS:
            return "読み取り専用のドライブです。";
        default:
            return "";
    }
}

namespace {

WriteResult failure(const std::filesystem::path& target, int error) {
    return {"ファイル " + target.string() + " に書き込めません。" + writeFailureReason(error) +
            "ご確認ください。"};
}

// Decided by the mode bits as well as by access(), so that a file nobody may write is refused
// even to a process that could override its mode.
bool readOnly(const std::filesystem::path& file, const struct stat& status) {
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
           ::access(file.c_str(), W_OK) != 0;
}

bool writeAll(int descriptor, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

int openTemporary(const std::filesystem::path& folder, const std::string& name, mode_t mode,
                  std::filesystem::path& temporary) {
    std::random_device device;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = folder / ("." + name + "." + std::to_string(device()) + ".tmp");
        const int descriptor =
            ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor;
        }
    }
    errno = EEXIST;
    return -1;
}

// Copies the finished temporary file over the target's own bytes, so that every hard link
// sees the new content. Space is reserved first, so a full disk refuses before any byte of
// the target changes.
int copyInPlace(int from, const std::filesystem::path& target) {
    struct stat status {};
    if (::fstat(from, &status) != 0) {
        return errno;
    }
    const int to = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (to < 0) {
        return errno;
    }
    int error = 0;
    if (status.st_size > 0 && ::fallocate(to, FALLOC_FL_KEEP_SIZE, 0, status.st_size) != 0 &&
        errno != EOPNOTSUPP) {
        error = errno;
    }
    std::vector<char> buffer(kCopyChunk);
    off_t offset = 0;
    while (error == 0 && offset < status.st_size) {
        const ssize_t got = ::pread(from, buffer.data(), buffer.size(), offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            error = got < 0 ? errno : EIO;
        } else if (::pwrite(to, buffer.data(), static_cast<std::size_t>(got), offset) != got) {
            error = errno != 0 ? errno : EIO;
        } else {
            offset += got;
        }
    }
    if (error == 0 && (::ftruncate(to, status.st_size) != 0 || ::fsync(to) != 0)) {
        error = errno;
    }
    if (::close(to) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

}  // namespace

void syncFolder(const std::filesystem::path& folder) {
    const int descriptor =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        // The rename has happened; a folder that cannot be synced is no reason to report the
        // new content as lost.
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
    }
}

WriteResult AtomicFile::open() {
    if (descriptor_ >= 0 || !temporary_.empty()) {
        return failure(target_, EBUSY);
    }
    resolved_ = resolveLinks(target_);
    mode_t mode = 0666;  // narrowed by the umask, as for any new file
    struct stat status {};
    const bool exists = ::stat(resolved_.c_str(), &status) == 0;
    if (!exists && errno != ENOENT) {
        return failure(target_, errno);
    }
    if (exists) {
        if (!S_ISREG(status.st_mode)) {
            return {target_.string() +
                    " は通常のファイルではないため書き込めません。ご確認ください。"};
        }
        if (readOnly(resolved_, status)) {
            return {"ファイル " + target_.string() +
                    " は読み取り専用のため書き込めません。ご確認ください。"};
        }
        mode = status.st_mode & 07777;
        linkedElsewhere_ = status.st_nlink > 1;
    }
    descriptor_ = openTemporary(resolved_.parent_path(), resolved_.filename().string(), mode & 0777,
                                temporary_);
    if (descriptor_ < 0) {
        const int error = errno;
        temporary_.clear();
        return failure(target_, error);
    }
    if (exists) {
        // Keep the owner and group where allowed (a user may still pass the file on to a group
        // of their own), then give the exact mode, which the umask may have narrowed.
        if (::fchown(descriptor_, status.st_uid, status.st_gid) != 0) {
            [[maybe_unused]] const int ignored =
                ::fchown(descriptor_, static_cast<uid_t>(-1), status.st_gid);
        }
        if (::fchmod(descriptor_, mode) != 0) {
            return failure(target_, errno);
        }
    }
    return {};
}

bool AtomicFile::write(std::string_view bytes) {
    if (descriptor_ < 0 || failed_) {
        return false;
    }
    if (!writeAll(descriptor_, bytes.data(), bytes.size())) {
        failed_ = true;
        error_ = errno;
        return false;
    }
    written_ += static_cast<off_t>(bytes.size());
    if (written_ - handedToDisk_ >= kWritebackChunk) {
        // Only starts the writing; commit() still syncs everything.
        ::sync_file_range(descriptor_, handedToDisk_, written_ - handedToDisk_,
                          SYNC_FILE_RANGE_WRITE);
        handedToDisk_ = written_;
    }
    return true;
}

bool AtomicFile::writeAt(std::string_view bytes, off_t offset) {
    if (descriptor_ < 0 || failed_) {
        return false;
    }
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t written = ::pwrite(descriptor_, bytes.data() + done, bytes.size() - done,
                                         offset + static_cast<off_t>(done));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            failed_ = true;
            error_ = written < 0 ? errno : EIO;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

int AtomicFile::descriptor() const {
    return descriptor_;
}

WriteResult AtomicFile::commit() {
    if (descriptor_ < 0) {
        return failure(target_, EBADF);
    }
    if (failed_) {
        return failure(target_, error_);
    }
    if (::fsync(descriptor_) != 0) {
        return failure(target_, errno);
    }
    if (linkedElsewhere_) {
        if (const int error = copyInPlace(descriptor_, resolved_); error != 0) {
            return failure(target_, error);
        }
        ::close(std::exchange(descriptor_, -1));
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return {};
    }
    if (::close(std::exchange(descriptor_, -1)) != 0) {
        return failure(target_, errno);
    }
    if (::rename(temporary_.c_str(), resolved_.c_str()) != 0) {
        return failure(target_, errno);
    }
    temporary_.clear();
    syncFolder(resolved_.parent_path());
    return {};
}

WriteResult replaceFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
    AtomicFile out(file);
    if (auto opened = out.open(); !opened.ok()) {
        return opened;
    }
    out.write(bytes);  // a failed write is reported by commit()
    return out.commit();
}

}  // namespace kavlo
