#include "telemetry/CQenAviParser.h"

#include <cstring>

namespace trivane {
namespace {

constexpr const char* kListedIds[] = {"LIST", "avih", "strh", "JUNK", "idx1", "indx",
                                      "gps0", "gsen", "gpsa", "gsea", "IDIT"};

bool Is(const char (&id)[4], const char* name) { return std::memcmp(id, name, 4) == 0; }

std::uint32_t Le32(const std::byte* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

// Chunk sizes are never padded to even lengths, and ids that are not listed are stepped over 4 bytes
// at a time; this is how the form type after the RIFF size and unknown chunks are passed.
bool CQenAviParser::Walk(BufferedReader& reader) {
    char id[4];
    if (!reader.ReadId(0, id)) return false;
    if (!Is(id, "RIFF")) return true;

    const std::uint64_t fileSize = reader.Size();
    std::uint64_t position = 8;
    while (position < fileSize && !fatal_) {
        if (!reader.ScanForIds(position, fileSize, kListedIds, position)) return false;
        if (position >= fileSize) break;
        if (!reader.ReadId(position, id)) return false;
        position += 4;

        std::uint32_t size = 0;
        if (Is(id, "LIST")) {
            char type[4];
            if (!reader.ReadU32LE(position, size) || !reader.ReadId(position + 4, type)) return false;
            const std::uint64_t end = position + 4 + size;
            position += 8;
            if (Is(type, "hdrl") || Is(type, "strl") || Is(type, "avih")) continue;
            if (Is(type, "movi") && end > fileSize) movieTruncated_ = true;
            position = end;
        } else if (Is(id, "avih")) {
            std::byte header[56] = {};
            if (!reader.ReadU32LE(position, size)) return false;
            const std::size_t length = std::min<std::uint32_t>(size, sizeof header);
            if (!reader.Read(position + 4, std::span(header, length))) return false;
            position += 4 + length;
            const std::uint64_t product = static_cast<std::uint64_t>(Le32(header)) * Le32(header + 16);
            work_.durationMs = static_cast<std::uint32_t>(product / 1000);
            work_.durationSeconds = work_.durationMs / 1000;
        } else if (Is(id, "strh")) {
            if (!HandleStreamHeader(reader, position)) return false;
        } else if (Is(id, "JUNK") || Is(id, "idx1") || Is(id, "indx")) {
            if (!reader.ReadU32LE(position, size)) return false;
            position += 4 + static_cast<std::uint64_t>(size);
        } else {
            // Every other listed id is a private chunk.
            if (!reader.ReadU32LE(position, size)) return false;
            const std::uint64_t payload = position + 4;
            position = payload + size;
            if (HandlePrivate(reader, id, payload, size, position) == PrivateChunk::IoError) return false;
        }
    }
    return true;
}

// `position` is just after the "strh" id.
bool CQenAviParser::HandleStreamHeader(BufferedReader& reader, std::uint64_t& position) {
    std::uint32_t size = 0;
    std::byte header[64] = {};
    if (!reader.ReadU32LE(position, size)) return false;
    const std::size_t length = std::min<std::uint32_t>(size, sizeof header);
    if (!reader.Read(position + 4, std::span(header, length))) return false;
    position += 4 + length;

    const bool video = std::memcmp(header, "vids", 4) == 0;
    const bool audio = std::memcmp(header, "auds", 4) == 0;
    if (!video && !audio) return true;

    char next[4];
    if (!reader.ReadId(position, next)) return false;
    position += 4;
    if (!Is(next, "strf")) return true;
    if (!reader.ReadU32LE(position, size)) return false;
    position += 4;
    if (audio) {
        position += size;
        return true;
    }
    std::byte bitmap[40] = {};
    const std::size_t bitmapLength = std::min<std::uint32_t>(size, sizeof bitmap);
    if (!reader.Read(position, std::span(bitmap, bitmapLength))) return false;
    position += bitmapLength;
    work_.videoWidth = static_cast<std::uint16_t>(Le32(bitmap + 4) & 0xFFFFu);
    work_.videoHeight = static_cast<std::uint16_t>(Le32(bitmap + 8) & 0xFFFFu);
    return true;
}

}  // namespace trivane
