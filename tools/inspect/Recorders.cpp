#include "Recorders.h"

#include "library/MapScripts.h"

namespace trivane::inspect {

void RecordingMapHost::MovePosition(double latitude, double longitude) {
    RunScript(MovePositionScript(latitude, longitude));
}

int OpenSingleFile(CRecordingManager& manager, const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return manager.OpenSource(".", path);
    return manager.OpenSource(path.substr(0, slash), path.substr(slash + 1));
}

}  // namespace trivane::inspect
