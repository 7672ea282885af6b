#pragma once

#include <string>
#include <vector>

#include "library/GForceEvents.h"
#include "library/TelemetryTrack.h"

namespace trivane {

// Script calls of the map page, formatted with six decimals and a point whatever the locale.
// Arguments are decimal degrees, latitude first.
std::string PathPlotScript(double latitude, double longitude);         // "path_plot(%f,%f)"
std::string DrivenPathPlotScript(double latitude, double longitude);   // "pathdrived_plot(%f,%f)"
std::string MoveScript(double latitude, double longitude);             // "movpos(%f, %f)"
// A G-force event's place on the route, drawn as a small circle.
std::string EventPlotScript(double latitude, double longitude);        // "event_plot(%f,%f)"

// The map host's MovePosition text: arguments are stored NMEA values divided by 100.
std::string MovePositionScript(double latitudeNmea100, double longitudeNmea100);

inline constexpr const char* kPathDeleteScript = "path_delete()";
inline constexpr const char* kDrivenPathDeleteScript = "pathdrived_delete()";
inline constexpr const char* kEventDeleteScript = "event_delete()";

// The page's event marks for a loaded track: event_delete(), then one event_plot per event at the
// fix shown at its time, or the last valid fix before it; an event with neither has no mark.
std::vector<std::string> EventMarkScripts(const TelemetryTrack& track, const std::vector<GForceEvent>& events);

// The speeds of the route's points in km/h, in the order PlotRoute plots them (valid, mappable
// fixes): "route_speeds([s0,s1,...])".
std::string RouteSpeedsScript(const TelemetryTrack& track);
// The route coloured by speed, with a legend, or in its plain colours: "route_colouring(1)" / "(0)".
std::string RouteColouringScript(bool bySpeed);

// "%f" without the C locale: six decimals, '.' as separator.
std::string FormatFixed6(double value);

}  // namespace trivane
