#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "deflate_stream.h"

namespace kavlo {

// The frame of a PDF file written front to back into a sink: numbered objects, compressed
// streams, and the cross-reference table that finds them.
class PdfFile {
  public:
    explicit PdfFile(ByteSink sink);
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    // A number for an object written later.
    int reserve();
    void beginObject(int number);
    void endObject();
    void write(std::string_view bytes);
    // A whole object holding a compressed stream; `dictionary` is the rest of the stream's
    // dictionary, without brackets.
    void writeStream(int number, std::string_view dictionary, std::string_view data);
    // The trailer, naming `root` the catalog; false when the sink refused any piece.
    bool finish(int root);

    ByteSink& sink() { return rawSink_; }

  private:
    ByteSink sink_;
    // Counts what passes on to the sink.
    ByteSink rawSink_;
    std::uint64_t offset_ = 0;
    bool failed_ = false;
    std::vector<std::uint64_t> offsets_;
};

// The level every stream of our PDFs is compressed at: past it the files shrink by little and
// the time grows fast.
constexpr int kPdfDeflateLevel = 3;

// "n 0 R".
std::string pdfReference(int number);

}  // namespace kavlo
