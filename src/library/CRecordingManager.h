#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/FileOperationReport.h"
#include "library/RecordingEntry.h"
#include "library/TelemetryTrack.h"

namespace trivane {

class IFileList;
class IFileOperationHost;
class IGSensorCurve;
class IGroupList;
class IMapHost;
class IOwnerWindow;
class IVideoSurface;

// The catalogue of one source and the telemetry of its current recording. Links to the lists,
// instruments and map are non-owning and optional.
class CRecordingManager {
public:
    CRecordingManager() = default;
    CRecordingManager(const CRecordingManager&) = delete;
    CRecordingManager& operator=(const CRecordingManager&) = delete;

    void SetGroupList(IGroupList* list) { groupList_ = list; }
    void SetFileList(IFileList* list) { fileList_ = list; }
    void SetGSensorCurve(IGSensorCurve* curve) { curve_ = curve; }
    void SetVideoSurface(IVideoSurface* surface) { videoSurface_ = surface; }
    void SetOwnerWindow(IOwnerWindow* owner) { owner_ = owner; }
    void SetMapHost(IMapHost* map) { map_ = map; }
    void SetFileOperationHost(IFileOperationHost* host) { fileOperationHost_ = host; }

    // Catalogue.
    void ClearCatalogue();
    int OpenSource(const std::string& folder, const std::string& fileName);
    std::string FullPath(int index) const;  // empty for an index outside the catalogue
    std::string CurrentPath() const;
    int SelectCurrent(int index);
    void MarkGroups();
    void BuildGroups();
    void FillLists();
    // When entries were removed behind the current one, the last entry becomes current.
    void ClampCurrentIndex();

    const std::vector<RecordingEntry>& Entries() const { return entries_; }
    std::vector<RecordingEntry>& MutableEntries() { return entries_; }
    const std::vector<RecordingGroup>& Groups() const { return groups_; }
    const std::vector<FileRow>& Rows() const { return rows_; }
    int CurrentIndex() const { return currentIndex_; }
    int CurrentGroup() const { return currentGroup_; }
    int ScanCount() const { return scanCount_; }

    // File operations on the groups ticked in the group list. Each returns 0 when no group is
    // ticked (nothing done) and 1 otherwise; what happened, failures included, is in
    // LastFileOperationReport().
    int CollectTickedGroups();
    int UnlockTicked();
    int DeleteTicked();
    int CopyTicked(const std::string& destination);
    const FileOperationReport& LastFileOperationReport() const { return lastReport_; }
    // The index of the entry with this full path, or -1.
    int FindEntry(const std::string& fullPath) const;

    // Telemetry of the current recording.
    // Makes `index` current and loads its route and G-sensor data; false for an index outside the
    // catalogue (nothing changes) or a recording that cannot be opened (the track is left empty).
    bool LoadTelemetry(int index);
    // Times are playback milliseconds; a negative time (the player's "no media") counts as 0.
    int UpdateTelemetryAt(std::int64_t timeMs, bool updateCurve, bool updateMap);
    void ReplotDrivenPath(std::int64_t timeMs);
    // Forgets the loaded telemetry and clears what it showed: route and driven path, speed
    // read-out, compass and G-sensor curve. The page's marker stays (no script removes it).
    void ClearTelemetry();
    const TelemetryTrack& Track() const { return track_; }

private:
    static void AddScannedFile(const std::string& root, const std::string& relativeFolder, const std::string& name,
                               bool isDirectory, void* context);
    bool AddSingleFile(const std::string& folder, const std::string& fileName);
    bool ParseAndAppend(RecordingEntry entry, bool setManualFromFile);
    void SortEntries();
    void LoadSideFile(const std::string& recordingPath, std::int64_t startTime);
    bool LoadContainer(const std::string& recordingPath, const ContainerInfo& info);

    std::vector<RecordingEntry> entries_;
    std::vector<RecordingGroup> groups_;
    std::vector<FileRow> rows_;
    int currentIndex_ = -1;
    int currentGroup_ = 0;
    int scanCount_ = 0;
    TelemetryTrack track_;

    IGroupList* groupList_ = nullptr;
    IFileList* fileList_ = nullptr;
    IGSensorCurve* curve_ = nullptr;
    IVideoSurface* videoSurface_ = nullptr;
    IOwnerWindow* owner_ = nullptr;
    IMapHost* map_ = nullptr;
    IFileOperationHost* fileOperationHost_ = nullptr;
    FileOperationReport lastReport_;
};

// The sync's process-wide memory of the last fix shown and the last speed given to the read-out.
struct SyncState {
    std::int32_t lastFixIndex = 0;
    std::uint16_t lastSpeed = 300;
};
const SyncState& CurrentSyncState();
// Back to the start-up values; for tests only.
void ResetSyncStateForTests();

}  // namespace trivane
