#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kavlo {

// A value as the write-back puts it into a format file: at least one integer digit, one to six
// decimals, rounded half away from zero, no trailing zeros after the first decimal.
std::string formatWriteBackValue(double value);

struct ZRange {
    float lower = 0;
    float upper = 0;
};

// What the canvas changed for one graph.
struct ViewChange {
    double turnSteps = 0;
    double zoomSteps = 0;
    // The z range the screen showed the zoomed graph with (settled lower bound, zoomed upper).
    ZRange shownZ;
};

struct WriteBackResult {
    // Nothing was written.
    std::optional<std::string> failure;
    // Written, but line 13 could not hold the shown z range and kept its values.
    std::optional<std::string> note;
};

// Makes a graph's view permanent in its format file: line 6 gets the turned tilt angles; with
// zoom steps line 13 gets the shown z range, without them its values sorted. Every other line
// keeps its bytes. Lines end in CR LF. The file is replaced only once the new text is safely
// written. Messages are for the user and name the file.
WriteBackResult writeBackView(const std::filesystem::path& file, const ViewChange& change);

struct SlotView {
    int slot = 0;
    std::string file;
    ViewChange change;
};

// One format file and the graph slots that use it (`graphs`), lowest first. `change` is the lowest
// slot's; `dropped` lists the graphs whose own change differs from it.
struct FileWriteBack {
    std::string file;
    ViewChange change;
    std::vector<int> graphs;
    std::vector<int> dropped;
};

// Groups slots (in slot order) by the file they name, the same file however it is spelled, so
// that each file is rewritten once.
std::vector<FileWriteBack> groupByFile(const std::vector<SlotView>& views);

}  // namespace kavlo
