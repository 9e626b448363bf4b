#pragma once

namespace kavlo {

// How a device pass reads the graph files. The screen tests that files exist and empties the
// box of a missing one; the printer and metafile passes follow a screen drawing of the same
// files and read them with a silent message sink.
struct ReadRules {
    bool testExistence = true;
};

}  // namespace kavlo
