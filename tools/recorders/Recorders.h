#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/ICompass.h"
#include "library/IFileList.h"
#include "library/IGroupList.h"
#include "library/IMapHost.h"
#include "library/IOwnerWindow.h"
#include "library/ISpeedReadout.h"
#include "library/IVideoSurface.h"
#include "telemetry/GSensorSample.h"
#include "telemetry/IGSensorCurve.h"

namespace trivane::recorders {

// Stand-ins for the catalogue's collaborators that keep everything they are told, in order.
// trivane-inspect prints what they kept; the tests compare it with what the rules say.

class RecordingMapHost final : public IMapHost {
public:
    void RunScript(const std::string& script) override { scripts.push_back(script); }
    void MovePosition(double latitude, double longitude) override;
    std::vector<std::string> scripts;
};

class RecordingCurve final : public IGSensorCurve {
public:
    void ResetSamples() override;
    void SetGRange(int rangeFactor) override;
    void AppendSample(const GSensorSample& sample) override { samples.push_back(sample); }
    void SetSampleRate(double samplesPerMs) override;
    void SetCursorTracking(bool tracking) override;
    void SetStopped(bool stopped) override { log.push_back(stopped ? "stopped" : "running"); }
    void SetPosition(std::uint32_t ms) override { log.push_back("position " + std::to_string(ms)); }

    std::vector<std::string> log;  // every call but AppendSample
    std::vector<GSensorSample> samples;
    int gRange = 0;
    double sampleRate = 0;
    bool cursorTracking = false;
};

class RecordingOwner final : public IOwnerWindow, public ISpeedReadout, public ICompass {
public:
    ISpeedReadout* SpeedReadout() override { return this; }
    ICompass* Compass() override { return this; }
    IStatusBoard* StatusBoard() override { return nullptr; }
    void SetSpeed(std::uint16_t kmh) override { speeds.push_back(kmh); }
    void SetImageIndex(int index) override { compass.push_back(index); }
    std::vector<int> speeds;
    std::vector<int> compass;
};

class RecordingGroupList final : public IGroupList {
public:
    void DeleteAllRows() override;
    bool AddGroupRow(std::int32_t number, const std::string& resolution, std::uint64_t durationMs,
                     std::uint64_t size, std::uint8_t lockFlags, std::int64_t startTime) override;
    void SetCurrentHighlight(int row, bool on) override;
    void EnsureRowVisible(int row) override { log.push_back("show " + std::to_string(row)); }
    bool IsRowChecked(int) const override { return false; }
    std::vector<std::string> rows;  // "G<number> <resolution> <lock flags>"
    std::vector<std::string> log;
};

class RecordingFileList final : public IFileList {
public:
    void DeleteAllRows() override;
    bool AddFileRow(const std::string& fileName, std::uint8_t) override;
    void SetCurrentHighlight(int row, bool on) override;
    void EnsureRowVisible(int row) override { log.push_back("show " + std::to_string(row)); }
    void SetCurrentItem(int row) override { current = row; }
    int CurrentItem() const override { return current; }
    std::vector<std::string> rows;
    std::vector<std::string> log;
    int current = -1;
};

class RecordingSurface final : public IVideoSurface {
public:
    void SetCounter(int filesExamined) override { counters.push_back(filesExamined); }
    std::vector<int> counters;
};

}  // namespace trivane::recorders
