#include "writer/MovWriter.h"

namespace trivane::writer {

Blob Box::Render() const {
    Blob body = payload;
    for (const Box& child : children) body.Append(child.Render());
    Bytes header;
    PutU32BE(header, declaredSize.value_or(static_cast<std::uint32_t>(body.Size() + 8)));
    PutFourCC(header, type);
    Blob out(std::move(header));
    out.Append(body);
    return out;
}

Box MakeBox(std::string_view type, Blob payload, std::vector<Box> children) {
    Box box;
    box.type = type;
    box.payload = std::move(payload);
    box.children = std::move(children);
    return box;
}

Box Container(std::string_view type, std::vector<Box> children) { return MakeBox(type, Blob(), std::move(children)); }

Box WithDeclaredSize(Box box, std::uint32_t size) {
    box.declaredSize = size;
    return box;
}

Box PrivateBox(const PrivateRecord& record) { return MakeBox(record.id, record.payload); }

std::vector<Box> PrivateBoxes(const std::vector<PrivateRecord>& records) {
    std::vector<Box> boxes;
    for (const PrivateRecord& record : records) boxes.push_back(PrivateBox(record));
    return boxes;
}

Blob RenderBoxes(const std::vector<Box>& boxes) {
    Blob out;
    for (const Box& box : boxes) out.Append(box.Render());
    return out;
}

Box Ftyp(std::string_view brand) {
    Bytes b;
    PutFourCC(b, brand);
    PutU32BE(b, 0x200);
    PutFourCC(b, brand);
    return MakeBox("ftyp", std::move(b));
}

Box Mdat(Blob data) { return MakeBox("mdat", std::move(data)); }

Box MdatHole(std::uint64_t dataSize) { return Mdat(Blob::Hole(dataSize)); }

Box Mvhd(std::uint32_t timescale, std::uint32_t duration) {
    Bytes b;
    PutU32BE(b, 0);  // version 0, flags
    PutU32BE(b, 0);  // creation time
    PutU32BE(b, 0);  // modification time
    PutU32BE(b, timescale);
    PutU32BE(b, duration);
    PutU32BE(b, 0x00010000);  // rate 1.0
    PutU16BE(b, 0x0100);      // volume 1.0
    PutZeros(b, 10);
    const std::uint32_t matrix[9] = {0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000};
    for (std::uint32_t m : matrix) PutU32BE(b, m);
    PutZeros(b, 24);  // pre-defined
    PutU32BE(b, 3);   // next track id
    return MakeBox("mvhd", std::move(b));
}

Box Mdhd(std::uint32_t timescale, std::uint32_t duration) {
    Bytes b;
    PutU32BE(b, 0);  // version 0, flags
    PutU32BE(b, 0);  // creation time
    PutU32BE(b, 0);  // modification time
    PutU32BE(b, timescale);
    PutU32BE(b, duration);
    PutU16BE(b, 0x55C4);  // language "und"
    PutU16BE(b, 0);
    return MakeBox("mdhd", std::move(b));
}

Box VisualSampleEntry(std::string_view type, std::uint16_t width, std::uint16_t height) {
    Bytes b;
    PutZeros(b, 6);
    PutU16BE(b, 1);   // data reference index
    PutZeros(b, 16);  // pre-defined and reserved
    PutU16BE(b, width);
    PutU16BE(b, height);
    PutU32BE(b, 0x00480000);  // 72 dpi
    PutU32BE(b, 0x00480000);
    PutU32BE(b, 0);
    PutU16BE(b, 1);  // frame count
    PutZeros(b, 32);  // compressor name
    PutU16BE(b, 0x18);
    PutU16BE(b, 0xFFFF);
    return MakeBox(type, std::move(b));
}

Box AudioSampleEntry(std::uint32_t sampleRate) {
    Bytes b;
    PutZeros(b, 6);
    PutU16BE(b, 1);
    PutZeros(b, 8);
    PutU16BE(b, 2);   // channels
    PutU16BE(b, 16);  // sample size
    PutU32BE(b, 0);
    PutU32BE(b, sampleRate << 16);
    return MakeBox("mp4a", std::move(b));
}

Box Stsd(std::vector<Box> entries, std::optional<std::uint32_t> declaredCount) {
    Bytes b;
    PutU32BE(b, 0);
    PutU32BE(b, declaredCount.value_or(static_cast<std::uint32_t>(entries.size())));
    return MakeBox("stsd", std::move(b), std::move(entries));
}

Box Trak(std::uint32_t timescale, std::uint32_t duration, Box sampleEntry, std::string_view handler) {
    Bytes hdlr;
    PutU32BE(hdlr, 0);
    PutFourCC(hdlr, "mhlr");
    PutFourCC(hdlr, handler);
    PutZeros(hdlr, 13);
    Bytes tkhd;
    PutU32BE(tkhd, 3);  // version 0, enabled and in movie
    PutZeros(tkhd, 80);
    Box stbl = Container("stbl", {Stsd({std::move(sampleEntry)})});
    Box minf = Container("minf", {std::move(stbl)});
    Box mdia = Container("mdia", {Mdhd(timescale, duration), MakeBox("hdlr", std::move(hdlr)), std::move(minf)});
    return Container("trak", {MakeBox("tkhd", std::move(tkhd)), std::move(mdia)});
}

Box Moov(std::vector<Box> children) {
    std::vector<Box> all;
    all.push_back(Mvhd(1000, 0));
    for (Box& child : children) all.push_back(std::move(child));
    return Container("moov", std::move(all));
}

Box Udta(std::vector<Box> children) { return Container("udta", std::move(children)); }

std::vector<Box> BuildMov(const MovRecording& recording) {
    std::vector<Box> inMoov{Trak(recording.timescale, recording.duration,
                                 VisualSampleEntry("avc1", recording.width, recording.height)),
                            Trak(48000, 0, AudioSampleEntry(), "soun")};
    std::vector<Box> privateBoxes = PrivateBoxes(TelemetryRecords(recording.telemetry));
    std::vector<Box> top{Ftyp(), MdatHole(recording.movieBytes)};
    if (recording.telemetryInsideMoov) {
        for (Box& box : privateBoxes) inMoov.push_back(std::move(box));
        top.push_back(Moov(std::move(inMoov)));
    } else {
        top.push_back(Moov(std::move(inMoov)));
        for (Box& box : privateBoxes) top.push_back(std::move(box));
    }
    return top;
}

}  // namespace trivane::writer
