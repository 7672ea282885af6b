#include "recorders/Recorders.h"

#include "library/MapScripts.h"

namespace trivane::recorders {

void RecordingMapHost::MovePosition(double latitude, double longitude) {
    RunScript(MovePositionScript(latitude, longitude));
}

void RecordingCurve::ResetSamples() {
    log.push_back("reset");
    samples.clear();
}

void RecordingCurve::SetGRange(int rangeFactor) {
    log.push_back("range " + std::to_string(rangeFactor));
    gRange = rangeFactor;
}

void RecordingCurve::SetSampleRate(double samplesPerMs) {
    log.push_back("rate");
    sampleRate = samplesPerMs;
}

void RecordingCurve::SetCursorTracking(bool tracking) {
    log.push_back(tracking ? "tracking on" : "tracking off");
    cursorTracking = tracking;
}

void RecordingGroupList::DeleteAllRows() {
    rows.clear();
    log.push_back("clear");
}

bool RecordingGroupList::AddGroupRow(std::int32_t number, const std::string& resolution, std::uint64_t,
                                     std::uint64_t, std::uint8_t lockFlags, std::int64_t) {
    std::string row = "G";
    row.append(std::to_string(number)).append(" ").append(resolution).append(" ").append(std::to_string(lockFlags));
    rows.push_back(std::move(row));
    return true;
}

void RecordingGroupList::SetCurrentHighlight(int row, bool on) {
    log.push_back((on ? "on " : "off ") + std::to_string(row));
}

void RecordingFileList::DeleteAllRows() {
    rows.clear();
    log.push_back("clear");
}

bool RecordingFileList::AddFileRow(const std::string& fileName, std::uint8_t) {
    rows.push_back(fileName);
    return true;
}

void RecordingFileList::SetCurrentHighlight(int row, bool on) {
    log.push_back((on ? "on " : "off ") + std::to_string(row));
}

}  // namespace trivane::recorders
