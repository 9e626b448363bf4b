#pragma once

#include <zlib.h>

#include <functional>
#include <string>
#include <string_view>

namespace kavlo {

// Takes output piece by piece, in order; false when a piece could not be kept.
using ByteSink = std::function<bool(std::string_view)>;

// Compresses bytes as they come (zlib format, as PDF's FlateDecode reads it) and hands the
// compressed bytes on to a sink, so a large stream is never held whole.
class DeflateStream {
  public:
    DeflateStream(int level, ByteSink sink);
    ~DeflateStream();
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;

    bool write(std::string_view bytes);
    // Ends the stream; false when the sink refused any piece.
    bool finish();
    // Compressed bytes handed on so far.
    std::size_t written() const { return written_; }

  private:
    bool run(int flush);

    z_stream zs_{};
    ByteSink sink_;
    std::string out_;
    std::size_t written_ = 0;
    bool failed_ = false;
};

// The whole text compressed at once.
std::string deflated(std::string_view bytes, int level);

}  // namespace kavlo
