#include "opened_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <system_error>

#include "ascii_case.h"
#include "bounded_file.h"
#include "decimal_number.h"
#include "edited_text.h"
#include "format_reader.h"
#include "path_file.h"
#include "text_decoding.h"
#include "value_line.h"

namespace kavlo {
namespace {

std::string lowerExtension(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::ranges::transform(extension, extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// A numeric file starts with its grid counts; a format file with a title. A first line too
// long for one piece is judged by the values of its first piece, the cut last one aside.
bool firstLineHoldsOnlyNumbers(const std::filesystem::path& file) {
    BoundedLineReader reader(file, DataFileKind::Numeric);
    std::string piece;
    bool lineEnds = true;
    if (!reader.nextPiece(piece, lineEnds)) {
        return false;
    }
    std::string_view line = piece;
    if (line.starts_with(kUtf8Bom)) {
        line.remove_prefix(kUtf8Bom.size());
    }
    ValueLine values(line);
    std::vector<std::string_view> tokens;
    for (auto field = values.nextToken(); field.kind != ValueLine::Kind::EndOfLine;
         field = values.nextToken()) {
        if (field.kind == ValueLine::Kind::Empty) {
            return false;
        }
        tokens.push_back(field.text);
    }
    if (!lineEnds && !tokens.empty()) {
        tokens.pop_back();
    }
    return !tokens.empty() && std::ranges::all_of(tokens, [](std::string_view t) {
        return parseDecimal(t).has_value();
    });
}

bool readsAsFormatFile(const std::filesystem::path& file) {
    SilentMessages quiet;
    return readFormatFile(1, file.string(), quiet, ReadRules{}).outcome == FormatReadOutcome::Read;
}

// A .txt file the checker would open read-only for its bytes is no comment. One too large to
// read here is left to the drawing, which tells why.
bool readsAsText(const std::filesystem::path& file) {
    const FileBytes read = readBoundedFile(file, DataFileKind::Comment);
    return read.access != FileAccess::Ok || openText(read.bytes).readOnlyReason.empty();
}

std::string leftOutHeading(LeftOutReason reason) {
    switch (reason) {
        case LeftOutReason::Missing:
            return "次のファイルがありません。";
        case LeftOutReason::NotText:
            return "テキストではないため（NUL 文字を含むか、UTF-8 でも CP932 でもない）、次のファ"
                   "イルはコメントデータファイルとして開きませんでした。";
        case LeftOutReason::UnknownKind:
            return "書式・数値・コメントのどのデータファイルか判別できないため、次のファイルは開き"
                   "ませんでした。";
        case LeftOutReason::NoFreeSlot:
            return "同じ種類のファイルは 6 つまでです。次のファイルは開きませんでした。";
        case LeftOutReason::LineBreakInName:
            return "ファイル名に改行が含まれていてパスファイルに書けないため、次のファイルは開きま"
                   "せんでした。";
    }
    return {};
}

}  // namespace

bool isPathFile(const std::filesystem::path& file) {
    return sameIgnoringAsciiCase(file.filename().string(), kPathFileName);
}

std::variant<FileKind, LeftOutReason> classifyDataFile(const std::filesystem::path& file) {
    switch (probeDataFile(file)) {
        case FileAccess::Ok:
            break;
        case FileAccess::Missing:
            return LeftOutReason::Missing;
        default:
            return LeftOutReason::UnknownKind;
    }
    const std::string extension = lowerExtension(file);
    if (extension == ".txt") {
        return readsAsText(file) ? std::variant<FileKind, LeftOutReason>(FileKind::Comment)
                                 : LeftOutReason::NotText;
    }
    if (extension != ".dat") {
        return LeftOutReason::UnknownKind;
    }
    if (firstLineHoldsOnlyNumbers(file)) {
        return FileKind::Numeric;
    }
    if (readsAsFormatFile(file)) {
        return FileKind::Format;
    }
    return LeftOutReason::UnknownKind;
}

OpenedFiles placeOpenedFiles(const PageSetup& base,
                             const std::vector<std::filesystem::path>& files) {
    OpenedFiles opened{base, {}};
    for (FilePicker& picker : opened.setup.pickers) {
        picker.files.fill("");
    }
    std::array<int, 3> filled{};
    for (const auto& given : files) {
        // With no working folder left (removed under us) a relative name stays as given.
        std::error_code noWorkingFolder;
        const auto full = std::filesystem::absolute(given, noWorkingFolder);
        const std::string path = (noWorkingFolder ? given : full).lexically_normal().string();
        if (breaksPathFileLine(path)) {
            opened.leftOut.push_back({path, LeftOutReason::LineBreakInName});
            continue;
        }
        const auto sorted = classifyDataFile(path);
        if (const auto* reason = std::get_if<LeftOutReason>(&sorted)) {
            opened.leftOut.push_back({path, *reason});
            continue;
        }
        const FileKind kind = std::get<FileKind>(sorted);
        int& slots = filled[static_cast<std::size_t>(kind)];
        if (slots == kSlotCount) {
            opened.leftOut.push_back({path, LeftOutReason::NoFreeSlot});
            continue;
        }
        FilePicker& picker = opened.setup.picker(kind);
        if (slots == 0) {
            picker.folder = std::filesystem::path(path).parent_path().string();
            picker.drive = std::filesystem::path(path).root_path().string();
        }
        picker.files[static_cast<std::size_t>(++slots)] = path;
    }
    return opened;
}

std::optional<Message> leftOutFilesMessage(const OpenedFiles& opened) {
    std::string text;
    for (const LeftOutReason reason :
         {LeftOutReason::Missing, LeftOutReason::NotText, LeftOutReason::UnknownKind,
          LeftOutReason::NoFreeSlot, LeftOutReason::LineBreakInName}) {
        std::string files;
        for (const LeftOutFile& file : opened.leftOut) {
            files += file.reason == reason ? "\n" + file.path : "";
        }
        if (!files.empty()) {
            text += (text.empty() ? "" : "\n\n") + leftOutHeading(reason) + files;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    return Message{"Kavlo", text};
}

}  // namespace kavlo
