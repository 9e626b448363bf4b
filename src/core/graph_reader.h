#pragma once

#include <optional>
#include <string>

#include "format_reader.h"
#include "messages.h"
#include "numeric_reader.h"
#include "placed_graph.h"
#include "read_rules.h"

namespace kavlo {

struct GraphFiles {
    std::string formatPath;
    std::string numericPath;
    // The format file's text as an editor holds it, read in place of the file when set.
    std::optional<std::string> formatText = std::nullopt;
};

enum class GraphReadOutcome {
    Plot,       // both files read: plot, frame and labels
    FrameOnly,  // no numeric file named: frame and labels only
    Skipped,    // nothing of the slot is drawn
};

struct GraphRead {
    GraphReadOutcome outcome = GraphReadOutcome::Skipped;
    FormatReadOutcome format = FormatReadOutcome::Failed;
    NumericReadOutcome numeric = NumericReadOutcome::NoFile;

    // A missing file's box is emptied so the user sees which one is gone.
    bool clearFormatName() const { return format == FormatReadOutcome::Missing; }
    bool clearNumericName() const { return numeric == NumericReadOutcome::Missing; }
    // Bad numeric data: nothing of the slot is drawn.
    bool aborted() const { return numeric == NumericReadOutcome::Aborted; }
};

// Reads both files of graph slot `slot` into `g`: the format file with its corrections, then
// the frame turned by `turnSteps` and its corners for a slot at left edge `us` and row top `vs`
// (page mm), then the numeric grid.
GraphRead readGraph(PlacedGraph& g, int slot, const GraphFiles& files, float us, float vs,
                    double turnSteps, MessageSink& messages, const ReadRules& rules);

}  // namespace kavlo
