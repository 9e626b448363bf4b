#include "pdf_content.h"

namespace kavlo {
namespace {

// Pieces being compressed while the next one is drawn.
constexpr std::size_t kPiecesInFlight = 2;

}  // namespace

void PdfContent::add(std::string piece) {
    pending_.push_back(
        std::async(std::launch::async, [piece = std::move(piece)] { return deflated(piece); }));
    if (pending_.size() > kPiecesInFlight) {
        writeOldest();
    }
}

void PdfContent::writeOldest() {
    const int number = file_.reserve();
    file_.writeStream(number, "", pending_.front().get());
    pending_.pop_front();
    streams_ += pdfReference(number) + ' ';
}

std::string PdfContent::finish() {
    while (!pending_.empty()) {
        writeOldest();
    }
    return '[' + streams_ + ']';
}

}  // namespace kavlo
