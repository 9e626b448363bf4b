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

// Dark pixels both pages share with `b` moved by (dx, dy).
int shared(const QImage& a, const QImage& b, int dx = 0, int dy = 0) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += dark(a, x, y) && dark(b, x - dx, y - dy) ? 1 : 0;
        }
    }
    return count;
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
    const int larger = std::max(shared(a, a), shared(b, b));
    int most = 0;
    for (int dy = -kMaxShift; dy <= kMaxShift; ++dy) {
        for (int dx = -kMaxShift; dx <= kMaxShift; ++dx) {
            most = std::max(most, shared(a, b, dx, dy));
        }
    }
    const double best = larger == 0 ? 0.0 : static_cast<double>(most) / larger;
    std::printf("overlap %.3f (dark pixels %d)\n", best, larger);
    return best >= minimum && larger > 0 ? 0 : 1;
}
