// The comment-file reader on any bytes: a small file always reads, into UTF-8 paragraphs that
// hold no carriage return.
#include "core/comment_file.h"
#include "core/text_decoding.h"
#include "fuzz_target.h"
#include "invariant.h"
#include "scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kavlo;
    const auto bytes = fuzz::asBytes(data, size);
    const auto file = fuzz::scratchFolder().write("comment.txt", bytes);

    const CommentFile comment = readCommentFile(file);
    fuzz::require(comment.access == FileAccess::Ok, "a small regular file reads");
    std::size_t length = 0;
    for (const auto& paragraph : comment.paragraphs) {
        fuzz::require(isValidUtf8(paragraph), "paragraphs are UTF-8");
        fuzz::require(paragraph.find('\r') == std::string::npos, "a CR always ends a paragraph");
        length += paragraph.size();
    }
    // Only the line ends are dropped.
    fuzz::require(length <= decodeText(bytes).utf8.size(), "no text is made up");
    return 0;
}
