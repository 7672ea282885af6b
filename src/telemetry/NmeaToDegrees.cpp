#include "telemetry/NmeaToDegrees.h"

#include <cmath>

namespace trivane {

double NmeaToDegrees(double x) {
    const double degrees = std::trunc(x);
    return degrees + (x - degrees) * 100.0 / 60.0;
}

}  // namespace trivane
