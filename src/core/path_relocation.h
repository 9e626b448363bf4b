#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "messages.h"
#include "page_setup.h"

namespace kavlo {

// A slot file the path file named but that is not where the path file says: found under its
// name in the path file's own folder, or not found at all.
struct RelocatedFile {
    int slot = 0;
    FileKind kind = FileKind::Format;
    std::string written;  // the name as the path file holds it
    std::string found;    // the file used instead; empty when none was found
    friend bool operator==(const RelocatedFile&, const RelocatedFile&) = default;
};

// In the order of the path file's lines.
using RelocationReport = std::vector<RelocatedFile>;

struct RelocatedSetup {
    PageSetup setup;
    RelocationReport report;
};

// Working folders come from other machines, Windows among them: a slot file that does not exist
// as written is looked up by its file name in `pathFileFolder` (exact name first, then without
// regard to ASCII case), and a picker's drive or folder that does not exist becomes that
// folder's. What exists as written is kept; names found nowhere stay as written and are
// reported. Touches nothing on disk.
RelocatedSetup relocatePageSetup(PageSetup setup, const std::filesystem::path& pathFileFolder);

// The path file read onto `base` (as readPathFile does) and relocated to its own folder;
// nothing when readPathFile gives nothing.
std::optional<RelocatedSetup> readRelocatedPathFile(const std::filesystem::path& pathFile,
                                                    const PageSetup& base);

// What a window loads from a path file, at start-up or from a working folder: the path file
// relocated, with the names of files found nowhere emptied as a draw would empty them.
std::optional<RelocatedSetup> loadWorkingFolder(const std::filesystem::path& pathFile,
                                                const PageSetup& base);

// One line per file of the report; empty for an empty report.
std::string relocationText(const RelocationReport& report);

// The one message that tells the report after loading; nothing when it is empty.
std::optional<Message> relocationMessage(const RelocationReport& report);

}  // namespace kavlo
