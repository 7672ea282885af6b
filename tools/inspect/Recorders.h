#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "library/IMapHost.h"
#include "library/IOwnerWindow.h"
#include "library/ISpeedReadout.h"
#include "library/CRecordingManager.h"
#include "telemetry/IGSensorCurve.h"

namespace trivane::inspect {

// "PATH [--out DIR]" in either order; false when PATH is missing or anything else is given.
bool ParsePathAndOut(std::span<char* const> args, std::string& path, std::string& outDir);

// Stand-ins for the map, the curve and the speed read-out that keep what they were given.
class RecordingMapHost final : public IMapHost {
public:
    void RunScript(const std::string& script) override { scripts.push_back(script); }
    void MovePosition(double latitude, double longitude) override;
    std::vector<std::string> scripts;
};

class RecordingCurve final : public IGSensorCurve {
public:
    void ResetSamples() override { samples.clear(); }
    void SetGRange(int rangeFactor) override { gRange = rangeFactor; }
    void AppendSample(const GSensorSample& sample) override { samples.push_back({sample.x, sample.y, sample.z}); }
    void SetSampleRate(double samplesPerMs) override { sampleRate = samplesPerMs; }
    void SetCursorTracking(bool tracking) override { cursorTracking = tracking; }
    void SetStopped(bool) override {}
    void SetPosition(std::uint32_t) override {}

    int gRange = 0;
    double sampleRate = 0;
    bool cursorTracking = false;
    std::vector<std::array<int, 3>> samples;
};

class RecordingOwner final : public IOwnerWindow, public ISpeedReadout {
public:
    ISpeedReadout* SpeedReadout() override { return this; }
    ICompass* Compass() override { return nullptr; }
    IStatusBoard* StatusBoard() override { return nullptr; }
    void SetSpeed(std::uint16_t kmh) override { lastSpeed = kmh; }
    std::optional<int> lastSpeed;
};

// Opens PATH as a single-file catalogue (folder before the last '/', name after it).
int OpenSingleFile(CRecordingManager& manager, const std::string& path);

}  // namespace trivane::inspect
