#include "bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kavlo {
namespace {

// The first line end at or after `from`, else npos. A plain loop: find_first_of searches its set
// for every character, and data files run to megabytes.
// memchr looks at many bytes at a time: grid lines run to thousands of characters.
std::size_t lineEnd(std::string_view text, std::size_t from) {
    if (from >= text.size()) {
        return std::string_view::npos;
    }
    const char* start = text.data() + from;
    const auto* feed = static_cast<const char*>(std::memchr(start, '\n', text.size() - from));
    const std::size_t before = feed ? static_cast<std::size_t>(feed - start) : text.size() - from;
    const auto* carriage = static_cast<const char*>(std::memchr(start, '\r', before));
    const char* end = carriage ? carriage : feed;
    return end ? static_cast<std::size_t>(end - text.data()) : std::string_view::npos;
}

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr std::size_t kChunk = 64 * 1024;

FileAccess accessAfterError(int error) {
    return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG ? FileAccess::Missing
                                                                        : FileAccess::Unreadable;
}

// Opens only regular files. O_NONBLOCK keeps a FIFO without a writer from blocking the open;
// fstat on the open descriptor then refuses it, so nothing can be swapped in between.
int openRegular(const std::filesystem::path& path, FileAccess& access) {
    if (path.empty()) {
        access = FileAccess::Missing;
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        access = accessAfterError(errno);
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        access = S_ISREG(status.st_mode) ? FileAccess::Unreadable : FileAccess::NotRegular;
        ::close(fd);
        return -1;
    }
    access = FileAccess::Ok;
    return fd;
}

// Appends up to `count` bytes; false on a read error. Adds nothing at the end of the file.
bool readSome(int fd, std::string& buffer, std::size_t count) {
    const std::size_t old = buffer.size();
    buffer.resize(old + count);
    ssize_t got = 0;
    do {
        got = ::read(fd, buffer.data() + old, count);
    } while (got < 0 && errno == EINTR);
    buffer.resize(old + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    return got >= 0;
}

bool hasLineLongerThan(std::string_view bytes, std::size_t limit) {
    std::size_t run = 0;
    for (const char c : bytes) {
        run = c == '\r' || c == '\n' ? 0 : run + 1;
        if (run > limit) {
            return true;
        }
    }
    return false;
}

}  // namespace

ReadLimits readLimitsFor(DataFileKind kind) {
    switch (kind) {
        case DataFileKind::Format:
            // Twenty short lines; the write-back rewrites the whole file, so the cap is the
            // same for both.
            return {kMiB, kMiB};
        case DataFileKind::Numeric:
            // Values are read one line at a time, so the total only bounds how long a wrong
            // file (a disk image, a log) is scanned. 2 GiB holds the text of any grid the index
            // limits let a mesh reach (8190 x 3 with IPL 3, or 32766 x 32766 stream lines at two
            // bytes a value). Rows are read in pieces of the line limit, so a whole grid may
            // stand on one line; only one value must fit a piece.
            return {2048 * kMiB, 4 * kMiB};
        case DataFileKind::Comment:
            // Read whole; one paragraph may be the whole file.
            return {16 * kMiB, 16 * kMiB};
        case DataFileKind::PathFile:
            return {kMiB, kMiB};
        case DataFileKind::EditedText:
            // The checker holds the whole text in its editor, several times over.
            return {64 * kMiB, 64 * kMiB};
    }
    return {kMiB, kMiB};
}

std::string fileAccessText(FileAccess access) {
    switch (access) {
        case FileAccess::Ok:
            return {};
        case FileAccess::Missing:
            return "ファイルが存在しません。ご確認ください。 ";
        case FileAccess::NotRegular:
            return "通常のファイルではないため読み込めません。ご確認ください。 ";
        case FileAccess::Unreadable:
            return "ファイルを読み込めません。ご確認ください。 ";
        case FileAccess::TooLarge:
            return "ファイルが大きすぎます。ご確認ください。 ";
        case FileAccess::LineTooLong:
            return "ファイルに長すぎる行があります。ご確認ください。 ";
    }
    return {};
}

FileAccess probeDataFile(const std::filesystem::path& path) {
    if (path.empty()) {
        return FileAccess::Missing;
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return accessAfterError(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return FileAccess::NotRegular;
    }
    return ::access(path.c_str(), R_OK) == 0 ? FileAccess::Ok : FileAccess::Unreadable;
}

bool isRegularDataFile(const std::filesystem::path& path) {
    return probeDataFile(path) == FileAccess::Ok;
}

FileBytes readBoundedFile(const std::filesystem::path& path, DataFileKind kind) {
    const ReadLimits limits = readLimitsFor(kind);
    FileBytes file;
    const int fd = openRegular(path, file.access);
    if (fd < 0) {
        return file;
    }
    // One byte past the cap tells a file at the cap from a larger one.
    while (file.bytes.size() <= limits.maxBytes) {
        const std::size_t before = file.bytes.size();
        if (!readSome(fd, file.bytes, std::min(kChunk, limits.maxBytes + 1 - before))) {
            file.access = FileAccess::Unreadable;
            break;
        }
        if (file.bytes.size() == before) {
            break;
        }
    }
    ::close(fd);
    if (file.access == FileAccess::Ok && file.bytes.size() > limits.maxBytes) {
        file.access = FileAccess::TooLarge;
    } else if (file.access == FileAccess::Ok &&
               hasLineLongerThan(file.bytes, limits.maxLineBytes)) {
        file.access = FileAccess::LineTooLong;
    }
    if (file.access != FileAccess::Ok) {
        file.bytes.clear();
    }
    return file;
}

BoundedLineReader::BoundedLineReader(const std::filesystem::path& path, DataFileKind kind)
    : limits_(readLimitsFor(kind)), fd_(openRegular(path, access_)) {}

BoundedLineReader::~BoundedLineReader() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

FileAccess BoundedLineReader::access() const {
    return access_;
}

bool BoundedLineReader::fail(FileAccess why) {
    access_ = why;
    buffer_.clear();
    return false;
}

bool BoundedLineReader::nextLine(std::string& line) {
    bool lineEnds = true;
    return next(line, false, lineEnds);
}

bool BoundedLineReader::nextPiece(std::string& piece, bool& lineEnds) {
    return next(piece, true, lineEnds);
}

bool BoundedLineReader::takePiece(std::string& piece, bool& lineEnds) {
    piece.assign(buffer_, pos_, limits_.maxLineBytes);
    pos_ += limits_.maxLineBytes;
    scanned_ = std::max(scanned_, pos_);
    lineEnds = false;
    return true;
}

bool BoundedLineReader::next(std::string& line, bool pieces, bool& lineEnds) {
    lineEnds = true;
    if (access_ != FileAccess::Ok) {
        return false;
    }
    for (;;) {
        // Bytes past the cap are read only to learn that there are some.
        const std::size_t capEnd =
            buffer_.size() - std::min(buffer_.size(), read_ - std::min(read_, limits_.maxBytes));
        const std::size_t end =
            lineEnd(std::string_view(buffer_).substr(0, capEnd), std::min(scanned_, capEnd));
        if (end != std::string_view::npos) {
            const bool cr = buffer_[end] == '\r';
            if (cr && end + 1 == buffer_.size() && !atEnd_) {
                scanned_ = end;
                if (!fill()) {
                    return false;
                }
                continue;  // a line feed may follow
            }
            if (end - pos_ > limits_.maxLineBytes) {
                return pieces ? takePiece(line, lineEnds) : fail(FileAccess::LineTooLong);
            }
            line.assign(buffer_, pos_, end - pos_);
            pos_ = end + 1 + (cr && end + 1 < buffer_.size() && buffer_[end + 1] == '\n' ? 1 : 0);
            scanned_ = pos_;
            return true;
        }
        scanned_ = capEnd;
        if (capEnd - pos_ > limits_.maxLineBytes) {
            return pieces ? takePiece(line, lineEnds) : fail(FileAccess::LineTooLong);
        }
        if (read_ > limits_.maxBytes) {
            return fail(FileAccess::TooLarge);
        }
        if (atEnd_) {
            if (pos_ == buffer_.size()) {
                return false;
            }
            line.assign(buffer_, pos_);
            pos_ = scanned_ = buffer_.size();
            return true;
        }
        if (!fill()) {
            return false;
        }
    }
}

bool BoundedLineReader::fill() {
    buffer_.erase(0, pos_);
    scanned_ -= pos_;
    pos_ = 0;
    const std::size_t before = buffer_.size();
    if (!readSome(fd_, buffer_, std::min(kChunk, limits_.maxBytes + 1 - read_))) {
        return fail(FileAccess::Unreadable);
    }
    read_ += buffer_.size() - before;
    atEnd_ = buffer_.size() == before;
    return true;
}

}  // namespace kavlo
