#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "placed_graph.h"

namespace kavlo {

enum class FileKind { Format, Numeric, Comment };
constexpr std::array<FileKind, 3> kFileKinds = {FileKind::Format, FileKind::Numeric,
                                                FileKind::Comment};

// One of the main window's three file pickers and the six slot boxes it fills.
struct FilePicker {
    std::string drive;
    std::string folder;
    std::string pattern;
    // Full paths of the slot files, index 1..6 (0 unused).
    std::array<std::string, kSlotCount + 1> files;
    friend bool operator==(const FilePicker&, const FilePicker&) = default;
};

// List indices into the header's face, size and alignment lists, as the path file stores them.
struct HeaderSetup {
    std::string text;
    int faceIndex = 0;
    int sizeIndex = 3;
    int alignmentIndex = 0;
    friend bool operator==(const HeaderSetup&, const HeaderSetup&) = default;
};

enum class HeaderAlignment { Left, Centre, Right };

// Empty when the index is not in the list.
std::string headerFace(int faceIndex);
// Nothing when the index is not in the list: no header is drawn then.
std::optional<int> headerSize(int sizeIndex);
HeaderAlignment headerAlignment(int alignmentIndex);

// The pattern a picker falls back to when its name box is empty.
std::string defaultPattern(FileKind kind);

// What users call the kind of file: "書式データファイル" and the others.
std::string fileKindTitle(FileKind kind);

// Everything the path file records: the three pickers and the header settings.
struct PageSetup {
    std::array<FilePicker, 3> pickers;
    HeaderSetup header;

    FilePicker& picker(FileKind kind) { return pickers[static_cast<std::size_t>(kind)]; }
    const FilePicker& picker(FileKind kind) const {
        return pickers[static_cast<std::size_t>(kind)];
    }
    // Slot 1..6; throws std::out_of_range for anything else.
    std::string& file(FileKind kind, int slot) {
        return picker(kind).files.at(static_cast<std::size_t>(slot));
    }
    const std::string& file(FileKind kind, int slot) const {
        return picker(kind).files.at(static_cast<std::size_t>(slot));
    }
    friend bool operator==(const PageSetup&, const PageSetup&) = default;
};

// The first-run set: every picker at `folder`, the sample files installed there in the slots.
PageSetup sampleSetup(const std::string& folder);

}  // namespace kavlo
