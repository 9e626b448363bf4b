#pragma once

#include <vector>

#include "core/format_reader.h"
#include "core/messages.h"

namespace kavlo::fuzz {

// What every format read must leave behind: after a Read, each value the reader corrects lies
// in its range; in any case every message and label is UTF-8.
void checkFormatRead(FormatReadOutcome outcome, const FormatSettings& g,
                     const std::vector<Message>& messages);

}  // namespace kavlo::fuzz
