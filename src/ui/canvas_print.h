#pragma once

#include <QDateTime>
#include <filesystem>
#include <optional>

#include "core/messages.h"
#include "render/page_pass.h"

namespace kavlo {

struct PrintedPage {
    // The page went to a printer, or into a PDF file when there is none to print on.
    bool printed = false;
    // At most one message: why nothing was printed, where the PDF went, which slots were left
    // out and why.
    std::optional<Message> message;
};

// The print button's job: the request's page on the default printer with its current settings;
// with no printer installed or no CUPS answering, the page as print-YYYYMMDD-HHMMSS.pdf in
// `folder`.
PrintedPage printCanvasPage(const PageRequest& request, const std::filesystem::path& folder,
                            const QDateTime& now = QDateTime::currentDateTime());

}  // namespace kavlo
