#include "atomic_file.h"

#include "file_descriptor.h"
#include "sibling_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>
#include <vector>

namespace kavlo {
namespace {

// Symbolic links are followed by hand so that a link to a file not yet there still leads to
// that file; the kernel's own limit on link chains stops a loop.
constexpr int kMaxLinks = 40;
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

WriteResult failure(const std::filesystem::path& target, const std::string& reason,
                    const std::string& note = "") {
    return {"ファイル " + target.string() + " に書き込めません。" + reason + note +
            "ご確認ください。"};
}

WriteResult failure(const std::filesystem::path& target, int error, const std::string& note = "") {
    return failure(target, writeFailureReason(error), note);
}

// Why no file could be made in `folder`. The error alone misleads where a file system makes no
// files for anyone (/proc answers ENOENT, /sys EACCES even to root), so the folder is asked
// whether it is missing, no folder at all, or closed to us.
std::string creationFailureReason(int error, const std::filesystem::path& folder) {
    if (error != ENOENT && error != ENOTDIR && error != EACCES && error != EPERM) {
        return writeFailureReason(error);
    }
    std::filesystem::path nearest = folder.empty() ? "." : folder;
    struct stat status {};
    // ENOTDIR: a file stands somewhere on the way; the first one there is the one to name.
    while (::stat(nearest.c_str(), &status) != 0) {
        if (errno != ENOTDIR || nearest.parent_path() == nearest || !nearest.has_parent_path()) {
            return writeFailureReason(errno);
        }
        nearest = nearest.parent_path();
    }
    if (!S_ISDIR(status.st_mode)) {
        return nearest.string() + " はフォルダーではありません。";
    }
    if (::access(nearest.c_str(), W_OK | X_OK) != 0) {
        return writeFailureReason(errno);
    }
    return "このフォルダーにはファイルを作れません。";
}

// Decided by the mode bits as well as by access(), so that a file nobody may write is refused
// even to a process that could override its mode.
bool readOnly(const std::filesystem::path& file, const struct stat& status) {
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
           ::access(file.c_str(), W_OK) != 0;
}

// Copies the first `size` bytes of one file over the start of another.
int copyBytes(int from, int to, off_t size) {
    std::vector<char> buffer(kCopyChunk);
    off_t offset = 0;
    while (offset < size) {
        const auto want = static_cast<std::size_t>(std::min<off_t>(kCopyChunk, size - offset));
        const ssize_t got = ::pread(from, buffer.data(), want, offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got < 0 ? errno : EIO;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::pwrite(to, buffer.data() + done,
                                         static_cast<std::size_t>(got - done), offset + done);
            if (put < 0 && errno == EINTR) {
                continue;
            }
            if (put <= 0) {
                return put < 0 ? errno : EIO;
            }
            done += put;
        }
        offset += got;
    }
    return 0;
}

// Copies a whole file over the target's own bytes, so that every hard link sees the new
// content. Space is reserved first, so a full disk refuses before any byte of the target
// changes.
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
    if (error == 0) {
        error = copyBytes(from, to, status.st_size);
    }
    if (error == 0 && (::ftruncate(to, status.st_size) != 0 || ::fsync(to) != 0)) {
        error = errno;
    }
    if (::close(to) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

// An exclusive flock on the target, taken while it is replaced or rewritten, so that writers
// of one file take turns. Taken anew when another writer replaced the file meanwhile; without
// a readable regular target there is nothing to hold.
class TargetLock {
  public:
    explicit TargetLock(const std::filesystem::path& target) {
        for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
            descriptor_.reset(::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
            if (descriptor_.get() < 0) {
                break;
            }
            while (::flock(descriptor_.get(), LOCK_EX) != 0 && errno == EINTR) {
            }
            struct stat named {};
            if (::fstat(descriptor_.get(), &status_) == 0 && S_ISREG(status_.st_mode) &&
                ::stat(target.c_str(), &named) == 0 && named.st_dev == status_.st_dev &&
                named.st_ino == status_.st_ino) {
                return;
            }
            descriptor_.reset();
        }
        // Unreadable or gone: still tell how many names it has.
        if (::stat(target.c_str(), &status_) != 0) {
            status_ = {};
        }
    }
    int descriptor() const { return descriptor_.get(); }
    const struct stat& status() const { return status_; }

  private:
    static constexpr int kLockAttempts = 10;
    FileDescriptor descriptor_;
    struct stat status_ {};
};

// The old content of a file about to be rewritten in place, kept beside it until the rewrite is
// complete and synced. A backup already there was left by a rewrite that was stopped halfway:
// the file may be torn since, so that backup stays the one to keep.
class Backup {
  public:
    Backup(const TargetLock& target, const SiblingFiles& siblings) : path_(siblings.backup()) {
        descriptor_.reset(::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat status {};
        if (descriptor_.get() >= 0 && ::fstat(descriptor_.get(), &status) == 0 &&
            S_ISREG(status.st_mode)) {
            return;
        }
        descriptor_.reset();
        if (target.descriptor() < 0) {
            error_ = EACCES;
            return;
        }
        std::filesystem::path temporary;
        RemovalOnSignal removal;
        descriptor_.reset(
            createTemporary(siblings, target.status().st_mode & 0777, temporary, removal));
        if (descriptor_.get() < 0) {
            error_ = errno;
            return;
        }
        error_ = copyBytes(target.descriptor(), descriptor_.get(), target.status().st_size);
        if (error_ == 0 &&
            (::fsync(descriptor_.get()) != 0 || ::rename(temporary.c_str(), path_.c_str()) != 0)) {
            error_ = errno;
        }
        if (error_ != 0) {
            ::unlink(temporary.c_str());
            return;
        }
        removal.release();
        syncFolder(siblings.folder());
    }
    int error() const { return error_; }
    const std::filesystem::path& path() const { return path_; }
    // Puts the old content back after a failed rewrite; false leaves the backup to the user.
    bool restore(const std::filesystem::path& target) const {
        return copyInPlace(descriptor_.get(), target) == 0;
    }

  private:
    std::filesystem::path path_;
    FileDescriptor descriptor_;
    int error_ = 0;
};

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
    // Removed before the lock goes, so no other writer ever finds it unheld.
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
    }
    if (descriptor_ >= 0) {
        ::close(descriptor_);
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
        return failure(target_, creationFailureReason(errno, resolved_.parent_path()));
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
    }
    const SiblingFiles siblings(resolved_);
    removeStaleTemporaries(siblings);
    descriptor_ = createTemporary(siblings, mode & 0777, temporary_, removal_);
    if (descriptor_ < 0) {
        const int error = errno;
        temporary_.clear();
        return failure(target_, creationFailureReason(error, siblings.folder()));
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
    if (!writeAll(descriptor_, bytes)) {
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
    const SiblingFiles siblings(resolved_);
    const TargetLock lock(resolved_);
    if (lock.status().st_nlink > 1) {
        const Backup backup(lock, siblings);
        if (backup.error() != 0) {
            return failure(target_, backup.error());
        }
        if (const int error = copyInPlace(descriptor_, resolved_); error != 0) {
            if (!backup.restore(resolved_)) {
                return failure(target_, error,
                               "元の内容は " + backup.path().string() + " に残してあります。");
            }
            ::unlink(backup.path().c_str());
            return failure(target_, error);
        }
    } else if (::rename(temporary_.c_str(), resolved_.c_str()) != 0) {
        return failure(target_, errno);
    } else {
        temporary_.clear();
        removal_.release();
    }
    // The new content is whole: a backup left by a rewrite stopped halfway has served.
    ::unlink(siblings.backup().c_str());
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
        removal_.release();
    }
    ::close(std::exchange(descriptor_, -1));
    syncFolder(siblings.folder());
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
