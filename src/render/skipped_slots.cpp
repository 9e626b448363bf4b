#include "skipped_slots.h"

#include <filesystem>
#include <system_error>

namespace kavlo {
namespace {

// The printer and the metafile do not test that files exist, so a removed file shows as an
// unreadable one; whether it is still there tells the two apart.
bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

std::string fileReason(const std::string& kind, const std::string& path, const char* otherwise) {
    return kind + " " + path + (exists(path) ? otherwise : " がありません。");
}

}  // namespace

std::string skippedSlotReason(const SkippedSlot& skipped) {
    const GraphRead& read = skipped.read;
    if (read.format != FormatReadOutcome::Read) {
        return fileReason(fileKindTitle(FileKind::Format), skipped.files.formatPath,
                          " を読めません。");
    }
    if (read.numeric == NumericReadOutcome::Missing ||
        read.numeric == NumericReadOutcome::Aborted) {
        return fileReason(fileKindTitle(FileKind::Numeric), skipped.files.numericPath,
                          " のデータを読めません。");
    }
    return "描けませんでした。";
}

std::optional<Message> skippedSlotsMessage(const PageOutcome& outcome, const std::string& action) {
    if (outcome.skipped.empty()) {
        return std::nullopt;
    }
    std::string text = "次のグラフは" + action + "できませんでした。";
    for (const SkippedSlot& skipped : outcome.skipped) {
        text += "\nグラフ " + std::to_string(skipped.slot) + ": " + skippedSlotReason(skipped);
    }
    return Message{action, text, MessageIcon::Exclamation};
}

}  // namespace kavlo
