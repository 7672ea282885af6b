#include "export/ClipSpan.h"

#include <algorithm>

namespace trivane {

ClipSpan PlanClipSpan(std::span<const std::int64_t> lengthsMs, std::int64_t fromMs, std::int64_t toMs) {
    ClipSpan span;
    for (const std::int64_t length : lengthsMs) span.recordingsMs += std::max<std::int64_t>(length, 0);
    span.fromMs = std::max<std::int64_t>(fromMs, 0);
    span.toMs = std::min(toMs, span.recordingsMs);
    span.endedEarly = toMs > span.recordingsMs;
    if (fromMs < 0 || span.LengthMs() < kMinClipMs) {
        span.toMs = span.fromMs;
        return span;
    }
    std::int64_t start = 0;
    for (std::size_t i = 0; i < lengthsMs.size() && start < span.toMs; ++i) {
        const std::int64_t length = std::max<std::int64_t>(lengthsMs[i], 0);
        const std::int64_t begin = std::max(span.fromMs, start);
        const std::int64_t end = std::min(span.toMs, start + length);
        if (end > begin) span.segments.push_back({i, begin - start, end - begin, begin - span.fromMs});
        start += length;
    }
    return span;
}

}  // namespace trivane
