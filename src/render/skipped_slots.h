#pragma once

#include <optional>
#include <string>

#include "core/messages.h"
#include "page_composition.h"

namespace kavlo {

// Why nothing of a skipped slot was drawn, naming the file at fault.
std::string skippedSlotReason(const SkippedSlot& skipped);

// One message naming every slot an output left out and why, or nothing when none was; `action`
// names the output ("印刷", "コピー", ...).
std::optional<Message> skippedSlotsMessage(const PageOutcome& outcome, const std::string& action);

}  // namespace kavlo
