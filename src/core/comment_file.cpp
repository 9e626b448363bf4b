#include "comment_file.h"

#include "text_decoding.h"

namespace kavlo {

std::vector<std::string> commentParagraphs(std::string_view utf8) {
    std::vector<std::string> paragraphs;
    std::size_t start = 0;
    while (start < utf8.size()) {
        const std::size_t cr = utf8.find('\r', start);
        if (cr == std::string_view::npos) {
            paragraphs.emplace_back(utf8.substr(start));
            break;
        }
        paragraphs.emplace_back(utf8.substr(start, cr - start));
        start = cr + 1 + (cr + 1 < utf8.size() && utf8[cr + 1] == '\n' ? 1 : 0);
    }
    return paragraphs;
}

CommentFile readCommentFile(const std::filesystem::path& path) {
    const FileBytes file = readBoundedFile(path, DataFileKind::Comment);
    if (file.access != FileAccess::Ok) {
        return {file.access, {}};
    }
    return {FileAccess::Ok, commentParagraphs(decodeText(file.bytes).utf8)};
}

}  // namespace kavlo
