#include "deflate_stream.h"

namespace kavlo {
namespace {

constexpr std::size_t kOutChunk = 1 << 16;

}  // namespace

DeflateStream::DeflateStream(int level, ByteSink sink)
    : sink_(std::move(sink)), out_(kOutChunk, '\0') {
    failed_ = deflateInit(&zs_, level) != Z_OK;
}

DeflateStream::~DeflateStream() {
    deflateEnd(&zs_);
}

bool DeflateStream::run(int flush) {
    int status = Z_OK;
    do {
        zs_.next_out = reinterpret_cast<Bytef*>(out_.data());
        zs_.avail_out = static_cast<uInt>(out_.size());
        status = deflate(&zs_, flush);
        if (status == Z_STREAM_ERROR) {
            return false;
        }
        const std::size_t produced = out_.size() - zs_.avail_out;
        if (produced > 0) {
            failed_ = failed_ || !sink_(std::string_view(out_.data(), produced));
            written_ += produced;
        }
    } while (zs_.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    return !failed_;
}

bool DeflateStream::write(std::string_view bytes) {
    if (failed_) {
        return false;
    }
    zs_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    zs_.avail_in = static_cast<uInt>(bytes.size());
    return run(Z_NO_FLUSH);
}

bool DeflateStream::finish() {
    if (failed_) {
        return false;
    }
    zs_.next_in = nullptr;
    zs_.avail_in = 0;
    return run(Z_FINISH);
}

std::string deflated(std::string_view bytes, int level) {
    std::string out;
    DeflateStream stream(level, [&](std::string_view piece) {
        out.append(piece);
        return true;
    });
    stream.write(bytes);
    stream.finish();
    return out;
}

}  // namespace kavlo
