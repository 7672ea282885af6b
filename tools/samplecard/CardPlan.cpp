#include "samplecard/CardPlan.h"

#include "writer/NmeaWriter.h"

namespace trivane::samplecard {

namespace {

using writer::BoxPlacement;
using writer::PrivateRecord;

constexpr WallClock kDay{2024, 3, 15, 0, 0, 0};

WallClock At(int hour, int minute, int second) {
    WallClock clock = kDay;
    clock.hour = hour;
    clock.minute = minute;
    clock.second = second;
    return clock;
}

writer::Telemetry TelemetryOf(const DriveData& data, int firstSecond, int seconds, bool withSamples) {
    writer::Telemetry t;
    const auto fixBegin = data.fixes.begin() + firstSecond;
    t.fixes.assign(fixBegin, fixBegin + seconds);
    if (withSamples) {
        const auto sampleBegin = data.samples.begin() + firstSecond * kSamplesPerSecond;
        t.samples.assign(sampleBegin, sampleBegin + seconds * kSamplesPerSecond);
    }
    t.fixesPerSecond = 1;
    t.gsensorRateCode = withSamples ? kGsensorRateCode : 0;
    t.gsensorRange = withSamples ? kGsensorRange : 0;
    return t;
}

std::string Idit(const WallClock& c) {
    const writer::Bytes text = writer::IditText(c.year, c.month, c.day, c.hour, c.minute, c.second);
    return std::string(text.begin(), text.end());
}

// A front/rear MOV pair: the front carries GPS and G-sensor at the top level after moov; the
// rear carries the same fixes and its clock inside moov, so both report the same start.
void AddMovPair(CardPlan& plan, const Drive& drive) {
    const DriveData data = Simulate(drive);
    const std::string stamp = drive.start.NameStamp();

    PlannedVideo front;
    front.relativePath = "DCIM/MOVF/" + stamp + "F.MOV";
    front.container = ContainerKind::Mov;
    front.seconds = drive.seconds;
    front.start = drive.start;
    front.records = writer::TelemetryRecords(TelemetryOf(data, 0, drive.seconds, true));
    front.placement = BoxPlacement::TopLevel;
    plan.videos.push_back(front);

    PlannedVideo rear = front;
    rear.relativePath = "DCIM/MOVR/" + stamp + "R.MOV";
    rear.channel = Channel::Rear;
    rear.width = 1280;
    rear.height = 720;
    writer::Telemetry rearTelemetry = TelemetryOf(data, 0, drive.seconds, false);
    rearTelemetry.idit = Idit(drive.start);
    rear.records = writer::TelemetryRecords(rearTelemetry);
    rear.placement = BoxPlacement::InsideMoov;
    plan.videos.push_back(rear);
}

// A TS pair; its telemetry lives in the side file beside the front file, one fix and one
// G-sensor reading per second.
void AddTsPair(CardPlan& plan, const Drive& drive) {
    const DriveData data = Simulate(drive);
    const std::string stamp = drive.start.NameStamp();

    PlannedVideo front;
    front.relativePath = "DCIM/TSF/" + stamp + "F.TS";
    front.container = ContainerKind::Ts;
    front.seconds = drive.seconds;
    front.start = drive.start;
    plan.videos.push_back(front);

    PlannedVideo rear = front;
    rear.relativePath = "DCIM/TSR/" + stamp + "R.TS";
    rear.channel = Channel::Rear;
    rear.width = 1280;
    rear.height = 720;
    plan.videos.push_back(rear);

    std::vector<std::string> lines{"$GPTXT,01,01,02,ANTSTATUS=OK*3B"};
    for (int i = 0; i < drive.seconds; ++i) {
        lines.push_back(writer::GprmcLine(data.fixes[static_cast<std::size_t>(i)]));
        // This camera reports z without gravity: readers keep only 8 bits of G x 512, which
        // would wrap a 1 G reading to 0.
        const auto& g = data.gAtSecond[static_cast<std::size_t>(i)];
        lines.push_back(writer::GsensordLine(g[0], g[1], g[2] - 1.0));
    }
    plan.sideFiles.push_back({"DCIM/TSF/" + stamp + "F.NMEA", writer::NmeaText(lines)});
}

// Loop recording on a single-channel AVI camera: one drive cut into consecutive files, each
// starting where the one before ends.
void AddAviLoop(CardPlan& plan, const Drive& drive, const std::vector<std::string>& names, int secondsEach,
                const std::vector<bool>& withIdit, const std::vector<bool>& readOnly) {
    const DriveData data = Simulate(drive);
    for (std::size_t n = 0; n < names.size(); ++n) {
        const int first = static_cast<int>(n) * secondsEach;
        PlannedVideo video;
        video.relativePath = "DCIM/AVI/" + names[n];
        video.container = ContainerKind::Avi;
        video.seconds = secondsEach;
        video.start = drive.start.Plus(first);
        writer::Telemetry telemetry = TelemetryOf(data, first, secondsEach, true);
        if (withIdit[n]) telemetry.idit = Idit(video.start);
        video.records = writer::TelemetryRecords(telemetry);
        video.readOnly = readOnly[n];
        plan.videos.push_back(video);
    }
}

}  // namespace

CardPlan BuildCardPlan() {
    CardPlan plan;

    // Leaving the car park: the receiver needs two seconds for a fix, then a gentle start.
    Drive leaving;
    leaving.start = At(8, 15, 0);
    leaving.seconds = 15;
    leaving.latitude = 48.137154;
    leaving.longitude = 11.576124;
    leaving.heading = 80;
    leaving.speedKmh = {{0, 0}, {3, 0}, {9, 32}, {15, 45}};
    leaving.turnDegPerSecond = {{0, 0}, {10, 0}, {11, 6}, {14, 6}, {15, 0}};
    leaving.undatedFixes = 2;
    leaving.seed = 0x5EED0001;
    AddMovPair(plan, leaving);

    // Town traffic with a pothole and a left turn.
    Drive town;
    town.start = At(8, 15, 30);
    town.seconds = 15;
    town.latitude = 48.138420;
    town.longitude = 11.582310;
    town.heading = 95;
    town.speedKmh = {{0, 48}, {6, 52}, {9, 30}, {12, 28}, {15, 40}};
    town.turnDegPerSecond = {{0, 0}, {8, 0}, {9, -15}, {12, -15}, {13, 0}};
    town.bumps = {4.3};
    town.seed = 0x5EED0002;
    AddMovPair(plan, town);

    // Ring road: fast, through a short tunnel without a fix.
    Drive ring;
    ring.start = At(8, 30, 0);
    ring.seconds = 12;
    ring.latitude = 48.176930;
    ring.longitude = 11.620050;
    ring.heading = 20;
    ring.speedKmh = {{0, 78}, {5, 88}, {9, 90}, {12, 84}};
    ring.turnDegPerSecond = {{0, 1}, {12, 2}};
    ring.lostFrom = 4;
    ring.lostTo = 8;
    ring.seed = 0x5EED0003;
    AddTsPair(plan, ring);

    // Single-channel AVI camera, three 12 s loop files: bumps, then a hard stop (the camera
    // locks that file) and waiting.
    Drive stop;
    stop.start = At(8, 40, 0);
    stop.seconds = 36;
    stop.latitude = 48.152210;
    stop.longitude = 11.541870;
    stop.heading = 200;
    stop.speedKmh = {{0, 35}, {8, 55}, {28, 60}, {29.5, 60}, {32, 0}, {36, 0}};
    stop.turnDegPerSecond = {{0, 0}, {15, 0}, {16, 4}, {20, 4}, {21, 0}};
    stop.bumps = {6.1, 17.8};
    stop.seed = 0x5EED0004;
    AddAviLoop(plan, stop, {"DRV_0101.AVI", "DRV_0102.AVI", "DRVG0103.AVI"}, 12, {true, false, true},
               {false, true, false});
    return plan;
}

}  // namespace trivane::samplecard
