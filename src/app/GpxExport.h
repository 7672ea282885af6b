#pragma once

#include <string>

namespace trivane {

class CRecordingManager;

struct GpxExportResult {
    bool ok = false;
    std::string path;  // the written file on success
};

// Writes the current recording's route as a GPX track into `folder` (which ends with '/'), named
// as the KML export names its file but ending ".gpx". The route is loaded again when the loaded
// one is not the current recording's. Fails without writing when there is no current recording
// or its route cannot be read.
GpxExportResult ExportGpx(CRecordingManager& manager, const std::string& folder);

}  // namespace trivane
