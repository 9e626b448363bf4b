#include "png_encoder.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace kavlo {
namespace {

constexpr std::string_view kSignature = "\x89PNG\r\n\x1a\n";
constexpr int kBytesPerPixel = 3;
constexpr std::uint8_t kNoFilter = 0;
constexpr std::uint8_t kSubFilter = 1;
constexpr int kColourTypeRgb = 2;
constexpr int kColourTypePalette = 3;
constexpr int kBitDepth = 8;
constexpr std::size_t kLargestPalette = 256;
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

// Whether every pixel of the row has the first one's colour: most rows of a page do, and the
// library's compare is far quicker than a loop over the pixels.
bool uniform(const QRgb* pixels, int width) {
    return std::memcmp(pixels, pixels + 1, (static_cast<std::size_t>(width) - 1) * sizeof(QRgb)) ==
           0;
}

// The colours of an image that has few: a blank page, lines and text. Empty when it has more
// than a palette holds.
std::vector<QRgb> paletteOf(const QImage& image) {
    std::vector<QRgb> palette;
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QRgb last = ~pixels[0];
        const int end = uniform(pixels, width) ? 1 : width;
        for (int x = 0; x < end; ++x) {
            if (pixels[x] == last) {
                continue;
            }
            last = pixels[x];
            if (std::find(palette.begin(), palette.end(), last) == palette.end()) {
                if (palette.size() == kLargestPalette) {
                    return {};
                }
                palette.push_back(last);
            }
        }
    }
    return palette;
}

// Bits per index: 1, 2, 4 or 8.
int indexBits(std::size_t colours) {
    int bits = 1;
    while ((std::size_t{1} << bits) < colours) {
        bits *= 2;
    }
    return bits;
}

// One row of palette indexes, packed from the high bits, unfiltered: a page's rows of one
// colour shrink to a few bytes each before they are deflated.
class IndexedRows {
  public:
    IndexedRows(const std::vector<QRgb>& palette, int bits) : bits_(bits) {
        for (std::size_t k = 0; k < palette.size(); ++k) {
            index_.emplace_back(palette[k], static_cast<std::uint8_t>(k));
        }
        std::sort(index_.begin(), index_.end());
    }

    // The first colour of the palette is index 0, which the cleared row already holds: a
    // page's background costs nothing here.
    void operator()(const QRgb* pixels, int width, std::vector<std::uint8_t>& row) const {
        std::fill(row.begin(), row.end(), 0);
        row[0] = kNoFilter;
        const int perByte = 8 / bits_;
        if (uniform(pixels, width)) {
            std::uint8_t pattern = 0;
            for (int k = 0; k < perByte; ++k) {
                pattern = static_cast<std::uint8_t>(pattern << bits_ | indexOf(pixels[0]));
            }
            std::fill(row.begin() + 1, row.end(), pattern);
            return;
        }
        QRgb last = ~pixels[0];
        std::uint8_t lastIndex = 0;
        for (int x = 0; x < width; ++x) {
            if (pixels[x] != last) {
                last = pixels[x];
                lastIndex = indexOf(last);
            }
            if (lastIndex != 0) {
                const int shift = 8 - bits_ * (x % perByte + 1);
                row[1 + static_cast<std::size_t>(x / perByte)] |=
                    static_cast<std::uint8_t>(lastIndex << shift);
            }
        }
    }

  private:
    std::uint8_t indexOf(QRgb colour) const {
        return std::lower_bound(index_.begin(), index_.end(), std::pair(colour, std::uint8_t{0}))
            ->second;
    }

    int bits_;
    std::vector<std::pair<QRgb, std::uint8_t>> index_;
};

// The filtered rows deflated into one zlib stream; empty on failure.
template <typename RowMaker>
QByteArray compressedRows(const QImage& image, std::size_t rowBytes, const RowMaker& makeRow) {
    z_stream stream{};
    if (deflateInit2(&stream, kDeflateLevel, Z_DEFLATED, MAX_WBITS, kMemoryLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        return {};
    }
    QByteArray out;
    std::vector<std::uint8_t> row(1 + rowBytes);
    std::vector<Bytef> chunk(kOutputChunk);
    bool ok = true;
    for (int y = 0; y < image.height() && ok; ++y) {
        makeRow(reinterpret_cast<const QRgb*>(image.constScanLine(y)), image.width(), row);
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
    const std::vector<QRgb> palette = paletteOf(image);
    const auto width = static_cast<std::size_t>(image.width());
    QByteArray rows;
    QByteArray colours;
    int bits = kBitDepth;
    if (palette.empty()) {
        rows = compressedRows(image, width * kBytesPerPixel, filterRow);
    } else {
        bits = indexBits(palette.size());
        const std::size_t perByte = static_cast<std::size_t>(8 / bits);
        rows = compressedRows(image, (width + perByte - 1) / perByte, IndexedRows(palette, bits));
        for (const QRgb colour : palette) {
            colours.append(static_cast<char>(qRed(colour)));
            colours.append(static_cast<char>(qGreen(colour)));
            colours.append(static_cast<char>(qBlue(colour)));
        }
    }
    if (rows.isEmpty()) {
        return {};
    }
    QByteArray header;
    putBigEndian(header, static_cast<std::uint32_t>(image.width()));
    putBigEndian(header, static_cast<std::uint32_t>(image.height()));
    header.append(static_cast<char>(bits));
    header.append(static_cast<char>(palette.empty() ? kColourTypeRgb : kColourTypePalette));
    header.append(3, '\0');  // deflate, adaptive filtering, no interlace
    QByteArray resolution;
    putBigEndian(resolution, static_cast<std::uint32_t>(image.dotsPerMeterX()));
    putBigEndian(resolution, static_cast<std::uint32_t>(image.dotsPerMeterY()));
    resolution.append('\1');  // per metre

    QByteArray png(kSignature.data(), static_cast<qsizetype>(kSignature.size()));
    putChunk(png, "IHDR", header);
    putChunk(png, "pHYs", resolution);
    if (!colours.isEmpty()) {
        putChunk(png, "PLTE", colours);
    }
    putChunk(png, "IDAT", rows);
    putChunk(png, "IEND", {});
    return png;
}

}  // namespace kavlo
