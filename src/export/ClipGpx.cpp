#include "export/ClipGpx.h"

#include <cmath>
#include <limits>

#include "export/GpxWriter.h"

namespace trivane {

ClipFixes CollectClipFixes(std::span<const OverlaySource> sources) {
    ClipFixes out;
    for (const OverlaySource& source : sources) {
        if (source.track == nullptr) continue;
        const TelemetryTrack& track = *source.track;
        const double rate = track.EffectiveFixRate();
        // Fix i lies at i / rate seconds: those from the segment's start up to its end.
        const double first = std::ceil(static_cast<double>(source.segment.inMs) * rate / 1000);
        const double last =
            std::ceil(static_cast<double>(source.segment.inMs + source.segment.lengthMs) * rate / 1000);
        const double count = static_cast<double>(track.fixStore.size());
        if (!(first >= 0) || !(last >= first)) continue;
        for (double i = first; i < last && i < count; ++i) {
            const auto index = static_cast<std::size_t>(i);
            const GpsFix& fix = track.fixStore[index];
            out.fixes.push_back(fix);
            out.times.push_back(GpxFixTime(fix, index, rate, source.startTime)
                                    .value_or(std::numeric_limits<double>::quiet_NaN()));
        }
    }
    return out;
}

std::string ClipGpxDocument(const std::string& name, const ClipFixes& fixes) {
    GpxTrack track;
    track.name = name;
    track.fixes = &fixes.fixes;
    track.times = &fixes.times;
    return GpxDocument(track);
}

}  // namespace trivane
