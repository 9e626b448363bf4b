#pragma once

#include <string>

#include "graph_state.h"
#include "messages.h"
#include "read_rules.h"

namespace kavlo {

enum class NumericReadOutcome {
    Read,     // grid read, arrays sized, z range recorded
    NoFile,   // no numeric file named: frame and labels only
    Missing,  // no such file: the slot's numeric box is to be emptied
    Aborted,  // bad data: nothing of the slot is drawn
};

// Reads the z grid of a slot whose format file has just been read, checks every value, records
// the data's z range and sizes the work arrays for the grid and the spline refinement; the
// refined lines of a mesh or surface are left to its drawing.
NumericReadOutcome readNumericFile(GraphState& g, int slot, const std::string& path,
                                   MessageSink& messages, const ReadRules& rules);

// Whether the work arrays for this grid stay within their 16-bit index limits.
bool gridFitsArrays(int nx, int ny, int ipl, int ldr);

// Sizes the spline work arrays for the grid NX x NY with IPL points inserted per interval.
void sizeWorkArrays(GraphState& g);
// The refined grid lines and cell outline of a mesh or surface, sized only while it is drawn:
// they grow with the grid times IPL, and a pass that only reads never needs them.
void sizeRefinedLines(GraphState& g);
void clearRefinedLines(GraphState& g);

}  // namespace kavlo
