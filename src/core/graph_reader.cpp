#include "graph_reader.h"

namespace kavlo {

GraphRead readGraph(GraphState& g, int slot, const GraphFiles& files, float us, float vs,
                    double turnSteps, MessageSink& messages, const ReadRules& rules) {
    GraphRead read;
    read.format = readFormatFile(g, slot, files.formatPath, us, vs, turnSteps, messages, rules);
    if (read.format != FormatReadOutcome::Read) {
        return read;
    }
    read.numeric = readNumericFile(g, slot, files.numericPath, messages, rules);
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
