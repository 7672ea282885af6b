#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace trivane {

// Median of a sliding window of signed bytes, kept as a histogram: adding or removing a value is
// one count, and the median is found from where it was last, so a window sliding over a signal
// costs a few steps per sample whatever its width.
class ByteMedianWindow final {
public:
    // Defined here so that they inline: a detector calls them for every sample.
    void Add(std::int8_t value) {
        const int bin = value + kOffset;
        ++counts_[static_cast<std::size_t>(bin)];
        ++size_;
        below_ += bin < cursor_ ? 1 : 0;
    }
    // `value` must be in the window.
    void Remove(std::int8_t value) {
        const int bin = value + kOffset;
        --counts_[static_cast<std::size_t>(bin)];
        --size_;
        below_ -= bin < cursor_ ? 1 : 0;
    }
    // The middle value, or the mean of the two middle values of an even count; 0 when empty.
    double Median();

private:
    // The k-th smallest value (k from 0, below Size()).
    int Select(std::size_t k);

    static constexpr int kOffset = 128;  // bin of value v is v + kOffset
    std::array<std::size_t, 256> counts_{};
    std::size_t size_ = 0;
    int cursor_ = kOffset;   // a bin near the median
    std::size_t below_ = 0;  // values in the bins below cursor_
};

}  // namespace trivane
