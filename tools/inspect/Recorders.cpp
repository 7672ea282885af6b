#include "Recorders.h"

namespace trivane::inspect {

bool ParsePathAndOut(std::span<char* const> args, std::string& path, std::string& outDir) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string a = args[i];
        if (a == "--out" && i + 1 < args.size()) outDir = args[++i];
        else if (path.empty() && a != "--out") path = a;
        else return false;
    }
    return !path.empty();
}

int OpenSingleFile(CRecordingManager& manager, const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return manager.OpenSource(".", path);
    return manager.OpenSource(path.substr(0, slash), path.substr(slash + 1));
}

}  // namespace trivane::inspect
