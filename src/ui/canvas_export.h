#pragma once

#include <QImage>
#include <QString>
#include <filesystem>

#include "core/atomic_file.h"
#include "devices/screen_measure.h"
#include "render/page_pass.h"

namespace kavlo {

struct CanvasSelection;
struct Session;

// The session's page with the selection when one is shown.
PageRequest canvasPageRequest(const Session& session, const CanvasSelection& selection);

// Puts the vector picture of the request's selection, or of the whole page, on the system
// clipboard together with its 300-DPI image.
PageOutcome copyPictureToClipboard(const PageRequest& request);

// The screen page on the system clipboard as a bitmap.
void copyPageImageToClipboard(const QImage& page);

// The save dialog's file types: the screen page, the printed page, the vector picture.
QString pageFileFilters();
// The dialog's answer with the chosen type's extension when it names none of the three.
std::filesystem::path pageFilePath(const QString& chosen, const QString& filter);

// Writes the request's page as the file's extension asks, as `kavlo render` would: PNG the
// screen page at `screenDpi`, PDF the printed page at 600 DPI, SVG the vector picture of the
// selection.
WriteResult savePageFile(const PageRequest& request, const std::filesystem::path& path,
                         PageOutcome& outcome, int screenDpi = kScreenDpi);

}  // namespace kavlo
