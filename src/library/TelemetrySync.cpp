#include <algorithm>
#include <cmath>
#include <cstdint>

#include "library/CRecordingManager.h"
#include "library/ICompass.h"
#include "library/IMapHost.h"
#include "library/IOwnerWindow.h"
#include "library/ISpeedReadout.h"
#include "library/MapScripts.h"
#include "telemetry/IGSensorCurve.h"
#include "telemetry/NmeaToDegrees.h"

namespace trivane {

namespace {

// Lives for the whole process: neither a new load nor a seek resets it.
SyncState syncState;

}  // namespace

const SyncState& CurrentSyncState() { return syncState; }

void ResetSyncStateForTests() { syncState = SyncState{}; }

int CRecordingManager::UpdateTelemetryAt(std::int64_t timeMs, bool updateCurve, bool updateMap) {
    // -1 is the player's time without media: no time is before the start.
    timeMs = std::max<std::int64_t>(timeMs, 0);
    if (updateCurve && curve_ != nullptr && !track_.gsensorStore.empty()) {
        curve_->SetStopped(false);
        // The curve's positions are 32-bit: saturate instead of wrapping.
        curve_->SetPosition(static_cast<std::uint32_t>(std::min<std::int64_t>(timeMs, UINT32_MAX)));
    }
    ISpeedReadout* speed = owner_ != nullptr ? owner_->SpeedReadout() : nullptr;
    auto lostFix = [&] {
        if (owner_ != nullptr) {
            if (ICompass* compass = owner_->Compass()) compass->SetImageIndex(0);
            if (syncState.lastSpeed != 0 && speed != nullptr) speed->SetSpeed(0);
        }
        syncState.lastSpeed = 0;
        return 0;
    };

    const std::size_t count = track_.fixStore.size();
    if (count == 0) return lostFix();
    const std::int64_t i = track_.FixIndexAt(static_cast<double>(timeMs));
    if (i < 0 || !track_.fixStore[static_cast<std::size_t>(i)].IsValid()) return lostFix();

    const GpsFix& fix = track_.fixStore[static_cast<std::size_t>(i)];
    if (i != 0 && i == syncState.lastFixIndex) return 1;
    syncState.lastFixIndex = static_cast<std::int32_t>(i);
    if (owner_ != nullptr && fix.speedKmh < 500) {
        if (speed != nullptr) speed->SetSpeed(fix.speedKmh);
        syncState.lastSpeed = fix.speedKmh;
    }
    if (!IsMappable(fix)) return 0;
    if (updateMap && map_ != nullptr) map_->MovePosition(fix.latitudeNmea / 100, fix.longitudeNmea / 100);
    return 1;
}

void CRecordingManager::ReplotDrivenPath(std::int64_t timeMs) {
    if (track_.fixRate == 0) track_.fixRate = 1;
    const double k = std::trunc(static_cast<double>(std::max<std::int64_t>(timeMs, 0)) * track_.fixRate / 1000.0);
    if (map_ == nullptr) return;
    map_->RunScript(kDrivenPathDeleteScript);
    const std::size_t count = track_.fixStore.size();
    const std::size_t limit = !(k >= 0) ? 0 : (k >= static_cast<double>(count) ? count : static_cast<std::size_t>(k));
    for (std::size_t i = 0; i < limit; ++i) {
        const GpsFix& fix = track_.fixStore[i];
        if (!fix.IsValid() || !IsMappable(fix)) continue;
        map_->RunScript(
            DrivenPathPlotScript(NmeaToDegrees(fix.latitudeNmea / 100), NmeaToDegrees(fix.longitudeNmea / 100)));
    }
}

void CRecordingManager::ClearTelemetry() {
    track_.fixStore.clear();
    track_.gsensorStore.clear();
    track_.currentIndex = -1;
    track_.sourcePath.clear();
    if (map_ != nullptr) {
        map_->RunScript(kDrivenPathDeleteScript);
        map_->RunScript(kPathDeleteScript);
    }
    if (curve_ != nullptr) curve_->ResetSamples();
    if (owner_ != nullptr) {
        if (ICompass* compass = owner_->Compass()) compass->SetImageIndex(0);
        if (ISpeedReadout* speed = owner_->SpeedReadout()) speed->SetSpeed(0);
    }
    // Nothing is shown any more: the next fix is sent whatever its index.
    syncState = SyncState{0, 0};
}

}  // namespace trivane
