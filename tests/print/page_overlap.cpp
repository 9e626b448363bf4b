// page_overlap A.pgm B.pgm MIN: how much the dark pixels of two rasterised pages overlap, at the
// best of small shifts (a page through the CUPS filters moves by a pixel or two). Prints the
// overlap; exits 0 when both are the same size and the overlap is at least MIN, else 1.

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kDark = 128;
constexpr int kMaxShift = 2;

bool dark(const QImage& image, int x, int y) {
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
           qGray(image.pixel(x, y)) < kDark;
}

int darkCount(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += dark(image, x, y) ? 1 : 0;
        }
    }
    return count;
}

// Dark pixels both pages share with `b` moved by (dx, dy), over the dark pixels of the larger.
double overlap(const QImage& a, const QImage& b, int dx, int dy, int larger) {
    int shared = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            shared += dark(a, x, y) && dark(b, x - dx, y - dy) ? 1 : 0;
        }
    }
    return larger == 0 ? 0.0 : static_cast<double>(shared) / larger;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: page_overlap A.pgm B.pgm MIN\n");
        return 2;
    }
    const QImage a(argv[1]);
    const QImage b(argv[2]);
    const double minimum = std::atof(argv[3]);
    if (a.isNull() || b.isNull() || a.size() != b.size()) {
        std::fprintf(stderr, "page_overlap: the pages differ in size or cannot be read\n");
        return 1;
    }
    const int larger = std::max(darkCount(a), darkCount(b));
    double best = 0;
    for (int dy = -kMaxShift; dy <= kMaxShift; ++dy) {
        for (int dx = -kMaxShift; dx <= kMaxShift; ++dx) {
            best = std::max(best, overlap(a, b, dx, dy, larger));
        }
    }
    std::printf("overlap %.3f (dark pixels %d)\n", best, larger);
    return best >= minimum && larger > 0 ? 0 : 1;
}
