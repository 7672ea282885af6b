#include <cstdio>
#include <string>

#include "Commands.h"
#include "InfoJson.h"
#include "Recorders.h"
#include "export/KmlExport.h"
#include "files/FileSystem.h"

namespace trivane::inspect {

int RunKml(std::span<char* const> args) {
    std::string path;
    std::string outDir;
    if (!ParsePathAndOut(args, path, outDir)) {
        std::fprintf(stderr, "usage: trivane-inspect kml FILE [--out DIR]\n");
        return 2;
    }
    CRecordingManager manager;
    OpenSingleFile(manager, path);
    KmlExportResult result;
    if (!manager.Entries().empty()) {
        manager.SelectCurrent(0);
        manager.LoadTelemetry(0);
        std::string folder;
        if (outDir.empty()) {
            folder = GetKmlFolder().folder;
        } else {
            MakeDirectories(outDir);
            folder = outDir.back() == '/' ? outDir : outDir + '/';
        }
        result = ExportKml(manager, folder);
    }
    nlohmann::ordered_json out;
    out["result"] = result.ok;
    out["path"] = result.path;
    PrintJson(out);
    return 0;
}

}  // namespace trivane::inspect
