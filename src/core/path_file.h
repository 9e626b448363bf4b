#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "page_setup.h"

namespace kavlo {

constexpr const char* kPathFileName = "Kavlo.pth";

// The folder part of a full path, with its trailing separator; empty when there is none. Both
// '/' and '\' separate, since path files written on Windows hold backslashes. The last
// character is never taken as the separator, so a folder path gives its parent.
std::string folderOf(std::string_view fullPath);

// A slot file whose name the path file cannot hold: a line break in it would end its line
// there and shift every later line.
struct UnwritableName {
    FileKind kind;
    int slot;
    std::string name;
};

bool breaksPathFileLine(std::string_view name);
// The first slot file, by kind and slot, whose name holds a line break.
std::optional<UnwritableName> firstUnwritableName(const PageSetup& setup);
// Tells which slot's name holds a line break and, by `outcome`, what was not done.
std::string unwritableNameText(const UnwritableName& unwritable, std::string_view outcome);

// The 31 lines of the path file, each ended by CR LF.
std::string formatPathFile(const PageSetup& setup);

// Applies the lines of a path file (UTF-8 or CP932) onto `base`; a short file changes only
// what its lines reach.
PageSetup parsePathFile(std::string_view bytes, PageSetup base);

// Nothing when the file is missing, empty or cannot be read.
std::optional<PageSetup> readPathFile(const std::filesystem::path& file, const PageSetup& base);

// Whether `folder` holds a path file, readable or not: such a folder is the user's, and
// nothing of the program's goes into it.
bool holdsPathFile(const std::filesystem::path& folder);

// Writes UTF-8 through a temporary file in the same folder, so a failure leaves the old file
// as it was. False on any failure, and without writing when a slot file's name holds a line
// break.
bool writePathFile(const std::filesystem::path& file, const PageSetup& setup);

}  // namespace kavlo
