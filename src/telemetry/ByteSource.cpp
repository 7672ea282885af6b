#include "telemetry/ByteSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace trivane {

FileSource::~FileSource() { Close(); }

bool FileSource::Open(const std::string& path) {
    Close();
    // O_NONBLOCK keeps a FIFO from blocking the open; only regular files are accepted.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
    return true;
}

void FileSource::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
}

std::int64_t FileSource::ReadAt(std::uint64_t offset, std::span<std::byte> dst) {
    if (fd_ < 0) return -1;
    std::size_t total = 0;
    while (total < dst.size()) {
        const ssize_t got = ::pread(fd_, dst.data() + total, dst.size() - total, static_cast<off_t>(offset + total));
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(total);
}

std::uint64_t FileSource::NextDataOffset(std::uint64_t offset) {
    if (fd_ < 0 || offset >= size_) return offset;
    const off_t next = ::lseek(fd_, static_cast<off_t>(offset), SEEK_DATA);
    if (next < 0) return errno == ENXIO ? size_ : offset;
    return static_cast<std::uint64_t>(next);
}

std::int64_t MemorySource::ReadAt(std::uint64_t offset, std::span<std::byte> dst) {
    if (offset >= bytes_.size()) return 0;
    const std::size_t count = std::min<std::size_t>(dst.size(), bytes_.size() - static_cast<std::size_t>(offset));
    std::memcpy(dst.data(), bytes_.data() + offset, count);
    return static_cast<std::int64_t>(count);
}

}  // namespace trivane
