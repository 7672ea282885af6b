#pragma once

#include <span>
#include <string>
#include <vector>

#include "export/ClipOverlay.h"
#include "telemetry/GpsFix.h"

namespace trivane {

// The fixes that lie inside a clip's segments, in clip order, each with its UTC time (NaN when
// unknown): the GPX file beside the clip.
struct ClipFixes {
    std::vector<GpsFix> fixes;
    std::vector<double> times;
};

ClipFixes CollectClipFixes(std::span<const OverlaySource> sources);

// The GPX document of a clip; `name` names its track.
std::string ClipGpxDocument(const std::string& name, const ClipFixes& fixes);

}  // namespace trivane
