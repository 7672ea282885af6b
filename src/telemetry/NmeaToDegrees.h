#pragma once

namespace trivane {

// x is an NMEA value already divided by 100 (dd.mmmmmm); returns decimal degrees.
double NmeaToDegrees(double x);

}  // namespace trivane
