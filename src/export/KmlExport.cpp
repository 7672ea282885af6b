#include "export/KmlExport.h"

#include "export/CKmlFile.h"
#include "export/DocumentsFolder.h"
#include "library/CRecordingManager.h"
#include "files/FileSystem.h"
#include "library/TelemetryTrack.h"
#include "telemetry/LocalTime.h"
#include "telemetry/NmeaToDegrees.h"

namespace trivane {

KmlFolderResult GetKmlFolder() {
    KmlFolderResult result;
    const auto documents = DocumentsFolder();
    if (!documents) return result;
    result.folder = *documents;
    if (result.folder.empty() || result.folder.back() != '/') result.folder += '/';
    result.folder += "QEN/KML/";
    if (!IsDirectory(result.folder)) MakeDirectories(result.folder);
    result.ok = IsDirectory(result.folder);
    return result;
}

KmlExportResult ExportKml(CRecordingManager& manager, const std::string& folder) {
    KmlExportResult result;
    manager.ClampCurrentIndex();
    const int index = manager.CurrentIndex();
    if (index < 0) return result;
    // After a deletion the loaded route may be another recording's; it must not go out under
    // this one's name.
    if (manager.Track().sourcePath != manager.FullPath(index) && !manager.LoadTelemetry(index)) return result;
    const RecordingEntry& entry = manager.Entries()[static_cast<std::size_t>(index)];
    const std::int64_t start = entry.info.startTime;

    std::string path = folder + entry.fileName;
    path.resize(path.size() >= 4 ? path.size() - 4 : 0);
    path += FormatLocal(start, "_%Y_%m_%d_%H-%M-%S").value_or(std::string());
    path += ".KML";

    CKmlFile kml;
    if (!kml.OpenForWrite(path)) return result;
    std::string relative = entry.relativeFolder;
    std::string carText = "\"" + relative + entry.fileName + "\"" +
                          FormatLocal(start, " %Y/%m/%d %H:%M:%S").value_or(std::string());
    if (!kml.WriteHeader(entry.fileName, std::string(), carText)) return result;
    for (const GpsFix& fix : manager.Track().fixStore) {
        if (!fix.IsValid()) continue;
        const double latitude = NmeaToDegrees(fix.latitudeNmea / 100);
        const double longitude = NmeaToDegrees(fix.longitudeNmea / 100);
        // The limit applies after conversion here; values that are not finite are never written.
        if (!std::isfinite(latitude) || !std::isfinite(longitude) || latitude >= kCoordinateLimit ||
            longitude >= kCoordinateLimit) {
            continue;
        }
        if (!kml.WriteCoordinate(longitude, latitude, fix.altitude)) return result;
    }
    if (!kml.WriteFooter()) return result;
    result.ok = true;
    result.path = path;
    return result;
}

}  // namespace trivane
