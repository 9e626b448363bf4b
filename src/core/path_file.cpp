#include "path_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <system_error>
#include <vector>

#include "atomic_file.h"
#include "bounded_file.h"
#include "decimal_number.h"
#include "text_decoding.h"
#include "text_file.h"

namespace kavlo {
namespace {

constexpr std::size_t kPathFileLines = 31;
constexpr std::size_t kLinesPerPicker = 9;
constexpr std::size_t kHeaderTextLine = 27;  // zero-based

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// A line break inside a box would shift every later line of the file.
std::string asOneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

// Indices are written as integers, possibly with blanks around them; anything else counts 0.
int listIndexOf(std::string_view line) {
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return 0;
    }
    line = line.substr(first, line.find_last_not_of(" \t") - first + 1);
    const auto value = parseDecimal(line);
    if (!value) {
        return 0;
    }
    const double rounded = std::nearbyint(*value);  // halves to even
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max()) {
        return 0;
    }
    return static_cast<int>(rounded);
}

void applyLine(PageSetup& setup, std::size_t index, std::string line) {
    if (index < kHeaderTextLine) {
        const FileKind kind = kFileKinds[index / kLinesPerPicker];
        FilePicker& picker = setup.picker(kind);
        switch (const std::size_t field = index % kLinesPerPicker) {
            case 0:
                picker.drive = std::move(line);
                break;
            case 1:
                picker.folder = std::move(line);
                break;
            case 2:
                picker.pattern = line.empty() ? defaultPattern(kind) : std::move(line);
                break;
            default:
                picker.files[field - 2] = std::move(line);
        }
        return;
    }
    HeaderSetup& header = setup.header;
    switch (index - kHeaderTextLine) {
        case 0:
            header.text = std::move(line);
            break;
        case 1:
            header.faceIndex = listIndexOf(line);
            break;
        case 2:
            header.sizeIndex = listIndexOf(line);
            break;
        default:
            header.alignmentIndex = listIndexOf(line);
    }
}

}  // namespace

std::string folderOf(std::string_view fullPath) {
    for (std::size_t i = fullPath.size(); i-- > 1;) {
        if (isSeparator(fullPath[i - 1])) {
            return std::string(fullPath.substr(0, i));
        }
    }
    return {};
}

bool breaksPathFileLine(std::string_view name) {
    return name.find_first_of("\r\n") != std::string_view::npos;
}

std::optional<UnwritableName> firstUnwritableName(const PageSetup& setup) {
    for (const FileKind kind : kFileKinds) {
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (breaksPathFileLine(setup.file(kind, slot))) {
                return UnwritableName{kind, slot, setup.file(kind, slot)};
            }
        }
    }
    return std::nullopt;
}

std::string unwritableNameText(const UnwritableName& unwritable, std::string_view outcome) {
    return fileKindTitle(unwritable.kind) + " " + std::to_string(unwritable.slot) +
           " のファイル名に改行が含まれています。改行を含む名前はパスファイルに書けないため、" +
           std::string(outcome) + "ファイル名を変えてから選び直してください。\n\n" +
           unwritable.name;
}

std::string formatPathFile(const PageSetup& setup) {
    std::string text;
    const auto add = [&text](const std::string& line) {
        text += asOneLine(line);
        text += "\r\n";
    };
    for (const FilePicker& picker : setup.pickers) {
        add(picker.drive);
        add(picker.folder);
        add(picker.pattern);
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            add(picker.files[static_cast<std::size_t>(slot)]);
        }
    }
    add(setup.header.text);
    add(std::to_string(setup.header.faceIndex));
    add(std::to_string(setup.header.sizeIndex));
    add(std::to_string(setup.header.alignmentIndex));
    return text;
}

PageSetup parsePathFile(std::string_view bytes, PageSetup base) {
    // A short file sets exactly the lines it holds: the rest of `base` stays, and a pattern
    // line the file does not reach keeps its value instead of taking the default that an empty
    // pattern line gets. Cut-off path files have always been read so.
    std::vector<std::string> lines = splitLines(decodeText(bytes).utf8);
    const std::size_t count = std::min(lines.size(), kPathFileLines);
    for (std::size_t i = 0; i < count; ++i) {
        applyLine(base, i, std::move(lines[i]));
    }
    return base;
}

std::optional<PageSetup> readPathFile(const std::filesystem::path& file, const PageSetup& base) {
    BoundedLineReader reader(file, DataFileKind::PathFile);
    std::string bytes;
    std::string line;
    for (std::size_t count = 0; count < kPathFileLines && reader.nextLine(line); ++count) {
        bytes += line;
        bytes += '\n';
    }
    if (reader.access() != FileAccess::Ok || bytes.empty()) {
        return std::nullopt;
    }
    return parsePathFile(bytes, base);
}

bool holdsPathFile(const std::filesystem::path& folder) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(folder / kPathFileName, error));
}

bool writePathFile(const std::filesystem::path& file, const PageSetup& setup) {
    return !firstUnwritableName(setup) && replaceFileAtomically(file, formatPathFile(setup)).ok();
}

}  // namespace kavlo
