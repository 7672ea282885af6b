#include "writer/AviWriter.h"

namespace trivane::writer {

namespace {

std::uint32_t SizeField(std::uint64_t size) { return static_cast<std::uint32_t>(size); }

}  // namespace

Blob RiffNode::Render() const {
    Blob out;
    Bytes header;
    switch (kind) {
    case Kind::Raw:
        return payload;
    case Kind::Chunk:
        PutFourCC(header, id);
        PutU32LE(header, declaredSize.value_or(SizeField(payload.Size())));
        out.Append(header);
        out.Append(payload);
        return out;
    case Kind::List: {
        Blob body;
        for (const RiffNode& child : children) body.Append(child.Render());
        PutFourCC(header, id);
        PutU32LE(header, declaredSize.value_or(SizeField(body.Size() + 4)));
        PutFourCC(header, type);
        out.Append(header);
        out.Append(body);
        return out;
    }
    }
    return out;
}

RiffNode Chunk(std::string_view id, Blob payload) {
    RiffNode node;
    node.kind = RiffNode::Kind::Chunk;
    node.id = id;
    node.payload = std::move(payload);
    return node;
}

RiffNode List(std::string_view type, std::vector<RiffNode> children) {
    RiffNode node;
    node.kind = RiffNode::Kind::List;
    node.id = "LIST";
    node.type = type;
    node.children = std::move(children);
    return node;
}

RiffNode Raw(Blob bytes) {
    RiffNode node;
    node.kind = RiffNode::Kind::Raw;
    node.payload = std::move(bytes);
    return node;
}

RiffNode WithDeclaredSize(RiffNode node, std::uint32_t size) {
    node.declaredSize = size;
    return node;
}

RiffNode PrivateChunk(const PrivateRecord& record) { return Chunk(record.id, record.payload); }

std::vector<RiffNode> PrivateChunks(const std::vector<PrivateRecord>& records) {
    std::vector<RiffNode> nodes;
    for (const PrivateRecord& record : records) nodes.push_back(PrivateChunk(record));
    return nodes;
}

RiffNode AviFile(std::vector<RiffNode> children) {
    RiffNode node = List("AVI ", std::move(children));
    node.id = "RIFF";
    return node;
}

RiffNode MainHeader(std::uint32_t microsPerFrame, std::uint32_t totalFrames, std::uint32_t width,
                    std::uint32_t height, std::uint32_t streams) {
    Bytes b;
    PutU32LE(b, microsPerFrame);
    PutU32LE(b, 0);        // max bytes per second
    PutU32LE(b, 0);        // padding granularity
    PutU32LE(b, 0x10);     // flags: has index
    PutU32LE(b, totalFrames);
    PutU32LE(b, 0);        // initial frames
    PutU32LE(b, streams);
    PutU32LE(b, 0);        // suggested buffer size
    PutU32LE(b, width);
    PutU32LE(b, height);
    PutZeros(b, 16);       // reserved
    return Chunk("avih", std::move(b));
}

namespace {

Bytes StreamHeader(std::string_view type, std::string_view handler, std::uint32_t scale, std::uint32_t rate,
                   std::uint32_t length) {
    Bytes b;
    PutFourCC(b, type);
    PutFourCC(b, handler);
    PutU32LE(b, 0);  // flags
    PutU32LE(b, 0);  // priority and language
    PutU32LE(b, 0);  // initial frames
    PutU32LE(b, scale);
    PutU32LE(b, rate);
    PutU32LE(b, 0);  // start
    PutU32LE(b, length);
    PutU32LE(b, 0);  // suggested buffer size
    PutU32LE(b, 0xFFFFFFFFu);  // quality
    PutU32LE(b, 0);  // sample size
    PutZeros(b, 8);  // frame rectangle
    return b;        // 56 bytes
}

}  // namespace

RiffNode VideoStreamList(std::uint32_t width, std::uint32_t height, std::uint32_t microsPerFrame,
                         std::uint32_t frames) {
    Bytes bitmap;
    PutU32LE(bitmap, 40);
    PutU32LE(bitmap, width);
    PutU32LE(bitmap, height);
    PutU16LE(bitmap, 1);   // planes
    PutU16LE(bitmap, 24);  // bit count
    PutFourCC(bitmap, "H264");
    PutU32LE(bitmap, width * height * 3);
    PutZeros(bitmap, 16);  // resolution and palette counts
    return List("strl", {Chunk("strh", StreamHeader("vids", "H264", microsPerFrame, 1000000, frames)),
                         Chunk("strf", std::move(bitmap))});
}

RiffNode AudioStreamList(std::uint32_t sampleRate) {
    Bytes wave;
    PutU16LE(wave, 1);  // PCM
    PutU16LE(wave, 1);  // mono
    PutU32LE(wave, sampleRate);
    PutU32LE(wave, sampleRate * 2);
    PutU16LE(wave, 2);
    PutU16LE(wave, 16);
    PutU16LE(wave, 0);
    return List("strl", {Chunk("strh", StreamHeader("auds", "", 1, sampleRate, 0)), Chunk("strf", std::move(wave))});
}

RiffNode HeaderList(std::uint32_t microsPerFrame, std::uint32_t totalFrames, std::uint32_t width,
                    std::uint32_t height, bool withAudio) {
    std::vector<RiffNode> children{MainHeader(microsPerFrame, totalFrames, width, height, withAudio ? 2u : 1u),
                                   VideoStreamList(width, height, microsPerFrame, totalFrames)};
    if (withAudio) children.push_back(AudioStreamList());
    return List("hdrl", std::move(children));
}

RiffNode MovieList(Blob data) { return List("movi", {Raw(std::move(data))}); }

RiffNode MovieHole(std::uint64_t dataSize) { return MovieList(Blob::Hole(dataSize)); }

RiffNode Index(std::uint32_t entries) { return Chunk("idx1", Blob::Hole(std::uint64_t{entries} * 16)); }

RiffNode Junk(std::uint32_t size) { return Chunk("JUNK", Blob::Hole(size)); }

RiffNode BuildAvi(const AviRecording& recording) {
    std::vector<RiffNode> top{HeaderList(recording.microsPerFrame, recording.totalFrames, recording.width,
                                         recording.height, true)};
    std::vector<RiffNode> privateChunks = PrivateChunks(TelemetryRecords(recording.telemetry));
    if (!recording.telemetryAfterMovie)
        for (RiffNode& chunk : privateChunks) top.push_back(std::move(chunk));
    top.push_back(MovieHole(recording.movieBytes));
    top.push_back(Index(recording.totalFrames));
    if (recording.telemetryAfterMovie)
        for (RiffNode& chunk : privateChunks) top.push_back(std::move(chunk));
    return AviFile(std::move(top));
}

}  // namespace trivane::writer
