#include "writer/Blob.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace trivane::writer {

Blob::Blob(Bytes bytes) {
    size_ = bytes.size();
    if (!bytes.empty()) segments_.push_back({std::move(bytes), 0});
}

Blob Blob::Hole(std::uint64_t size) {
    Blob blob;
    blob.AppendHole(size);
    return blob;
}

Blob& Blob::Append(const Blob& other) {
    for (const Segment& segment : other.segments_) {
        if (segment.bytes.empty())
            AppendHole(segment.hole);
        else
            Append(segment.bytes);
    }
    return *this;
}

Blob& Blob::Append(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return *this;
    if (segments_.empty() || segments_.back().bytes.empty()) segments_.push_back({});
    Bytes& last = segments_.back().bytes;
    last.insert(last.end(), bytes.begin(), bytes.end());
    size_ += bytes.size();
    return *this;
}

Blob& Blob::AppendHole(std::uint64_t size) {
    if (size == 0) return *this;
    if (!segments_.empty() && segments_.back().bytes.empty())
        segments_.back().hole += size;
    else
        segments_.push_back({{}, size});
    size_ += size;
    return *this;
}

bool Blob::ToBytes(Bytes& out, std::uint64_t limit) const {
    out.clear();
    if (size_ > limit) return false;
    out.reserve(static_cast<std::size_t>(size_));
    for (const Segment& segment : segments_) {
        if (segment.bytes.empty())
            out.insert(out.end(), static_cast<std::size_t>(segment.hole), 0);
        else
            out.insert(out.end(), segment.bytes.begin(), segment.bytes.end());
    }
    return true;
}

Bytes Blob::ToBytes() const {
    Bytes out;
    if (!ToBytes(out)) throw std::length_error("blob too large to expand in memory");
    return out;
}

namespace {

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what + ": " + std::strerror(errno);
    return false;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

bool Blob::WriteFile(const std::string& path, std::string* error) const {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return Fail(error, "cannot create " + path);
    bool ok = true;
    for (const Segment& segment : segments_) {
        if (segment.bytes.empty()) {
            if (::lseek(fd, static_cast<off_t>(segment.hole), SEEK_CUR) < 0) {
                ok = Fail(error, "cannot seek in " + path);
                break;
            }
        } else if (!WriteAll(fd, segment.bytes.data(), segment.bytes.size())) {
            ok = Fail(error, "cannot write " + path);
            break;
        }
    }
    // A trailing hole only moved the offset; the length makes it part of the file.
    if (ok && ::ftruncate(fd, static_cast<off_t>(size_)) != 0) ok = Fail(error, "cannot size " + path);
    if (::close(fd) != 0 && ok) ok = Fail(error, "cannot close " + path);
    return ok;
}

}  // namespace trivane::writer
