#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace trivane {

// Random-access bytes a parser walks: a file, or memory for tests and fuzzing.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads up to dst.size() bytes at offset; returns the count or -1 on an I/O error. A count below
    // the request means the data ends there (a file cut while it is read).
    virtual std::int64_t ReadAt(std::uint64_t offset, std::span<std::byte> dst) = 0;
    // First offset at or after `offset` that may hold non-zero bytes (a sparse file's holes read
    // as zeros and can be skipped); Size() when only zeros follow.
    virtual std::uint64_t NextDataOffset(std::uint64_t offset) { return offset; }
};

// A regular file opened read-only; Size() is taken once at open.
class FileSource final : public ByteSource {
public:
    FileSource() = default;
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    std::uint64_t Size() const override { return size_; }
    std::int64_t ReadAt(std::uint64_t offset, std::span<std::byte> dst) override;
    std::uint64_t NextDataOffset(std::uint64_t offset) override;

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// Bytes held in memory.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::byte> bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::int64_t ReadAt(std::uint64_t offset, std::span<std::byte> dst) override;

private:
    std::span<const std::byte> bytes_;
};

}  // namespace trivane
