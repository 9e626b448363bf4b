#include "page_setup.h"

#include <filesystem>
#include <string_view>

namespace kavlo {
namespace {

constexpr std::array<std::string_view, 4> kHeaderFaces = {"ＭＳ Ｐ明朝", "ＭＳ Ｐゴシック",
                                                          "Times New Roman", "Arial"};
constexpr int kHeaderSizeCount = 9;
constexpr int kSampleCommentCount = 4;

}  // namespace

std::string headerFace(int faceIndex) {
    if (faceIndex < 0 || faceIndex >= static_cast<int>(kHeaderFaces.size())) {
        return {};
    }
    return std::string(kHeaderFaces[static_cast<std::size_t>(faceIndex)]);
}

std::optional<int> headerSize(int sizeIndex) {
    if (sizeIndex < 0 || sizeIndex >= kHeaderSizeCount) {
        return std::nullopt;
    }
    return sizeIndex + 1;
}

HeaderAlignment headerAlignment(int alignmentIndex) {
    switch (alignmentIndex) {
        case 1:
            return HeaderAlignment::Centre;
        case 2:
            return HeaderAlignment::Right;
        default:
            return HeaderAlignment::Left;
    }
}

std::string defaultPattern(FileKind kind) {
    return kind == FileKind::Comment ? "*.txt" : "*.dat";
}

std::string fileKindTitle(FileKind kind) {
    switch (kind) {
        case FileKind::Format:
            return "書式データファイル";
        case FileKind::Numeric:
            return "数値データファイル";
        case FileKind::Comment:
            return "コメントデータファイル";
    }
    return {};
}

PageSetup sampleSetup(const std::string& folder) {
    PageSetup setup;
    const std::string drive = std::filesystem::path(folder).root_path().string();
    for (const FileKind kind : {FileKind::Format, FileKind::Numeric, FileKind::Comment}) {
        FilePicker& picker = setup.picker(kind);
        picker.drive = drive;
        picker.folder = folder;
        picker.pattern = defaultPattern(kind);
    }
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const std::string n = std::to_string(slot);
        setup.file(FileKind::Format, slot) = prefix + "frmqap" + n + ".dat";
        setup.file(FileKind::Numeric, slot) = prefix + "g01.dat";
        if (slot <= kSampleCommentCount) {
            setup.file(FileKind::Comment, slot) = prefix + "cmtqap" + n + ".txt";
        }
    }
    return setup;
}

}  // namespace kavlo
