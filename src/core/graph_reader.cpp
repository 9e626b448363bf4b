#include "graph_reader.h"

#include "projection.h"

namespace kavlo {

GraphRead readGraph(PlacedGraph& g, int slot, const GraphFiles& files, float us, float vs,
                    double turnSteps, MessageSink& messages, const ReadRules& rules) {
    GraphRead read;
    FormatRead format = files.formatText ? readFormatText(slot, *files.formatText, messages)
                                         : readFormatFile(slot, files.formatPath, messages, rules);
    read.format = format.outcome;
    static_cast<FormatSettings&>(g) = std::move(format.settings);
    if (read.format != FormatReadOutcome::Read) {
        return read;
    }
    placeFrame(g, turnSteps, us, vs);
    NumericRead numeric = readNumericFile(slot, files.numericPath, g, messages, rules);
    read.numeric = numeric.outcome;
    static_cast<Grid&>(g) = std::move(numeric.grid);
    switch (read.numeric) {
        case NumericReadOutcome::Read:
            read.outcome = GraphReadOutcome::Plot;
            break;
        case NumericReadOutcome::NoFile:
            read.outcome = GraphReadOutcome::FrameOnly;
            break;
        case NumericReadOutcome::Missing:
        case NumericReadOutcome::Aborted:
            read.outcome = GraphReadOutcome::Skipped;
            break;
    }
    return read;
}

}  // namespace kavlo
