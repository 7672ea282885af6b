#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "writer/ByteOrder.h"

namespace trivane::writer {

// A byte string with zero-filled holes. Holes cost no memory, and WriteFile leaves them as holes
// of a sparse file, so test files with gigabytes of movie data cost no disk.
class Blob {
public:
    Blob() = default;
    Blob(Bytes bytes);  // NOLINT(google-explicit-constructor): bytes are the common case
    static Blob Hole(std::uint64_t size);

    Blob& Append(const Blob& other);
    Blob& Append(std::span<const std::uint8_t> bytes);
    Blob& Append(const Bytes& bytes) { return Append(std::span<const std::uint8_t>(bytes)); }
    Blob& AppendHole(std::uint64_t size);

    std::uint64_t Size() const { return size_; }

    // The bytes with holes expanded; fails (returns false) above `limit` bytes.
    bool ToBytes(Bytes& out, std::uint64_t limit = std::uint64_t{1} << 30) const;
    Bytes ToBytes() const;  // for small blobs in tests; holes above 1 GiB make it throw

    // Creates or replaces the file; holes are skipped with lseek and the length set with
    // ftruncate. On failure `error` says why.
    bool WriteFile(const std::string& path, std::string* error = nullptr) const;

private:
    struct Segment {
        Bytes bytes;
        std::uint64_t hole = 0;  // used when bytes is empty
    };
    std::vector<Segment> segments_;
    std::uint64_t size_ = 0;
};

}  // namespace trivane::writer
