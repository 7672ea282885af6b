#include "writer/MediaPatcher.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace trivane::writer {

namespace {

// An open file that closes itself.
class File {
public:
    explicit File(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_CLOEXEC)) {}
    ~File() {
        if (fd_ >= 0) ::close(fd_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Size(std::uint64_t& size) const {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return false;
        size = static_cast<std::uint64_t>(st.st_size);
        return true;
    }
    bool ReadExact(std::uint64_t offset, std::uint8_t* dst, std::size_t length) const {
        while (length > 0) {
            const ssize_t n = ::pread(fd_, dst, length, static_cast<off_t>(offset));
            if (n <= 0) return false;
            dst += n;
            offset += static_cast<std::uint64_t>(n);
            length -= static_cast<std::size_t>(n);
        }
        return true;
    }
    bool WriteExact(std::uint64_t offset, const std::uint8_t* src, std::size_t length) const {
        while (length > 0) {
            const ssize_t n = ::pwrite(fd_, src, length, static_cast<off_t>(offset));
            if (n <= 0) return false;
            src += n;
            offset += static_cast<std::uint64_t>(n);
            length -= static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    int fd_;
};

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what;
    return false;
}

// Private records are small; anything above this is a caller's mistake, not a recording.
constexpr std::uint64_t kMaxAppend = std::uint64_t{64} << 20;

}  // namespace

bool AppendAviChunks(const std::string& path, const std::vector<RiffNode>& chunks, std::string* error) {
    File file(path);
    if (!file.IsOpen()) return Fail(error, "cannot open " + path);
    std::uint64_t fileSize = 0;
    std::uint8_t header[12];
    if (!file.Size(fileSize) || fileSize < sizeof header || !file.ReadExact(0, header, sizeof header))
        return Fail(error, path + ": too short for an AVI file");
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "AVI ", 4) != 0)
        return Fail(error, path + ": not a RIFF AVI file");
    const std::uint64_t riffEnd = 8 + std::uint64_t{GetU32LE(header + 4)};
    if (riffEnd != fileSize)
        return Fail(error, path + ": the RIFF form does not end at the end of the file");

    Blob added;
    for (const RiffNode& chunk : chunks) added.Append(chunk.Render());
    Bytes bytes;
    if (!added.ToBytes(bytes, kMaxAppend)) return Fail(error, "chunks too large to append");
    const std::uint64_t newRiffSize = riffEnd + bytes.size() - 8;
    if (newRiffSize > 0xFFFFFFFFu) return Fail(error, path + ": the RIFF size would overflow");

    Bytes sizeField;
    PutU32LE(sizeField, static_cast<std::uint32_t>(newRiffSize));
    if (!file.WriteExact(fileSize, bytes.data(), bytes.size()) || !file.WriteExact(4, sizeField.data(), 4))
        return Fail(error, "cannot write " + path);
    return true;
}

bool AppendMovBoxes(const std::string& path, const std::vector<Box>& boxes, BoxPlacement placement,
                    std::string* error) {
    File file(path);
    if (!file.IsOpen()) return Fail(error, "cannot open " + path);
    std::uint64_t fileSize = 0;
    if (!file.Size(fileSize)) return Fail(error, "cannot size " + path);

    // Top-level walk; each step advances by at least 8 bytes, so it ends within fileSize / 8 steps.
    std::uint64_t position = 0;
    std::uint64_t moovOffset = 0;
    std::uint64_t moovSize = 0;
    bool moovFound = false;
    while (position < fileSize) {
        std::uint8_t header[16];
        if (fileSize - position < 8 || !file.ReadExact(position, header, 8))
            return Fail(error, path + ": truncated box header");
        std::uint64_t size = GetU32BE(header);
        if (size == 1) {
            if (fileSize - position < 16 || !file.ReadExact(position + 8, header + 8, 8))
                return Fail(error, path + ": truncated box header");
            size = std::uint64_t{GetU32BE(header + 8)} << 32 | GetU32BE(header + 12);
        } else if (size == 0) {
            size = fileSize - position;
        }
        if (size < 8 || size > fileSize - position) return Fail(error, path + ": box sizes do not tile the file");
        if (std::memcmp(header + 4, "moov", 4) == 0) {
            if (GetU32BE(header) == 1) return Fail(error, path + ": 64-bit moov size not supported");
            moovFound = true;
            moovOffset = position;
            moovSize = size;
        }
        position += size;
    }
    if (!moovFound) return Fail(error, path + ": no moov box");

    Bytes bytes;
    if (!RenderBoxes(boxes).ToBytes(bytes, kMaxAppend)) return Fail(error, "boxes too large to append");
    if (placement == BoxPlacement::InsideMoov) {
        if (moovOffset + moovSize != fileSize) return Fail(error, path + ": moov is not the last box");
        if (moovSize + bytes.size() > 0xFFFFFFFFu) return Fail(error, path + ": the moov size would overflow");
    }
    if (!file.WriteExact(fileSize, bytes.data(), bytes.size())) return Fail(error, "cannot write " + path);
    if (placement == BoxPlacement::InsideMoov) {
        Bytes sizeField;
        PutU32BE(sizeField, static_cast<std::uint32_t>(moovSize + bytes.size()));
        if (!file.WriteExact(moovOffset, sizeField.data(), 4)) return Fail(error, "cannot write " + path);
    }
    return true;
}

}  // namespace trivane::writer
