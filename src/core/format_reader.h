#pragma once

#include <string>
#include <string_view>

#include "format_settings.h"
#include "messages.h"
#include "read_rules.h"

namespace kavlo {

enum class FormatReadOutcome {
    Read,     // every value read and checked
    Missing,  // no such file: the slot's format box is to be emptied
    Failed,   // unreadable, too short or not a number where one belongs: the slot is skipped
};

struct FormatRead {
    FormatReadOutcome outcome = FormatReadOutcome::Failed;
    // Complete after a Read; a failed read leaves what it read up to the failure.
    FormatSettings settings;
};

// Reads the 20-line format file of slot `slot`, checks and corrects every value in order with a
// message for each correction.
FormatRead readFormatFile(int slot, const std::string& path, MessageSink& messages,
                          const ReadRules& rules);

// The same for a format file's text as it stands in an editor, already decoded to UTF-8.
FormatRead readFormatText(int slot, std::string_view text, MessageSink& messages);

// Face names for axis labels and comment lines by font kind 0..7.
const char* labelFontFor(int fontKind);
const char* commentFontFor(int fontKind);

}  // namespace kavlo
