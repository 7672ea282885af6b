#include "app/GpxExport.h"

#include "export/GpxWriter.h"
#include "library/CRecordingManager.h"
#include "telemetry/LocalTime.h"

namespace trivane {

GpxExportResult ExportGpx(CRecordingManager& manager, const std::string& folder)
{
    GpxExportResult result;
    manager.ClampCurrentIndex();
    const int index = manager.CurrentIndex();
    if (index < 0) return result;
    // After a deletion the loaded route may be another recording's.
    if (manager.Track().sourcePath != manager.FullPath(index) && !manager.LoadTelemetry(index)) return result;
    const RecordingEntry& entry = manager.Entries()[static_cast<std::size_t>(index)];

    std::string name = entry.fileName;
    name.resize(name.size() >= 4 ? name.size() - 4 : 0);
    std::string path = folder + name;
    path += FormatLocal(entry.info.startTime, "_%Y_%m_%d_%H-%M-%S").value_or(std::string());
    path += ".gpx";

    GpxTrack track;
    track.name = entry.fileName;
    track.fixes = &manager.Track().fixStore;
    track.fixRate = manager.Track().EffectiveFixRate();
    track.startTime = entry.info.startTime;
    if (!WriteGpxFile(path, track)) return result;
    result.ok = true;
    result.path = path;
    return result;
}

}  // namespace trivane
