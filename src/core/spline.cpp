#include "spline.h"

namespace kavlo {

void refineGridLine(GraphState& g, std::int16_t lxy) {
    const int n = lxy == 1 ? g.NX : g.NY;
    const int ipl = g.IPL;
    const float steps = static_cast<float>(ipl + 1);
    auto& a = g.SplA;
    auto& in = g.SplIn;
    auto& b = g.SplB;
    auto& h = g.SplC;
    auto& s = g.SplD;
    auto& e = g.SplE;
    auto& out = g.SplOut;

    for (int i = 1; i <= n; ++i) {
        for (int k = 0; k <= ipl; ++k) {
            const auto numerator = static_cast<std::int16_t>((ipl + 1 - k) * i + (i + 1) * k);
            a(i, k) = static_cast<float>(numerator) / steps;
        }
    }
    if (ipl <= 0) {
        for (int j = 1; j <= n; ++j) {
            out(j) = in(j, 0);
        }
        return;
    }

    b(1) = 1.0f;
    h(1) = 0.0f;
    for (int i = 2; i <= n; ++i) {
        h(i) = a(i, 0) - a(i - 1, 0);
        s(i) = (in(i, 0) - in(i - 1, 0)) / h(i);
    }
    // Clamped ends: the slope of the parabola through the three end points, or of the one
    // interval of a two-point line.
    if (n > 2) {
        e(1, 1) = (3 * s(2) - s(3)) / 2;
        e(1, n) = (3 * s(n) - s(n - 1)) / 2;
    } else {
        e(1, 1) = s(2);
        e(1, n) = s(n);
    }
    for (int i = 2; i <= n - 1; ++i) {
        e(1, i) = 3 * (h(i + 1) * s(i) + h(i) * s(i + 1));
        b(i) = 2 * (h(i + 1) + h(i));
    }
    for (int i = 2; i <= n - 1; ++i) {
        const float r = h(i + 1) / b(i - 1);
        b(i) = b(i) - r * h(i - 1);
        e(1, i) = e(1, i) - r * e(1, i - 1);
    }
    for (int i = n - 1; i >= 2; --i) {
        e(1, i) = (e(1, i) - h(i) * e(1, i + 1)) / b(i);
    }

    for (int i = 1; i <= n - 1; ++i) {
        const float slope = s(i + 1);
        const float width = h(i + 1);
        const float excess = e(1, i) + e(1, i + 1) - 2 * slope;
        e(2, i) = ((slope - e(1, i)) - excess) / width;
        e(3, i) = excess / (width * width);
    }
    for (int i = 1; i <= n - 1; ++i) {
        for (int k = 1; k <= ipl; ++k) {
            const float t = a(i, k) - a(i, 0);
            in(i, k) = ((e(3, i) * t + e(2, i)) * t + e(1, i)) * t + in(i, 0);
        }
    }

    int counter = 0;
    for (int i = 1; i <= n - 1; ++i) {
        for (int k = 0; k <= ipl; ++k) {
            out(++counter) = in(i, k);
        }
    }
    out(counter + 1) = in(n, 0);
}

}  // namespace kavlo
