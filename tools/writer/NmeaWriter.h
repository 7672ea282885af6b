#pragma once

#include <string>
#include <vector>

#include "telemetry/GpsFix.h"

namespace trivane::writer {

// "$GPRMC" sentence of a fix: time and date from the fix's date bytes, status A (valid) or V,
// ddmm.mmmm,N and dddmm.mmmm,E, speed in knots, and a real checksum. The knots are written for
// the middle of the fix's whole km/h (speed + 0.5), so a reader that multiplies by 1.852 and
// truncates gets the stored km/h back.
std::string GprmcLine(const GpsFix& fix);

// "$GSENSORD" sentence with three values in G, three decimals; the recorder adds no checksum.
std::string GsensordLine(double x, double y, double z);

// Side-file text: one line each, terminated by CR LF as the recorder writes them.
std::string NmeaText(const std::vector<std::string>& lines);

}  // namespace trivane::writer
