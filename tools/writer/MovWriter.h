#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "writer/Blob.h"
#include "writer/TelemetryRecords.h"

namespace trivane::writer {

// One ISO base media box: big-endian size (including the 8-byte header), type, payload, then
// child boxes. `declaredSize` replaces the computed size, e.g. with a value below 8.
struct Box {
    std::string type;
    Blob payload;  // bytes before the children (a full box's version and flags, fixed fields)
    std::vector<Box> children;
    std::optional<std::uint32_t> declaredSize;

    Blob Render() const;
};

Box MakeBox(std::string_view type, Blob payload, std::vector<Box> children = {});
Box Container(std::string_view type, std::vector<Box> children);
Box WithDeclaredSize(Box box, std::uint32_t size);
Box PrivateBox(const PrivateRecord& record);
std::vector<Box> PrivateBoxes(const std::vector<PrivateRecord>& records);

// Boxes one after the other, as the top level of a file.
Blob RenderBoxes(const std::vector<Box>& boxes);

Box Ftyp(std::string_view brand = "qt  ");
Box Mdat(Blob data);
Box MdatHole(std::uint64_t dataSize);  // a sparse "mdat"; sizes past 4 GiB are not representable
Box Mvhd(std::uint32_t timescale, std::uint32_t duration);
Box Mdhd(std::uint32_t timescale, std::uint32_t duration);  // version 0
// Visual sample entry ("avc1", "hvc1", ...): width at payload bytes 24-25, height at 26-27.
Box VisualSampleEntry(std::string_view type, std::uint16_t width, std::uint16_t height);
Box AudioSampleEntry(std::uint32_t sampleRate = 48000);  // "mp4a"
// "stsd" holding `entries`; the entry count field says `declaredCount` when given.
Box Stsd(std::vector<Box> entries, std::optional<std::uint32_t> declaredCount = std::nullopt);
// "trak" → "mdia" → ("mdhd", "hdlr", "minf" → "stbl" → "stsd").
Box Trak(std::uint32_t timescale, std::uint32_t duration, Box sampleEntry, std::string_view handler = "vide");
Box Moov(std::vector<Box> children);  // "mvhd" first, then the children
Box Udta(std::vector<Box> children);

// A complete, parseable recording: ftyp, mdat (a hole of movieBytes), moov with a video and an
// audio trak; private boxes at the top level after moov, or directly inside moov.
struct MovRecording {
    std::uint16_t width = 1920;
    std::uint16_t height = 1080;
    std::uint32_t timescale = 90000;
    std::uint32_t duration = 90000 * 60;
    std::uint64_t movieBytes = 0;
    Telemetry telemetry;
    bool telemetryInsideMoov = false;
};
std::vector<Box> BuildMov(const MovRecording& recording);

}  // namespace trivane::writer
