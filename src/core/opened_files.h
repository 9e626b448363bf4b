#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "messages.h"
#include "page_setup.h"

namespace kavlo {

// What kind of slot file `file` is, told by its name and content: a `.txt` file is a comment
// file; a `.dat` file is a format file when the format reader reads it and its first line is a
// title, and a numeric file when its first line holds only numbers (the grid counts). Nothing
// for any other file, or one that cannot be read.
std::optional<FileKind> classifyDataFile(const std::filesystem::path& file);

// Files opened with the program, sorted into the slots.
struct OpenedFiles {
    PageSetup setup;
    // Files of no known kind, and files of a kind whose six slots were already taken.
    std::vector<std::string> unknown;
    std::vector<std::string> noFreeSlot;
    // Files whose names hold a line break, which the path file cannot hold.
    std::vector<std::string> lineBreakInName;
};

// A page of just these files, with `base`'s header: every slot is emptied, each kind fills its
// slots from slot 1 in the order given, and each picker moves to the folder of its first file
// (a kind with no file keeps its folder).
OpenedFiles placeOpenedFiles(const PageSetup& base,
                             const std::vector<std::filesystem::path>& files);

// The one message that names every file left out, or nothing when all found a slot.
std::optional<Message> leftOutFilesMessage(const OpenedFiles& opened);

}  // namespace kavlo
