#include "png_encoder.h"

#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kavlo {
namespace {

constexpr std::string_view kSignature = "\x89PNG\r\n\x1a\n";
constexpr int kBytesPerPixel = 3;
constexpr std::uint8_t kSubFilter = 1;
constexpr int kColourTypeRgb = 2;
constexpr int kBitDepth = 8;
// Low effort: runs of zeros compress at once, and more effort buys little on a page.
constexpr int kDeflateLevel = 1;
// A small match table: zlib slides all of it every 32 KiB of rows, which costs more than the
// bytes a larger one saves on a page.
constexpr int kMemoryLevel = 5;
constexpr std::size_t kOutputChunk = 1 << 16;

void putBigEndian(QByteArray& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.append(static_cast<char>((value >> shift) & 0xff));
    }
}

void putChunk(QByteArray& out, const char (&type)[5], const QByteArray& data) {
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    const auto* bytes = reinterpret_cast<const Bytef*>(out.constData() + start);
    putBigEndian(out, static_cast<std::uint32_t>(
                          crc32(crc32(0, nullptr, 0), bytes, static_cast<uInt>(4 + data.size()))));
}

// One row as PNG stores it: the filter byte, then each byte less the one a pixel before.
void filterRow(const QRgb* pixels, int width, std::vector<std::uint8_t>& row) {
    std::uint8_t* out = row.data();
    *out++ = kSubFilter;
    QRgb previous = 0;
    for (int x = 0; x < width; ++x) {
        const QRgb pixel = pixels[x];
        *out++ = static_cast<std::uint8_t>(qRed(pixel) - qRed(previous));
        *out++ = static_cast<std::uint8_t>(qGreen(pixel) - qGreen(previous));
        *out++ = static_cast<std::uint8_t>(qBlue(pixel) - qBlue(previous));
        previous = pixel;
    }
}

// The filtered rows deflated into one zlib stream; empty on failure.
QByteArray compressedRows(const QImage& image) {
    z_stream stream{};
    if (deflateInit2(&stream, kDeflateLevel, Z_DEFLATED, MAX_WBITS, kMemoryLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        return {};
    }
    QByteArray out;
    std::vector<std::uint8_t> row(1 + static_cast<std::size_t>(image.width()) * kBytesPerPixel);
    std::vector<Bytef> chunk(kOutputChunk);
    bool ok = true;
    for (int y = 0; y < image.height() && ok; ++y) {
        filterRow(reinterpret_cast<const QRgb*>(image.constScanLine(y)), image.width(), row);
        stream.next_in = row.data();
        stream.avail_in = static_cast<uInt>(row.size());
        const int flush = y + 1 == image.height() ? Z_FINISH : Z_NO_FLUSH;
        int status = Z_OK;
        do {
            stream.next_out = chunk.data();
            stream.avail_out = static_cast<uInt>(chunk.size());
            status = deflate(&stream, flush);
            ok = status != Z_STREAM_ERROR;
            out.append(reinterpret_cast<const char*>(chunk.data()),
                       static_cast<qsizetype>(chunk.size() - stream.avail_out));
        } while (ok && stream.avail_out == 0);
        ok = ok && (flush != Z_FINISH || status == Z_STREAM_END);
    }
    deflateEnd(&stream);
    return ok ? out : QByteArray();
}

}  // namespace

QByteArray encodePng(const QImage& source) {
    if (source.isNull()) {
        return {};
    }
    const QImage image = source.format() == QImage::Format_RGB32
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    const QByteArray rows = compressedRows(image);
    if (rows.isEmpty()) {
        return {};
    }
    QByteArray header;
    putBigEndian(header, static_cast<std::uint32_t>(image.width()));
    putBigEndian(header, static_cast<std::uint32_t>(image.height()));
    header.append(static_cast<char>(kBitDepth));
    header.append(static_cast<char>(kColourTypeRgb));
    header.append(3, '\0');  // deflate, adaptive filtering, no interlace
    QByteArray resolution;
    putBigEndian(resolution, static_cast<std::uint32_t>(image.dotsPerMeterX()));
    putBigEndian(resolution, static_cast<std::uint32_t>(image.dotsPerMeterY()));
    resolution.append('\1');  // per metre

    QByteArray png(kSignature.data(), static_cast<qsizetype>(kSignature.size()));
    putChunk(png, "IHDR", header);
    putChunk(png, "pHYs", resolution);
    putChunk(png, "IDAT", rows);
    putChunk(png, "IEND", {});
    return png;
}

}  // namespace kavlo
