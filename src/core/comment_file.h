#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bounded_file.h"

namespace kavlo {

// A comment file as the page draws it: decoded to UTF-8 and split into paragraphs.
struct CommentFile {
    FileAccess access = FileAccess::Ok;
    std::vector<std::string> paragraphs;
};

// Paragraphs end at CR LF or a lone CR; a bare line feed stays inside its paragraph, where it
// ends a row. Text after the last paragraph end is a paragraph too.
std::vector<std::string> commentParagraphs(std::string_view utf8);

// Reads a comment file (UTF-8 or CP932) within the comment limits; no paragraphs unless the
// access is Ok.
CommentFile readCommentFile(const std::filesystem::path& path);

}  // namespace kavlo
