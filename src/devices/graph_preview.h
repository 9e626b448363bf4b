#pragma once

#include <QImage>

#include "core/graph_reader.h"
#include "core/messages.h"
#include "screen_measure.h"
#include "text_extent_cache.h"

namespace kavlo {

// The graph that `files` describe, alone, as the canvas at `dpi` draws slot `slot` when it is
// the first graph on the page and has not been turned or stretched: the same pixels, cut to the
// part of the page drawn on with a white border. Text extents are measured once in `extents` for
// all the previews that share it. Null when nothing of the graph is drawn.
QImage renderGraphPreview(int slot, const GraphFiles& files, MessageSink& messages,
                          TextExtentCache& extents, int dpi = kScreenDpi);

}  // namespace kavlo
