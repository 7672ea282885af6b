#include "telemetry/BufferedReader.h"

#include <algorithm>
#include <cstring>

namespace trivane {

BufferedReader::BufferedReader(ByteSource& source, std::size_t blockSize)
    : source_(source), size_(source.Size()), dataEnd_(size_), block_(std::max<std::size_t>(blockSize, 16)) {}

bool BufferedReader::Fill(std::uint64_t offset, std::size_t atLeast) {
    const bool sequential = blockLength_ > 0 && offset == blockOffset_ + blockLength_;
    lastFill_ = std::min(block_.size(), std::max(atLeast, sequential ? lastFill_ * 2 : kFirstFill));
    blockOffset_ = offset;
    blockLength_ = 0;
    if (offset >= dataEnd_) return true;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(lastFill_, dataEnd_ - offset));
    const std::int64_t got = source_.ReadAt(offset, std::span<std::byte>(block_.data(), want));
    ++stats_.readCalls;
    if (got < 0) return false;
    blockLength_ = static_cast<std::size_t>(got);
    if (blockLength_ < want) dataEnd_ = offset + blockLength_;
    stats_.bytesRead += blockLength_;
    return true;
}

bool BufferedReader::Read(std::uint64_t offset, std::span<std::byte> dst) {
    std::fill(dst.begin(), dst.end(), std::byte{0});
    if (dst.empty() || offset >= dataEnd_) return true;
    const std::uint64_t end = offset + dst.size();
    if (offset >= blockOffset_ && end <= blockOffset_ + blockLength_) {
        std::memcpy(dst.data(), block_.data() + (offset - blockOffset_), dst.size());
        return true;
    }
    if (dst.size() > block_.size()) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(dst.size(), dataEnd_ - offset));
        const std::int64_t got = source_.ReadAt(offset, dst.first(want));
        ++stats_.readCalls;
        if (got < 0) return false;
        stats_.bytesRead += static_cast<std::uint64_t>(got);
        if (static_cast<std::size_t>(got) < want) dataEnd_ = offset + static_cast<std::uint64_t>(got);
        return true;
    }
    if (!Fill(offset, dst.size())) return false;
    std::memcpy(dst.data(), block_.data(), std::min(dst.size(), blockLength_));
    return true;
}

bool BufferedReader::ReadU32LE(std::uint64_t offset, std::uint32_t& value) {
    std::byte b[4];
    if (!Read(offset, b)) return false;
    value = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
            static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    return true;
}

bool BufferedReader::ReadU32BE(std::uint64_t offset, std::uint32_t& value) {
    std::byte b[4];
    if (!Read(offset, b)) return false;
    value = static_cast<std::uint32_t>(b[0]) << 24 | static_cast<std::uint32_t>(b[1]) << 16 |
            static_cast<std::uint32_t>(b[2]) << 8 | static_cast<std::uint32_t>(b[3]);
    return true;
}

bool BufferedReader::ReadId(std::uint64_t offset, char (&id)[4]) {
    std::byte b[4];
    if (!Read(offset, b)) return false;
    std::memcpy(id, b, 4);
    return true;
}

bool BufferedReader::SkipZeros(std::uint64_t offset, std::uint64_t limit, std::uint64_t& next) {
    std::uint64_t pos = offset;
    limit = std::min(limit, dataEnd_);
    while (pos < limit) {
        if (!(pos >= blockOffset_ && pos < blockOffset_ + blockLength_)) {
            if (!Fill(pos, 1)) return false;
            if (blockLength_ == 0) break;
        }
        const std::size_t from = static_cast<std::size_t>(pos - blockOffset_);
        const std::size_t to = static_cast<std::size_t>(std::min<std::uint64_t>(blockLength_, limit - blockOffset_));
        for (std::size_t at = from; at < to; ++at) {
            if (block_[at] != std::byte{0}) {
                next = blockOffset_ + at;
                return true;
            }
        }
        pos = blockOffset_ + to;
        if (pos < limit) {
            const std::uint64_t data = source_.NextDataOffset(pos);
            if (data > pos) pos = data;
        }
    }
    next = std::max(offset, limit);
    return true;
}

bool BufferedReader::ScanForIds(std::uint64_t offset, std::uint64_t limit, std::span<const char* const> ids,
                                std::uint64_t& found) {
    std::uint32_t wanted[16];
    const std::size_t count = std::min<std::size_t>(ids.size(), std::size(wanted));
    for (std::size_t i = 0; i < count; ++i) std::memcpy(&wanted[i], ids[i], 4);

    std::uint64_t pos = offset;
    // No id fits in the last 3 bytes: bytes past the end read as zeros, and no listed id holds a zero.
    while (pos < limit && dataEnd_ >= 4 && pos <= dataEnd_ - 4) {
        if (!(pos >= blockOffset_ && pos + 4 <= blockOffset_ + blockLength_)) {
            if (!Fill(pos, 4)) return false;
        }
        const std::uint64_t before = pos;
        std::size_t at = static_cast<std::size_t>(pos - blockOffset_);
        std::uint32_t seen = 0;
        while (at + 4 <= blockLength_ && pos < limit) {
            std::uint32_t word;
            std::memcpy(&word, block_.data() + at, 4);
            for (std::size_t i = 0; i < count; ++i) {
                if (word == wanted[i]) {
                    found = pos;
                    return true;
                }
            }
            seen |= word;
            at += 4;
            pos += 4;
        }
        if (pos == before) {
            continue;  // the fill found the data ending here (dataEnd_ lowered)
        } else if (seen == 0 && pos < limit) {
            // A run of zeros may be a hole of a sparse file: jump to the stride position before the next data.
            const std::uint64_t data = source_.NextDataOffset(pos);
            if (data > pos) pos += (data - pos) / 4 * 4;
        }
    }
    found = pos < limit ? pos + (limit - pos + 3) / 4 * 4 : pos;
    return true;
}

}  // namespace trivane
