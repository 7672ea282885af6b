#pragma once

#include <span>
#include <string>

#include "library/CRecordingManager.h"
#include "recorders/Recorders.h"

namespace trivane::inspect {

using recorders::RecordingCurve;
using recorders::RecordingMapHost;
using recorders::RecordingOwner;

// "PATH [--out DIR]" in either order; false when PATH is missing or anything else is given.
bool ParsePathAndOut(std::span<char* const> args, std::string& path, std::string& outDir);

// Opens PATH as a single-file catalogue (folder before the last '/', name after it).
int OpenSingleFile(CRecordingManager& manager, const std::string& path);

}  // namespace trivane::inspect
