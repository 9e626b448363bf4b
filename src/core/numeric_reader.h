#pragma once

#include <string>

#include "format_settings.h"
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

// Whether the refined lines of this grid, and a mesh cell's outline, stay within 16-bit indices.
bool gridFitsArrays(int nx, int ny, int ipl, int ldr);

}  // namespace kavlo
