#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bounded_file.h"
#include "text_decoding.h"

namespace kavlo {

enum class LineEnd : std::uint8_t { CrLf, Lf, Cr, LfCr };

// What it takes to write an edited text back as the bytes it was read from: its encoding and
// byte-order mark, the end each line had, and whether the last line had one.
struct TextLayout {
    TextEncoding encoding = TextEncoding::Utf8;
    bool bom = false;
    std::vector<LineEnd> lineEnds;       // by line index, for the lines the file had
    LineEnd newLineEnd = LineEnd::CrLf;  // for lines past those: the file's most common end
    bool finalLineEnd = false;
    // CP932 lines the encoder would not give back byte for byte (some characters have two
    // codes): while such a line is unedited, its own bytes are written.
    struct KeptLine {
        std::size_t index;
        std::string text;
        std::string bytes;
    };
    std::vector<KeptLine> keptLines;
};

// A text file opened for editing. `text` holds its lines joined by '\n', without a line end
// after the last one. A file that is not valid text (NUL bytes, neither UTF-8 nor CP932) still
// opens, with `readOnlyReason` saying why it must not be saved over.
struct OpenedText {
    FileAccess access = FileAccess::Ok;
    std::string text;
    std::size_t lineCount = 0;
    TextLayout layout;
    std::string readOnlyReason;
};

// The largest file the editor opens.
inline constexpr std::size_t kEditedTextMaxBytes = 64u << 20;

// Splits raw text at CR LF, LF CR, a lone CR or a lone LF (each one line end).
OpenedText openText(std::string_view bytes);
OpenedText openTextFile(const std::filesystem::path& path);

// Keeps the first `lines` lines; true when lines were dropped.
bool keepFirstLines(OpenedText& opened, std::size_t lines);

// Every line end becomes CR LF, final one included.
void convertLineEndsToCrLf(TextLayout& layout);
// The same on raw text: "a" CR "b" LF "c" LF CR "d" CR LF "e" -> a..e joined by CR LF.
std::string withCrLfLineEnds(std::string_view raw);

struct EncodedText {
    std::string bytes;
    std::string problem;  // non-empty: nothing may be written; names the line
    TextLayout layout;    // of the bytes, for the next save
};

// The bytes of `text` ('\n' between lines) laid out as `layout` says: unedited text comes
// back byte for byte.
EncodedText encodeText(std::string_view text, const TextLayout& layout);

}  // namespace kavlo
