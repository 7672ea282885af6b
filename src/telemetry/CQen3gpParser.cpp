#include "telemetry/CQen3gpParser.h"

#include <cstring>

namespace trivane {
namespace {

std::uint32_t Be32(const std::byte* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

std::uint16_t Be16(const std::byte* p) {
    return static_cast<std::uint16_t>(static_cast<unsigned>(p[0]) << 8 | static_cast<unsigned>(p[1]));
}

bool ReadHeader(BufferedReader& reader, std::uint64_t offset, std::uint32_t& size, char (&type)[4]) {
    std::byte header[8];
    if (!reader.Read(offset, header)) return false;
    size = Be32(header);
    std::memcpy(type, header + 4, 4);
    return true;
}

bool Is(const char (&type)[4], const char* name) { return std::memcmp(type, name, 4) == 0; }

}  // namespace

// Boxes of 64-bit size (1) or running to the end (0) are not supported: any size below 8 ends the walk.
bool CQen3gpParser::Walk(BufferedReader& reader) {
    std::uint32_t size = 0;
    char type[4];
    if (!ReadHeader(reader, 0, size, type)) return false;
    if (!Is(type, "ftyp") || size < 8) return true;

    const std::uint64_t fileSize = reader.Size();
    std::uint64_t position = size;
    while (position < fileSize && !fatal_) {
        if (!ReadHeader(reader, position, size, type)) return false;
        if (size < 8) break;
        const std::uint64_t payload = position + 8;
        const std::uint32_t length = size - 8;
        position = payload + length;
        const PrivateChunk chunk = HandlePrivate(reader, type, payload, length, position);
        if (chunk == PrivateChunk::IoError) return false;
        if (chunk == PrivateChunk::NotPrivate && Is(type, "moov")) {
            if (!ReadMoov(reader, Box{payload, length})) return false;
            position = payload;  // the boxes directly inside moov are walked like top-level ones
        }
    }
    return true;
}

bool CQen3gpParser::ReadMoov(BufferedReader& reader, const Box& moov) {
    bool ioError = false;
    Box mdhd;
    if (FindPath(reader, moov, {"trak", "mdia", "mdhd"}, mdhd, ioError) && mdhd.payloadSize >= 20) {
        std::byte header[20];
        if (!reader.Read(mdhd.payload, header)) return false;
        const std::uint32_t timescale = Be32(header + 12);
        const std::uint32_t duration = Be32(header + 16);
        if (timescale != 0) {
            work_.durationMs = static_cast<std::uint32_t>(static_cast<std::uint64_t>(duration) * 1000 / timescale);
        }
    }
    if (ioError) return false;

    Box stsd;
    if (FindPath(reader, moov, {"trak", "mdia", "minf", "stbl", "stsd"}, stsd, ioError)) {
        std::byte head[8];
        if (!reader.Read(stsd.payload, head)) return false;
        Box avc1;
        if (Be32(head + 4) != 0 && FindBox(reader, stsd.payload + 8, stsd.payloadSize, "avc1", avc1, ioError) &&
            avc1.payloadSize >= 28) {
            std::byte entry[28];
            if (!reader.Read(avc1.payload, entry)) return false;
            work_.videoWidth = Be16(entry + 24);
            work_.videoHeight = Be16(entry + 26);
        }
    }
    return !ioError;
}

bool CQen3gpParser::FindBox(BufferedReader& reader, std::uint64_t start, std::uint64_t length, const char* type,
                            Box& found, bool& ioError) {
    std::uint64_t sum = 0;
    std::uint64_t current = start;
    while (current < reader.Size()) {
        std::uint32_t size = 0;
        char boxType[4];
        if (!ReadHeader(reader, current, size, boxType)) {
            ioError = true;
            return false;
        }
        if (size < 8) return false;
        if (std::memcmp(boxType, type, 4) == 0) {
            found = Box{current + 8, size - 8};
            return true;
        }
        sum += size;
        current += size;
        if (sum >= length) return false;
    }
    return false;  // headers past the end read as zeros: size 0 ends the search
}

bool CQen3gpParser::FindPath(BufferedReader& reader, const Box& parent, std::initializer_list<const char*> path,
                             Box& found, bool& ioError) {
    Box level = parent;
    for (const char* type : path) {
        if (!FindBox(reader, level.payload, level.payloadSize, type, level, ioError)) return false;
    }
    found = level;
    return true;
}

}  // namespace trivane
