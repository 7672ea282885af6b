#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "telemetry/ByteSource.h"

namespace trivane {

struct ReadStats {
    std::uint64_t readCalls = 0;
    std::uint64_t bytesRead = 0;
};

// Positional reads through one block buffer, so that small reads close together (headers, ids
// stepped 4 bytes at a time) cost one call on the source. A fill after a jump is small (headers
// are scattered); fills that follow each other double up to the block size. Bytes past the end of
// the source read as zeros; only an I/O error makes a read fail.
class BufferedReader {
public:
    static constexpr std::size_t kFirstFill = 1024;

    explicit BufferedReader(ByteSource& source, std::size_t blockSize = 16384);

    std::uint64_t Size() const { return size_; }
    // Where the bytes really end as far as reads have shown: Size(), or less for a file cut short.
    std::uint64_t DataEnd() const { return dataEnd_; }
    bool Read(std::uint64_t offset, std::span<std::byte> dst);
    bool ReadU32LE(std::uint64_t offset, std::uint32_t& value);
    bool ReadU32BE(std::uint64_t offset, std::uint32_t& value);
    bool ReadId(std::uint64_t offset, char (&id)[4]);

    // Smallest offset >= `offset`, stepping by 4, whose 4 bytes may match one of `ids`
    // (or `limit` when none does before it). Reads ahead in whole blocks.
    bool ScanForIds(std::uint64_t offset, std::uint64_t limit, std::span<const char* const> ids,
                    std::uint64_t& found);

    // First offset >= `offset` below `limit` whose byte may be non-zero (`limit` when none); holes of
    // a sparse file are jumped over rather than read.
    bool SkipZeros(std::uint64_t offset, std::uint64_t limit, std::uint64_t& next);

    const ReadStats& Stats() const { return stats_; }

private:
    bool Fill(std::uint64_t offset, std::size_t atLeast);

    ByteSource& source_;
    std::uint64_t size_;
    std::uint64_t dataEnd_;  // lowered when the source turns out shorter than its size
    std::vector<std::byte> block_;
    std::uint64_t blockOffset_ = 0;
    std::size_t blockLength_ = 0;
    std::size_t lastFill_ = 0;
    ReadStats stats_;
};

}  // namespace trivane
