#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace kavlo {

// The kinds of file the program reads; each has its own size and line limits.
enum class DataFileKind { Format, Numeric, Comment, PathFile, EditedText };

struct ReadLimits {
    std::size_t maxBytes;      // a larger file is refused (or read no further, see below)
    std::size_t maxLineBytes;  // a longer line is refused
};

ReadLimits readLimitsFor(DataFileKind kind);

// Why a file could not be read. Only regular files are read: a folder, FIFO or device is
// NotRegular, and opening never blocks.
enum class FileAccess { Ok, Missing, NotRegular, Unreadable, TooLarge, LineTooLong };

// The user-facing text for a failed access; only a missing file gets the text users know
// for it, "ファイルが存在しません。ご確認ください。 ".
std::string fileAccessText(FileAccess access);

// Whether `path` names an existing regular file (following links).
bool isRegularDataFile(const std::filesystem::path& path);

// What stands at `path`: Ok for a regular file, Missing, NotRegular, or Unreadable.
FileAccess probeDataFile(const std::filesystem::path& path);

struct FileBytes {
    FileAccess access = FileAccess::Ok;
    std::string bytes;
};

// The whole file, within the limits of its kind.
FileBytes readBoundedFile(const std::filesystem::path& path, DataFileKind kind);

// Reads a regular file line by line (CR LF, LF or a lone CR end a line) within the limits of
// its kind. The one way the program reads a data file.
class BoundedLineReader {
  public:
    BoundedLineReader(const std::filesystem::path& path, DataFileKind kind);
    ~BoundedLineReader();
    BoundedLineReader(const BoundedLineReader&) = delete;
    BoundedLineReader& operator=(const BoundedLineReader&) = delete;

    // Ok after a successful open, else why not; after a failed nextLine, why it stopped
    // (Ok at the end of the file).
    FileAccess access() const;

    // The next line without its end; false at the end of the file or on a failure.
    bool nextLine(std::string& line);

    // The same, but a line longer than the line limit comes in pieces of that length instead
    // of failing; `lineEnds` tells whether the piece is the last of its line.
    bool nextPiece(std::string& piece, bool& lineEnds);

  private:
    bool next(std::string& line, bool pieces, bool& lineEnds);
    bool takePiece(std::string& piece, bool& lineEnds);
    bool fill();
    bool fail(FileAccess why);

    ReadLimits limits_;
    FileAccess access_ = FileAccess::Ok;  // set by the open, before fd_
    int fd_ = -1;
    std::string buffer_;
    std::size_t pos_ = 0;      // start of the next line in buffer_
    std::size_t scanned_ = 0;  // buffer_ holds no line end in [pos_, scanned_)
    std::size_t read_ = 0;     // bytes read from the file so far
    bool atEnd_ = false;
};

}  // namespace kavlo
