#include "spline.h"

#include <cstddef>
#include <cstdint>

namespace kavlo {

SplineRefiner::SplineRefiner(int maxPoints, int ipl) : ipl_(ipl) {
    const int stride = ipl + 1;
    const auto points = static_cast<std::size_t>(maxPoints);
    positions_.resize(points * static_cast<std::size_t>(stride));
    values_.resize(positions_.size());
    for (auto* v : {&diagonal_, &width_, &slope_, &c1_, &c2_, &c3_}) {
        v->resize(points);
    }
    // Computed in 16 bits, as the index limits of the grid allow.
    const float steps = static_cast<float>(stride);
    for (int i = 0; i < maxPoints; ++i) {
        for (int k = 0; k <= ipl; ++k) {
            const auto numerator = static_cast<std::int16_t>((ipl + 1 - k) * (i + 1) + (i + 2) * k);
            positions_[static_cast<std::size_t>(i * stride + k)] =
                static_cast<float>(numerator) / steps;
        }
    }
}

std::span<const float> SplineRefiner::refine(std::span<const float> line) {
    const int n = static_cast<int>(line.size());
    const int ipl = ipl_;
    const int stride = ipl + 1;
    const auto at = [stride](int i, int k) { return static_cast<std::size_t>(i * stride + k); };
    const auto a = [&](int i, int k) { return positions_[at(i, k)]; };
    const auto in = [&](int i, int k) -> float& { return values_[at(i, k)]; };
    const auto u = [](int i) { return static_cast<std::size_t>(i); };
    auto& b = diagonal_;
    auto& h = width_;
    auto& s = slope_;

    for (int i = 0; i < n; ++i) {
        in(i, 0) = line[u(i)];
    }
    const std::span<const float> refined(values_.data(), at(n - 1, 0) + 1);
    if (ipl <= 0) {
        return refined;
    }

    b[0] = 1.0f;
    h[0] = 0.0f;
    for (int i = 1; i < n; ++i) {
        h[u(i)] = a(i, 0) - a(i - 1, 0);
        s[u(i)] = (in(i, 0) - in(i - 1, 0)) / h[u(i)];
    }
    // Clamped ends: the slope of the parabola through the three end points, or of the one
    // interval of a two-point line.
    if (n > 2) {
        c1_[0] = (3 * s[1] - s[2]) / 2;
        c1_[u(n - 1)] = (3 * s[u(n - 1)] - s[u(n - 2)]) / 2;
    } else {
        c1_[0] = s[1];
        c1_[u(n - 1)] = s[u(n - 1)];
    }
    for (int i = 1; i < n - 1; ++i) {
        c1_[u(i)] = 3 * (h[u(i + 1)] * s[u(i)] + h[u(i)] * s[u(i + 1)]);
        b[u(i)] = 2 * (h[u(i + 1)] + h[u(i)]);
    }
    for (int i = 1; i < n - 1; ++i) {
        const float r = h[u(i + 1)] / b[u(i - 1)];
        b[u(i)] = b[u(i)] - r * h[u(i - 1)];
        c1_[u(i)] = c1_[u(i)] - r * c1_[u(i - 1)];
    }
    for (int i = n - 2; i >= 1; --i) {
        c1_[u(i)] = (c1_[u(i)] - h[u(i)] * c1_[u(i + 1)]) / b[u(i)];
    }

    for (int i = 0; i < n - 1; ++i) {
        const float slope = s[u(i + 1)];
        const float width = h[u(i + 1)];
        const float excess = c1_[u(i)] + c1_[u(i + 1)] - 2 * slope;
        c2_[u(i)] = ((slope - c1_[u(i)]) - excess) / width;
        c3_[u(i)] = excess / (width * width);
    }
    // Each node's inserted points follow it, so the nodes and points together are the line.
    for (int i = 0; i < n - 1; ++i) {
        for (int k = 1; k <= ipl; ++k) {
            const float t = a(i, k) - a(i, 0);
            in(i, k) = ((c3_[u(i)] * t + c2_[u(i)]) * t + c1_[u(i)]) * t + in(i, 0);
        }
    }
    return refined;
}

}  // namespace kavlo
