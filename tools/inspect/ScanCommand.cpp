#include <cstdio>
#include <string>

#include "Commands.h"
#include "InfoJson.h"
#include "Recorders.h"
#include "library/CRecordingManager.h"
#include "files/FileSystem.h"
#include "library/ListTexts.h"
#include "library/ResolutionName.h"

namespace trivane::inspect {

namespace {

void PrintText(const CRecordingManager& manager, int result) {
    std::printf("result %d: %zu recordings in %zu groups\n", result, manager.Entries().size(), manager.Groups().size());
    for (const RecordingGroup& g : manager.Groups()) {
        const RecordingEntry& first = manager.Entries()[static_cast<std::size_t>(g.firstIndex)];
        const auto texts = GroupColumnTexts(g.number, ResolutionName(first.info.videoWidth, first.info.videoHeight),
                                            g.totalDurationMs, g.totalSize, first.info.startTime);
        std::printf("%-6s %-10s %-20s %-10s %-10s%s\n", texts[0].c_str(), texts[1].c_str(), texts[2].c_str(),
                    texts[3].c_str(), texts[4].c_str(), g.lockFlags != 0 ? " locked" : "");
    }
    for (const FileRow& row : manager.Rows()) {
        const RecordingEntry& e = manager.Entries()[static_cast<std::size_t>(row.entryIndex)];
        const auto texts = FileColumnTexts(e.fileName);
        std::printf("  G%-4d %-32s %-9s %s  %s\n", row.groupNumber, texts[0].c_str(), texts[1].c_str(),
                    texts[2].c_str(), (e.relativeFolder + e.fileName).c_str());
    }
}

}  // namespace

int RunScan(std::span<char* const> args) {
    bool text = false;
    std::string path;
    int paths = 0;
    for (char* const arg : args) {
        const std::string a = arg;
        if (a == "--text") {
            text = true;
        } else {
            path = a;
            ++paths;
        }
    }
    if (paths != 1 || path.empty()) {
        std::fprintf(stderr, "usage: trivane-inspect scan PATH [--text]\n");
        return 2;
    }

    CRecordingManager manager;
    const int result = IsDirectory(path) ? manager.OpenSource(path, std::string()) : OpenSingleFile(manager, path);
    if (text) {
        PrintText(manager, result);
        return 0;
    }

    nlohmann::ordered_json out;
    out["result"] = result;
    out["entries"] = nlohmann::ordered_json::array();
    for (const RecordingEntry& e : manager.Entries()) {
        nlohmann::ordered_json j;
        j["fileName"] = e.fileName;
        j["rootFolder"] = e.rootFolder;
        j["relativeFolder"] = e.relativeFolder;
        j["lockFlags"] = e.lockFlags;
        j["groupStart"] = e.groupStart;
        j["info"] = InfoToJson(e.info);
        out["entries"].push_back(std::move(j));
    }
    out["groups"] = nlohmann::ordered_json::array();
    for (const RecordingGroup& g : manager.Groups()) {
        const RecordingEntry& first = manager.Entries()[static_cast<std::size_t>(g.firstIndex)];
        nlohmann::ordered_json j;
        j["number"] = g.number;
        j["firstIndex"] = g.firstIndex;
        j["count"] = g.count;
        j["totalDurationMs"] = g.totalDurationMs;
        j["totalSize"] = g.totalSize;
        j["lockFlags"] = g.lockFlags;
        j["columns"] = GroupColumnTexts(g.number, ResolutionName(first.info.videoWidth, first.info.videoHeight),
                                        g.totalDurationMs, g.totalSize, first.info.startTime);
        out["groups"].push_back(std::move(j));
    }
    out["files"] = nlohmann::ordered_json::array();
    for (const FileRow& row : manager.Rows()) {
        nlohmann::ordered_json j;
        j["columns"] = FileColumnTexts(manager.Entries()[static_cast<std::size_t>(row.entryIndex)].fileName);
        out["files"].push_back(std::move(j));
    }
    PrintJson(out);
    return 0;
}

}  // namespace trivane::inspect
