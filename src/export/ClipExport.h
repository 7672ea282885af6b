#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "export/ClipRequest.h"

namespace trivane {

class CRecordingManager;

using ClipProgressFn = std::function<void(const ClipProgress&)>;

// Exports a clip on the calling thread and returns when it is written, has failed or was
// canceled; meant for a worker thread. It reads only the request and the files it names, so the
// catalogue may change meanwhile. `progress` is called on the calling thread about twice a
// second while ffmpeg encodes, and once with fraction 1 before a success returns. `cancel` may be
// set from any thread: the running ffmpeg or ffprobe is killed and reaped within about 50 ms.
// The clip is written under a hidden temporary name beside it and renamed into place, GPX file
// first, only when complete; after a failure or a cancel neither name holds a new file and no
// temporary file is left.
ClipResult RunClipExport(const ClipRequest& request, const ClipProgressFn& progress, const std::atomic<bool>& cancel);

// The recordings a clip starting in catalogue entry `index` may run into, for
// ClipRequest::recordings: that entry and those after it in its group. Empty for an index outside
// the catalogue.
std::vector<std::string> ClipRecordingsFrom(const CRecordingManager& manager, int index);

// The GPX file beside a clip: its path with the extension replaced by ".gpx" (or ".gpx" added).
std::string ClipGpxPath(const std::string& clipPath);

}  // namespace trivane
