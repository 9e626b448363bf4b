#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "messages.h"
#include "page_setup.h"

namespace kavlo {

// Why a file opened with the program found no slot.
enum class LeftOutReason { Missing, NotText, UnknownKind, NoFreeSlot, LineBreakInName };

// What kind of slot file `file` is, told by its name and content: a `.txt` file is a comment
// file when it is text (no NUL, UTF-8 or CP932, as the checker tells it); a `.dat` file is a
// format file when the format reader reads it and its first line is a title, and a numeric file
// when its first line holds only numbers (the grid counts). Else why it is none.
std::variant<FileKind, LeftOutReason> classifyDataFile(const std::filesystem::path& file);

struct LeftOutFile {
    std::string path;
    LeftOutReason reason = LeftOutReason::UnknownKind;
    friend bool operator==(const LeftOutFile&, const LeftOutFile&) = default;
};

// A working folder's path file, opened by its name in any case (a folder copied from Windows may
// hold KAVLO.PTH): it loads that folder rather than filling a slot.
bool isPathFile(const std::filesystem::path& file);

// Files opened with the program, sorted into the slots.
struct OpenedFiles {
    PageSetup setup;
    std::vector<LeftOutFile> leftOut;  // in the order given
};

// A page of just these files, with `base`'s header: every slot is emptied, each kind fills its
// slots from slot 1 in the order given, and each picker moves to the folder of its first file
// (a kind with no file keeps its folder).
OpenedFiles placeOpenedFiles(const PageSetup& base,
                             const std::vector<std::filesystem::path>& files);

// The one message that names every file left out under its reason, or nothing when all found a
// slot.
std::optional<Message> leftOutFilesMessage(const OpenedFiles& opened);

}  // namespace kavlo
