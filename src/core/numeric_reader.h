#pragma once

#include <string>

#include "format_settings.h"
#include "graph_state.h"
#include "grid.h"
#include "messages.h"
#include "read_rules.h"

namespace kavlo {

enum class NumericReadOutcome {
    Read,     // grid read, z range recorded
    NoFile,   // no numeric file named: frame and labels only
    Missing,  // no such file: the slot's numeric box is to be emptied
    Aborted,  // bad data: nothing of the slot is drawn
};

struct NumericRead {
    NumericReadOutcome outcome = NumericReadOutcome::NoFile;
    // Empty (0 x 0) unless Read.
    Grid grid;
};

// Reads the z grid of a slot whose format file read as `format`, checks every value against it
// and records the data's z range.
NumericRead readNumericFile(int slot, const std::string& path, const FormatSettings& format,
                            MessageSink& messages, const ReadRules& rules);

// Whether the work arrays for this grid stay within their 16-bit index limits.
bool gridFitsArrays(int nx, int ny, int ipl, int ldr);

// Sizes the spline work arrays for the grid NX x NY with IPL points inserted per interval; the
// refined lines of a mesh or surface are left to its drawing.
void sizeWorkArrays(GraphState& g);
// The refined grid lines and cell outline of a mesh or surface, sized only while it is drawn:
// they grow with the grid times IPL, and a pass that only reads never needs them.
void sizeRefinedLines(GraphState& g);
void clearRefinedLines(GraphState& g);

}  // namespace kavlo
