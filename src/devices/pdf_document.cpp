#include "pdf_document.h"

namespace kavlo {

PdfDocument::PdfDocument(ByteSink sink)
    : file_(std::move(sink)), pages_(file_.reserve()), resources_(file_.reserve()) {}

void PdfDocument::addPage(const std::string& entries) {
    const int page = file_.reserve();
    file_.beginObject(page);
    file_.write("<< /Type /Page /Parent " + pdfReference(pages_) + ' ' + entries + " /Resources " +
                pdfReference(resources_) + " >>");
    file_.endObject();
    kids_ += (count_++ == 0 ? "" : " ") + pdfReference(page);
}

bool PdfDocument::finish() {
    const std::string fonts = fonts_.write(file_);
    file_.beginObject(resources_);
    file_.write("<< /Font << " + fonts + ">> /ColorSpace << " + palettes_.resources() + ">> >>");
    file_.endObject();
    file_.beginObject(pages_);
    file_.write("<< /Type /Pages /Kids [" + kids_ + "] /Count " + std::to_string(count_) + " >>");
    file_.endObject();
    const int catalog = file_.reserve();
    file_.beginObject(catalog);
    file_.write("<< /Type /Catalog /Pages " + pdfReference(pages_) + " >>");
    file_.endObject();
    return file_.finish(catalog);
}

}  // namespace kavlo
