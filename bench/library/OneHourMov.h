#pragma once

// A one-hour MOV recording with 36,000 fixes (10 per second, a straight diagonal drive) and
// G-sensor samples at 100 Hz: the largest telemetry a recorder writes.
#include <string>

#include "writer/MovWriter.h"
#include "writer/TelemetryRecords.h"

namespace trivane::bench {

inline bool WriteOneHourMov(const std::string& path)
{
    writer::MovRecording recording;
    recording.timescale = 1000;
    recording.duration = 3600 * 1000;
    recording.movieBytes = std::uint64_t{3} << 30;
    recording.telemetry.fixesPerSecond = 10;
    recording.telemetry.gsensorRateCode = 50;  // 0.1 per ms
    for (int i = 0; i < 36000; ++i) {
        recording.telemetry.fixes.push_back(
            writer::MakeFix(3540.0 + i * 0.0001, 13946.0 + i * 0.0001, static_cast<std::uint16_t>(i % 120), 2020, 6,
                            1, 10 + i / 36000, (i / 600) % 60, (i / 10) % 60, true));
    }
    recording.telemetry.samples.assign(360000, GSensorSample{1, -2, 64});
    recording.telemetry.idit = "2020-06-01 10:00:00";
    return writer::RenderBoxes(writer::BuildMov(recording)).WriteFile(path);
}

}  // namespace trivane::bench
