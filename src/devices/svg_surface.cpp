#include "svg_surface.h"

#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace kavlo {
namespace {

// Drawing calls handed over at a time: few enough hand-overs, little memory.
constexpr std::size_t kBatchCalls = 4096;
// Batches the drawing may run ahead of the writing.
constexpr std::size_t kMostWaiting = 4;

}  // namespace

// Drawing calls in their order, for the document's thread.
struct SvgSurface::Batch {
    enum class Kind : std::uint8_t { Polygon, Polyline, Element };
    struct Call {
        Kind kind;
        SvgStyle style;
        std::size_t first;  // in points, or in text for an element
        std::size_t count;
    };
    std::vector<Call> calls;
    std::vector<DevicePoint> points;
    std::string text;
};

// The document, written on a thread of its own from the batches handed to it in order.
class SvgSurface::Writer {
  public:
    Writer(QRect window, ByteSink sink)
        : document_(window, std::move(sink)), thread_([this] { run(); }) {}

    // A document left unfinished is still ended, so that the thread is done before its sink.
    ~Writer() {
        if (thread_.joinable()) {
            stop();
        }
    }

    void take(std::unique_ptr<Batch> batch) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return waiting_.size() < kMostWaiting; });
        waiting_.push_back(std::move(batch));
        changed_.notify_all();
    }

    // Ends the document and waits for it; a failure of the writing thread comes back here.
    bool end() {
        stop();
        if (failure_) {
            std::rethrow_exception(std::exchange(failure_, nullptr));
        }
        return ok_;
    }

  private:
    void stop() {
        take(nullptr);
        thread_.join();
    }

    void run() {
        for (;;) {
            std::unique_ptr<Batch> batch;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return !waiting_.empty(); });
                batch = std::move(waiting_.front());
                waiting_.pop_front();
                changed_.notify_all();
            }
            if (!batch) {
                if (!failure_) {
                    ok_ = document_.finish();
                }
                return;
            }
            if (!failure_) {
                try {
                    write(*batch);
                } catch (...) {
                    failure_ = std::current_exception();  // the rest is dropped
                }
            }
        }
    }

    void write(const Batch& batch) {
        for (const Batch::Call& call : batch.calls) {
            const std::span points(batch.points.data() + call.first, call.count);
            switch (call.kind) {
                case Batch::Kind::Polygon:
                    document_.polygon(call.style, points);
                    break;
                case Batch::Kind::Polyline:
                    document_.polyline(call.style, points);
                    break;
                case Batch::Kind::Element:
                    document_.element(std::string_view(batch.text).substr(call.first, call.count));
                    break;
            }
        }
    }

    SvgDocument document_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<Batch>> waiting_;  // null: the end
    bool ok_ = false;
    std::exception_ptr failure_;
    std::thread thread_;  // last: starts once the rest is there
};

SvgSurface::SvgSurface(QRect window, StrokeOptions options, ByteSink sink)
    : FontSurface(measuringDevice(1440)),
      options_(options),
      batch_(std::make_unique<Batch>()),
      writer_(std::make_unique<Writer>(window, std::move(sink))) {}

SvgSurface::~SvgSurface() = default;

void SvgSurface::handOver() {
    writer_->take(std::exchange(batch_, std::make_unique<Batch>()));
}

void SvgSurface::handOverWhenFull() {
    if (batch_->calls.size() >= kBatchCalls) {
        handOver();
    }
}

void SvgSurface::add(SvgStyle style, std::span<const DevicePoint> points, bool closed) {
    const std::size_t first = batch_->points.size();
    batch_->points.insert(batch_->points.end(), points.begin(), points.end());
    batch_->calls.push_back(
        {closed ? Batch::Kind::Polygon : Batch::Kind::Polyline, style, first, points.size()});
    handOverWhenFull();
}

void SvgSurface::polygon(std::span<const DevicePoint> points) {
    if (points.empty()) {
        return;
    }
    const PenSpec& edge = pen();
    const Rgb fill = brush().color;
    const bool seam = edge.color == fill;
    add({seam ? SvgStyle::Kind::Seamed : SvgStyle::Kind::Filled, fill, edge.color,
         svgStrokeWidth(strokeWidth(edge, options_, seam))},
        points, true);
}

void SvgSurface::polyline(std::span<const DevicePoint> points) {
    if (points.size() < 2) {
        return;
    }
    add({SvgStyle::Kind::Line, kWhite, pen().color,
         svgStrokeWidth(strokeWidth(pen(), options_, false))},
        points, false);
}

// Copy-pen is the only raster mode the pages use: plain painting over what lies below.
void SvgSurface::setRasterOperation(int /*mode*/) {}

void SvgSurface::drawText(std::int32_t x, std::int32_t y, const std::string& text) {
    const DeviceFont& current = deviceFont();
    std::string& out = batch_->text;
    const std::size_t first = out.size();
    out += "<text transform=\"translate(";
    appendSvgNumber(out, std::int64_t{x});
    out += ' ';
    appendSvgNumber(out, std::int64_t{y});
    out += ") rotate(";
    appendSvgNumber(out, -font().escapement / 10.0);
    out += ") scale(";
    appendSvgNumber(out, current.scaleX);
    out += " 1)\" y=\"";
    appendSvgNumber(out, current.ascent);
    out += "\" font-family=\"";
    appendSvgText(out, current.font.family().toStdString());
    out += "\" font-size=\"";
    appendSvgNumber(
        out, static_cast<std::int64_t>(std::llround(current.font.pixelSize() * current.scale)));
    out += "\" fill=\"#000\" xml:space=\"preserve\">";
    appendSvgText(out, text);
    out += "</text>\n";
    batch_->calls.push_back({Batch::Kind::Element, {}, first, out.size() - first});
    handOverWhenFull();
}

bool SvgSurface::finish() {
    handOver();
    return writer_->end();
}

}  // namespace kavlo
