#include "svg_document.h"

#include <QString>
#include <array>
#include <charconv>
#include <cmath>

#include "render/device_profile.h"

namespace kavlo {
namespace {

// Big enough that writing costs little per element, small enough to be no burden.
constexpr std::size_t kSinkChunk = 1 << 16;
// Stroke widths in tenths of a twip: finer differences no viewer shows.
constexpr double kWidthSteps = 10.0;
// Shaded pages use a few hundred colours; a page of far more is mostly colours used once,
// which a class would only lengthen.
constexpr std::size_t kMostColourClasses = 4096;
// Subpaths one path element takes: long enough to save the bytes, short enough for readers
// that limit the length of an attribute.
constexpr int kMostSubpaths = 256;

// Room for a path's text around its points, and for each point.
constexpr std::size_t kElementChars = 64;
constexpr std::size_t kPointChars = 2 * 21 + 2;

char* put(char* at, std::string_view text) {
    return std::copy(text.begin(), text.end(), at);
}

char* put(char* at, std::int64_t value) {
    return std::to_chars(at, at + 21, value).ptr;
}

// #rgb where the colour allows it, else #rrggbb.
char* putColour(char* at, Rgb c) {
    constexpr std::string_view kHex = "0123456789abcdef";
    *at++ = '#';
    const std::uint8_t channels[] = {c.r, c.g, c.b};
    const bool shortForm =
        (c.r >> 4) == (c.r & 15) && (c.g >> 4) == (c.g & 15) && (c.b >> 4) == (c.b & 15);
    for (const std::uint8_t channel : channels) {
        if (!shortForm) {
            *at++ = kHex[channel >> 4];
        }
        *at++ = kHex[channel & 15];
    }
    return at;
}

void appendColour(std::string& out, Rgb c) {
    char buffer[8];
    out.append(buffer, putColour(buffer, c));
}

// a, b, ... z, a0 ... z9, aa ...: lower case only, as some readers ignore the case of classes.
std::string className(std::size_t index) {
    constexpr std::string_view kFirst = "abcdefghijklmnopqrstuvwxyz";
    constexpr std::string_view kNext = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name(1, kFirst[index % kFirst.size()]);
    for (index /= kFirst.size(); index > 0; index = (index - 1) / kNext.size()) {
        name += kNext[(index - 1) % kNext.size()];
    }
    return name;
}

}  // namespace

void appendSvgNumber(std::string& out, std::int64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

// Six significant digits, the shortest way.
void appendSvgNumber(std::string& out, double value) {
    char buffer[32];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6).ptr;
    out.append(buffer, end);
}

double svgStrokeWidth(double width) {
    return std::round(width * kWidthSteps) / kWidthSteps;
}

void appendSvgText(std::string& out, const std::string& text) {
    // Decoding turns bytes that are not UTF-8, lone surrogates among them, into U+FFFD.
    QString escaped;
    for (const QChar c : QString::fromUtf8(text)) {
        switch (c.unicode()) {
            case '&':
                escaped += u"&amp;";
                break;
            case '<':
                escaped += u"&lt;";
                break;
            case '>':
                escaped += u"&gt;";
                break;
            case '"':
                escaped += u"&quot;";
                break;
            // Two noncharacters XML forbids: a reader refuses the whole picture for either.
            case 0xFFFE:
            case 0xFFFF:
                escaped += QChar::ReplacementCharacter;
                break;
            default:
                // Control characters have no place in XML text.
                if (c.unicode() >= 0x20 || c == '\t') {
                    escaped += c;
                }
        }
    }
    out += escaped.toStdString();
}

SvgDocument::SvgDocument(QRect window, ByteSink sink) : sink_(std::move(sink)) {
    out_ =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg "
        "xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    appendSvgNumber(out_, window.width() / static_cast<double>(kTwipsPerMm));
    out_ += "mm\" height=\"";
    appendSvgNumber(out_, window.height() / static_cast<double>(kTwipsPerMm));
    out_ += "mm\" viewBox=\"";
    appendSvgNumber(out_, std::int64_t{window.left()});
    out_ += ' ';
    appendSvgNumber(out_, std::int64_t{window.top()});
    out_ += ' ';
    appendSvgNumber(out_, std::int64_t{window.width()});
    out_ += ' ';
    appendSvgNumber(out_, std::int64_t{window.height()});
    out_ += "\">\n<g stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
}

void SvgDocument::flush() {
    // After a failure the rest is dropped; the file is lost anyway.
    sinkFailed_ = sinkFailed_ || !sink_(out_);
    out_.clear();
}

void SvgDocument::endElement() {
    if (out_.size() >= kSinkChunk) {
        flush();
    }
}

void SvgDocument::closePath() {
    if (open_) {
        out_ += "\"/>\n";
        open_.reset();
        endElement();
    }
}

void SvgDocument::closeRun() {
    closePath();
    if (run_) {
        out_ += "</g>\n";
        run_.reset();
    }
}

// A run of elements of one style shares a group that sets it. Facets edged in their own fill
// colour take both from the group, set to its first facet's colour, or from their own class.
// Plain fill and stroke only: office suites and Inkscape resolve no `currentColor`.
void SvgDocument::useStyle(const SvgStyle& style) {
    if (run_ && (run_->kind == SvgStyle::Kind::Seamed
                     ? style.kind == run_->kind && style.width == run_->width
                     : style == *run_)) {
        return;
    }
    closeRun();
    out_ += "<g";
    out_ += " fill=\"";
    if (style.kind == SvgStyle::Kind::Line) {
        out_ += "none";
    } else {
        appendColour(out_, style.fill);
    }
    out_ += "\" stroke=\"";
    appendColour(out_, style.kind == SvgStyle::Kind::Seamed ? style.fill : style.stroke);
    out_ += '"';
    out_ += " stroke-width=\"";
    appendSvgNumber(out_, style.width);
    out_ += "\">\n";
    run_ = style;
}

const std::string* SvgDocument::colourClass(Rgb colour) {
    const auto found = classes_.find(packedRgb(colour));
    if (found != classes_.end()) {
        return &found->second;
    }
    if (classes_.size() >= kMostColourClasses) {
        return nullptr;
    }
    const auto& [key, name] =
        *classes_.emplace(packedRgb(colour), className(classes_.size())).first;
    // Declared where first needed, so that readers taking the document in one pass know it.
    out_ += "<style>.";
    out_ += name;
    out_ += "{fill:";
    appendColour(out_, colour);
    out_ += ";stroke:";
    appendColour(out_, colour);
    out_ += "}</style>\n";
    return &name;
}

// Relative steps after the first point: small numbers, and a minus sign needs no space. A path
// begins with a relative move, which at the start means the same as an absolute one and lets
// the lines that follow go without a command letter. The next facet of the same look is one
// more subpath of the same element: the same paint in the same order, in fewer bytes.
void SvgDocument::path(std::span<const DevicePoint> points, bool closed,
                       std::optional<Rgb> colour) {
    const bool merged = open_ && open_->colour == colour && open_->subpaths < kMostSubpaths &&
                        run_->kind != SvgStyle::Kind::Filled;
    if (!merged) {
        closePath();
    }
    const std::string* named = !merged && colour ? colourClass(*colour) : nullptr;
    // Put together on the stack and appended in pieces: writing into the grown document
    // itself would first clear every byte it grows by.
    std::array<char, kElementChars + 16 * kPointChars> scratch;
    char* at = scratch.data();
    DevicePoint from{0, 0};
    if (merged) {
        from = open_->current;
    } else {
        at = put(at, "<path");
        if (named) {
            at = put(at, " class=\"");
            at = put(at, *named);
            *at++ = '"';
        } else if (colour) {
            at = put(at, " fill=\"");
            at = putColour(at, *colour);
            at = put(at, "\" stroke=\"");
            at = putColour(at, *colour);
            *at++ = '"';
        }
        at = put(at, " d=\"");
    }
    *at++ = 'm';
    for (const DevicePoint& point : points) {
        if (scratch.data() + scratch.size() - at < static_cast<std::ptrdiff_t>(kPointChars + 1)) {
            out_.append(scratch.data(), at);
            at = scratch.data();
        }
        const std::int64_t dx = std::int64_t{point.x} - from.x;
        const std::int64_t dy = std::int64_t{point.y} - from.y;
        if (dx >= 0 && &point != points.data()) {
            *at++ = ' ';
        }
        at = put(at, dx);
        if (dy >= 0) {
            *at++ = ' ';
        }
        at = put(at, dy);
        from = point;
    }
    if (closed) {
        *at++ = 'z';
    }
    out_.append(scratch.data(), at);
    open_ =
        OpenPath{colour, closed ? points.front() : points.back(), merged ? open_->subpaths + 1 : 1};
    endElement();
}

void SvgDocument::polygon(const SvgStyle& style, std::span<const DevicePoint> points) {
    useStyle(style);
    const bool ownColour = style.kind == SvgStyle::Kind::Seamed && run_->fill != style.fill;
    path(points, true, ownColour ? std::optional(style.fill) : std::nullopt);
}

void SvgDocument::polyline(const SvgStyle& style, std::span<const DevicePoint> points) {
    useStyle(style);
    path(points, false, std::nullopt);
}

void SvgDocument::element(std::string_view text) {
    // Text takes no stroke from a run around it.
    closeRun();
    out_ += text;
    endElement();
}

bool SvgDocument::finish() {
    closeRun();
    out_ += "</g>\n</svg>\n";
    flush();
    return !sinkFailed_;
}

}  // namespace kavlo
