#pragma once

#include <cassert>
#include <cstddef>
#include <vector>

namespace kavlo {

// A two-dimensional array indexed (0..upper1, 0..upper2); the grid and the refined lines use
// it from index 1, index 0 spare.
template <class T>
class Array2 {
  public:
    void resize(int upper1, int upper2) {
        stride_ = static_cast<std::size_t>(upper2) + 1;
        upper1_ = upper1;
        values_.assign((static_cast<std::size_t>(upper1) + 1) * stride_, T{});
    }
    void clear() {
        values_ = std::vector<T>();
        upper1_ = -1;
        stride_ = 0;
    }
    int upper1() const { return upper1_; }
    int upper2() const { return static_cast<int>(stride_) - 1; }
    bool empty() const { return values_.empty(); }

    T& operator()(int i, int j) {
        assert(i >= 0 && i <= upper1() && j >= 0 && j <= upper2());
        return values_[static_cast<std::size_t>(i) * stride_ + static_cast<std::size_t>(j)];
    }
    const T& operator()(int i, int j) const {
        assert(i >= 0 && i <= upper1() && j >= 0 && j <= upper2());
        return values_[static_cast<std::size_t>(i) * stride_ + static_cast<std::size_t>(j)];
    }

  private:
    std::vector<T> values_;
    std::size_t stride_ = 0;
    int upper1_ = -1;
};

}  // namespace kavlo
