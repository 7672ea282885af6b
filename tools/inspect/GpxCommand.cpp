#include <cstdio>
#include <string>

#include "Commands.h"
#include "InfoJson.h"
#include "Recorders.h"
#include "export/GpxWriter.h"
#include "export/KmlExport.h"
#include "files/FileSystem.h"

namespace trivane::inspect {

int RunGpx(std::span<char* const> args) {
    std::string path;
    std::string outDir;
    if (!ParsePathAndOut(args, path, outDir)) {
        std::fprintf(stderr, "usage: trivane-inspect gpx PATH [--out DIR]\n");
        return 2;
    }
    CRecordingManager manager;
    const int opened = IsDirectory(path) ? manager.OpenSource(path, std::string()) : OpenSingleFile(manager, path);

    std::string folder = outDir.empty() ? GetKmlFolder().folder : outDir;
    if (!outDir.empty()) MakeDirectories(folder);
    if (!folder.empty() && folder.back() != '/') folder += '/';

    nlohmann::ordered_json out;
    bool allOk = opened == 1;
    out["files"] = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < manager.Entries().size(); ++i) {
        const auto index = static_cast<int>(i);
        const RecordingEntry& entry = manager.Entries()[i];
        manager.LoadTelemetry(index);
        std::string name = entry.fileName;
        if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
        // Recordings of the same name in different folders get the folder path in front.
        std::string prefix = entry.relativeFolder;
        for (char& c : prefix) {
            if (c == '/') c = '_';
        }
        const std::string target = folder + prefix + name + ".gpx";
        GpxTrack track;
        track.name = entry.fileName;
        track.fixes = &manager.Track().fixStore;
        track.fixRate = manager.Track().EffectiveFixRate();
        track.startTime = entry.info.startTime;
        const bool ok = WriteGpxFile(target, track);
        allOk = allOk && ok;
        nlohmann::ordered_json j;
        j["result"] = ok;
        j["path"] = target;
        out["files"].push_back(std::move(j));
    }
    out["result"] = allOk;
    PrintJson(out);
    return 0;
}

}  // namespace trivane::inspect
