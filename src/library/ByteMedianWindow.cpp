#include "library/ByteMedianWindow.h"

namespace trivane {

int ByteMedianWindow::Select(std::size_t k) {
    while (below_ > k) {
        --cursor_;
        below_ -= counts_[static_cast<std::size_t>(cursor_)];
    }
    while (below_ + counts_[static_cast<std::size_t>(cursor_)] <= k) {
        below_ += counts_[static_cast<std::size_t>(cursor_)];
        ++cursor_;
    }
    return cursor_ - kOffset;
}

double ByteMedianWindow::Median() {
    if (size_ == 0) return 0;
    const std::size_t middle = size_ / 2;
    if (size_ % 2 != 0) return Select(middle);
    const int lower = Select(middle - 1);
    return (lower + Select(middle)) / 2.0;
}

}  // namespace trivane
