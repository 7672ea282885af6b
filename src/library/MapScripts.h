#pragma once

#include <string>

namespace trivane {

// Script calls of the map page, formatted with six decimals and a point whatever the locale.
// Arguments are decimal degrees, latitude first.
std::string PathPlotScript(double latitude, double longitude);         // "path_plot(%f,%f)"
std::string DrivenPathPlotScript(double latitude, double longitude);   // "pathdrived_plot(%f,%f)"
std::string MoveScript(double latitude, double longitude);             // "movpos(%f, %f)"

// The map host's MovePosition text: arguments are stored NMEA values divided by 100.
std::string MovePositionScript(double latitudeNmea100, double longitudeNmea100);

inline constexpr const char* kPathDeleteScript = "path_delete()";
inline constexpr const char* kDrivenPathDeleteScript = "pathdrived_delete()";

// "%f" without the C locale: six decimals, '.' as separator.
std::string FormatFixed6(double value);

}  // namespace trivane
