#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/ICompass.h"
#include "library/IFileList.h"
#include "library/IGroupList.h"
#include "library/IMapHost.h"
#include "library/IOwnerWindow.h"
#include "library/ISpeedReadout.h"
#include "library/IVideoSurface.h"
#include "library/MapScripts.h"
#include "telemetry/GpsFix.h"
#include "telemetry/IGSensorCurve.h"
#include "writer/TelemetryRecords.h"

namespace trivane::test {

// A fresh folder under the test's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }  // no trailing '/'
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Recordings written by the test writer. `idit` is the local start "YYYY-MM-DD hh:mm:ss".
void WriteAvi(const std::string& path, const std::string& idit, std::uint32_t seconds = 60,
              const writer::Telemetry& telemetry = {});
void WriteMov(const std::string& path, const std::string& idit, std::uint32_t seconds = 60,
              const writer::Telemetry& telemetry = {}, std::uint16_t width = 1920, std::uint16_t height = 1080);
void WriteText(const std::string& path, const std::string& text);
void MakeFolder(const std::string& path);

GpsFix Fix(double latitudeNmea, double longitudeNmea, std::uint16_t speedKmh, bool valid, std::int32_t altitude = 0);

// Everything the manager tells its collaborators, in order.
struct CallLog {
    std::vector<std::string> calls;
};

class FakeMap final : public IMapHost {
public:
    void RunScript(const std::string& script) override { scripts.push_back(script); }
    void MovePosition(double latitude, double longitude) override { RunScript(MovePositionScript(latitude, longitude)); }
    std::vector<std::string> scripts;
};

class FakeCurve final : public IGSensorCurve {
public:
    void ResetSamples() override { log.push_back("reset"); samples.clear(); }
    void SetGRange(int rangeFactor) override { log.push_back("range " + std::to_string(rangeFactor)); }
    void AppendSample(const GSensorSample& sample) override { samples.push_back(sample); }
    void SetSampleRate(double samplesPerMs) override { rate = samplesPerMs; log.push_back("rate"); }
    void SetCursorTracking(bool tracking) override { log.push_back(tracking ? "tracking on" : "tracking off"); }
    void SetStopped(bool stopped) override { log.push_back(stopped ? "stopped" : "running"); }
    void SetPosition(std::uint32_t ms) override { log.push_back("position " + std::to_string(ms)); }
    std::vector<std::string> log;
    std::vector<GSensorSample> samples;
    double rate = -1;
};

class FakeOwner final : public IOwnerWindow, public ISpeedReadout, public ICompass {
public:
    ISpeedReadout* SpeedReadout() override { return this; }
    ICompass* Compass() override { return this; }
    IStatusBoard* StatusBoard() override { return nullptr; }
    void SetSpeed(std::uint16_t kmh) override { speeds.push_back(kmh); }
    void SetImageIndex(int index) override { compass.push_back(index); }
    std::vector<int> speeds;
    std::vector<int> compass;
};

class FakeGroupList final : public IGroupList {
public:
    void DeleteAllRows() override { rows.clear(); log.push_back("clear"); }
    bool AddGroupRow(std::int32_t number, const std::string& resolution, std::uint64_t, std::uint64_t,
                     std::uint8_t lockFlags, std::int64_t) override {
        rows.push_back("G" + std::to_string(number) + " " + resolution + " " + std::to_string(lockFlags));
        return true;
    }
    void SetCurrentHighlight(int row, bool on) override { log.push_back((on ? "on " : "off ") + std::to_string(row)); }
    void EnsureRowVisible(int row) override { log.push_back("show " + std::to_string(row)); }
    bool IsRowChecked(int) const override { return false; }
    std::vector<std::string> rows;
    std::vector<std::string> log;
};

class FakeFileList final : public IFileList {
public:
    void DeleteAllRows() override { rows.clear(); log.push_back("clear"); }
    bool AddFileRow(const std::string& fileName, std::uint8_t) override { rows.push_back(fileName); return true; }
    void SetCurrentHighlight(int row, bool on) override { log.push_back((on ? "on " : "off ") + std::to_string(row)); }
    void EnsureRowVisible(int row) override { log.push_back("show " + std::to_string(row)); }
    void SetCurrentItem(int row) override { current = row; }
    int CurrentItem() const override { return current; }
    std::vector<std::string> rows;
    std::vector<std::string> log;
    int current = -1;
};

class FakeSurface final : public IVideoSurface {
public:
    void SetCounter(int filesExamined) override { counters.push_back(filesExamined); }
    std::vector<int> counters;
};

}  // namespace trivane::test
