#pragma once

#include <string>
#include <vector>

#include "samplecard/DriveModel.h"
#include "samplecard/WallClock.h"
#include "writer/MediaPatcher.h"
#include "writer/TelemetryRecords.h"

namespace trivane::samplecard {

enum class ContainerKind { Mov, Ts, Avi };
enum class Channel { Front, Rear };

// One video file of the card: what ffmpeg encodes and which private records follow.
struct PlannedVideo {
    std::string relativePath;  // below the card folder, "/"-separated
    ContainerKind container = ContainerKind::Mov;
    Channel channel = Channel::Front;
    int width = 1920;
    int height = 1080;
    int seconds = 10;
    WallClock start;
    std::vector<writer::PrivateRecord> records;  // appended after encoding; none for TS
    writer::BoxPlacement placement = writer::BoxPlacement::TopLevel;
    bool readOnly = false;
};

struct PlannedText {
    std::string relativePath;
    std::string text;
};

// The whole card, computed without touching the disk; the same every time.
struct CardPlan {
    std::vector<PlannedVideo> videos;
    std::vector<PlannedText> sideFiles;
};

CardPlan BuildCardPlan();

inline constexpr int kFramesPerSecond = 25;

}  // namespace trivane::samplecard
