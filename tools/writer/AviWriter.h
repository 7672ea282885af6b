#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "writer/Blob.h"
#include "writer/TelemetryRecords.h"

namespace trivane::writer {

// One piece of a RIFF file: a chunk (id, size, payload), a list ("LIST" or "RIFF", size, type,
// children) or raw bytes written as they are. Sizes are little-endian and exclude the 8-byte
// header; nothing is padded to even length, so odd sizes stay odd. `declaredSize` replaces the
// computed size field, for lists that claim more (or less) than they hold.
struct RiffNode {
    enum class Kind { Chunk, List, Raw };
    Kind kind = Kind::Chunk;
    std::string id;    // chunk id, or "LIST"/"RIFF" for a list
    std::string type;  // list type ("hdrl", "movi", "AVI ")
    Blob payload;      // chunk payload or raw bytes
    std::vector<RiffNode> children;
    std::optional<std::uint32_t> declaredSize;

    Blob Render() const;
};

RiffNode Chunk(std::string_view id, Blob payload);
RiffNode List(std::string_view type, std::vector<RiffNode> children);
RiffNode Raw(Blob bytes);
RiffNode WithDeclaredSize(RiffNode node, std::uint32_t size);
RiffNode PrivateChunk(const PrivateRecord& record);
std::vector<RiffNode> PrivateChunks(const std::vector<PrivateRecord>& records);

// The whole file: "RIFF", size, "AVI ", then the nodes.
RiffNode AviFile(std::vector<RiffNode> children);

// Ordinary AVI structure.
RiffNode MainHeader(std::uint32_t microsPerFrame, std::uint32_t totalFrames, std::uint32_t width = 0,
                    std::uint32_t height = 0, std::uint32_t streams = 1);  // "avih", 56 bytes
RiffNode VideoStreamList(std::uint32_t width, std::uint32_t height, std::uint32_t microsPerFrame = 40000,
                         std::uint32_t frames = 0);  // "strl" with "strh" vids + 40-byte "strf"
RiffNode AudioStreamList(std::uint32_t sampleRate = 8000);  // "strl" with "strh" auds + "strf"
RiffNode HeaderList(std::uint32_t microsPerFrame, std::uint32_t totalFrames, std::uint32_t width,
                    std::uint32_t height, bool withAudio = false);  // "hdrl" holding the three above
RiffNode MovieList(Blob data);                 // "movi"
RiffNode MovieHole(std::uint64_t dataSize);    // "movi" whose data is a sparse hole
RiffNode Index(std::uint32_t entries);         // "idx1" of 16-byte zeroed entries
RiffNode Junk(std::uint32_t size);

// A complete, parseable recording: hdrl, movi (a hole of movieBytes), idx1, with the private
// chunks after idx1 (or between hdrl and movi).
struct AviRecording {
    std::uint32_t width = 1920;
    std::uint32_t height = 1080;
    std::uint32_t microsPerFrame = 40000;
    std::uint32_t totalFrames = 1500;
    std::uint64_t movieBytes = 0;
    Telemetry telemetry;
    bool telemetryAfterMovie = true;
};
RiffNode BuildAvi(const AviRecording& recording);

}  // namespace trivane::writer
