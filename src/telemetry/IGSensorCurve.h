#pragma once

#include <cstdint>

#include "telemetry/GSensorSample.h"

namespace trivane {

// What the telemetry loader and the sync need of the G-sensor curve.
class IGSensorCurve {
public:
    virtual ~IGSensorCurve() = default;
    virtual void ResetSamples() = 0;
    virtual void SetGRange(int rangeFactor) = 0;  // 0 means 8
    virtual void AppendSample(const GSensorSample& sample) = 0;
    virtual void SetSampleRate(double samplesPerMs) = 0;
    virtual void SetCursorTracking(bool tracking) = 0;
    virtual void SetStopped(bool stopped) = 0;
    virtual void SetPosition(std::uint32_t ms) = 0;
};

}  // namespace trivane
