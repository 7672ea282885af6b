#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "telemetry/ByteSource.h"

namespace trivane::fuzz {

// The first bytes of a fuzz input choose how the file behaves: block size, a reported length that
// differs from the bytes present, short reads, an I/O error after some calls, and sparse holes.
class FuzzSource final : public trivane::ByteSource {
public:
    static constexpr std::size_t kControlBytes = 5;

    FuzzSource(const std::uint8_t* data, std::size_t size) {
        std::uint8_t control[kControlBytes] = {};
        std::memcpy(control, data, std::min(size, kControlBytes));
        const std::size_t skip = std::min(size, kControlBytes);
        bytes_ = std::span(reinterpret_cast<const std::byte*>(data) + skip, size - skip);
        blockSize = 16u + static_cast<std::size_t>(control[0]) * 32u;
        flags_ = control[1];
        const std::uint64_t delta = static_cast<std::uint64_t>(control[2]) << 8 | control[3];
        reported_ = bytes_.size();
        if (flags_ & 1) reported_ += delta * 4099;  // longer than the data: the rest reads as zeros
        if (flags_ & 2) reported_ -= std::min<std::uint64_t>(reported_, delta);
        failAfter_ = control[4];
    }

    std::size_t blockSize;

    std::uint64_t Size() const override { return reported_; }

    std::int64_t ReadAt(std::uint64_t offset, std::span<std::byte> dst) override {
        if ((flags_ & 8) && ++calls_ > failAfter_) return -1;
        if (offset >= bytes_.size() || offset >= reported_) return 0;
        std::size_t count = std::min<std::size_t>(dst.size(), bytes_.size() - static_cast<std::size_t>(offset));
        if (flags_ & 4) count = std::min<std::size_t>(count, 1 + offset % 7);
        std::memcpy(dst.data(), bytes_.data() + offset, count);
        return static_cast<std::int64_t>(count);
    }

    std::uint64_t NextDataOffset(std::uint64_t offset) override {
        if (!(flags_ & 16)) return offset;
        for (std::uint64_t i = offset; i < bytes_.size(); ++i) {
            if (bytes_[static_cast<std::size_t>(i)] != std::byte{0}) return i;
        }
        return std::max<std::uint64_t>(offset, reported_);
    }

private:
    std::span<const std::byte> bytes_;
    std::uint64_t reported_ = 0;
    std::uint8_t flags_ = 0;
    std::uint8_t failAfter_ = 0;
    unsigned calls_ = 0;
};

}  // namespace trivane::fuzz
