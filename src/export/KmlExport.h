#pragma once

#include <string>

namespace trivane {

class CRecordingManager;

struct KmlFolderResult {
    std::string folder;  // with a trailing '/'
    bool ok = false;
};

// The documents folder followed by "QEN/KML/", created when missing.
KmlFolderResult GetKmlFolder();

struct KmlExportResult {
    bool ok = false;
    std::string path;  // the written file on success
};

// Writes the current recording's route into `folder` (which ends with '/'): file name = the
// recording's name without its last four characters plus its local start "_%Y_%m_%d_%H-%M-%S"
// and ".KML". The route is loaded again when the loaded one is not the current recording's.
// Fails without writing when there is no current recording or its route cannot be read.
KmlExportResult ExportKml(CRecordingManager& manager, const std::string& folder);

}  // namespace trivane
