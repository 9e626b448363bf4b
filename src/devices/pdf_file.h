#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_sink.h"

namespace kavlo {

// The frame of a PDF file written front to back into a sink: numbered objects, compressed
// streams, and the cross-reference table that finds them.
class PdfFile {
  public:
    explicit PdfFile(ByteSink sink);

    // A number for an object written later.
    int reserve();
    void beginObject(int number);
    void endObject();
    void write(std::string_view bytes);
    // A whole object holding a stream compressed by `deflated`; `dictionary` is the rest of
    // the stream's dictionary, without brackets.
    void writeStream(int number, std::string_view dictionary, std::string_view packed);
    // The trailer, naming `root` the catalog; false when the sink refused any piece.
    bool finish(int root);

  private:
    ByteSink sink_;
    std::uint64_t offset_ = 0;
    bool failed_ = false;
    std::vector<std::uint64_t> offsets_;
};

// The bytes compressed as PDF's FlateDecode reads them.
std::string deflated(std::string_view bytes);

// "n 0 R".
std::string pdfReference(int number);

}  // namespace kavlo
