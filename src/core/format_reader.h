#pragma once

#include <string>

#include "graph_state.h"
#include "messages.h"
#include "read_rules.h"

namespace kavlo {

enum class FormatReadOutcome {
    Read,     // every value read and checked; the frame corners are computed
    Missing,  // no such file: the slot's format box is to be emptied
    Failed,   // unreadable, too short or not a number where one belongs: the slot is skipped
};

// Reads the 20-line format file of a slot into the graph state, checks and corrects every value
// in order with a message for each correction, turns the frame by the slot's `turnSteps` and
// computes the frame corners for a slot at left edge `us` and row top `vs` (page mm).
FormatReadOutcome readFormatFile(GraphState& g, int slot, const std::string& path, float us,
                                 float vs, double turnSteps, MessageSink& messages,
                                 const ReadRules& rules);

// Face names for axis labels and comment lines by font kind 0..7.
const char* labelFontFor(int fontKind);
const char* commentFontFor(int fontKind);

}  // namespace kavlo
