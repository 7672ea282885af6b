#include "export/GpxWriter.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "files/AtomicFile.h"
#include "export/XmlText.h"
#include "library/MapScripts.h"
#include "library/TelemetryTrack.h"
#include "telemetry/LocalTime.h"
#include "telemetry/NmeaToDegrees.h"

namespace trivane {

std::optional<double> GpxFixTime(const GpsFix& fix, std::size_t index, double fixRate, std::int64_t startTime) {
    if (fix.yearSince2000 != 0) {
        const auto seconds = LocalToUnix(2000 + fix.yearSince2000, fix.month, fix.day, fix.hour, fix.minute, fix.second);
        if (seconds) return static_cast<double>(*seconds);
    }
    if (startTime == 0) return std::nullopt;
    const double rate = fixRate > 0 ? fixRate : 1.0;
    return static_cast<double>(startTime) + static_cast<double>(index) / rate;
}

namespace {

// ISO 8601 in UTC, with milliseconds only when the time is not whole.
std::optional<std::string> IsoUtc(double seconds) {
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e15) return std::nullopt;
    const double whole = std::floor(seconds);
    auto millis = static_cast<int>(std::lround((seconds - whole) * 1000));
    auto t = static_cast<std::time_t>(whole);
    if (millis == 1000) {
        ++t;
        millis = 0;
    }
    std::tm utc{};
    if (::gmtime_r(&t, &utc) == nullptr || utc.tm_year + 1900 < 0 || utc.tm_year + 1900 > 9999) return std::nullopt;
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S", &utc);
    std::string text = buffer;
    if (millis != 0) {
        std::snprintf(buffer, sizeof buffer, ".%03d", millis);
        text += buffer;
    }
    return text + "Z";
}

}  // namespace

std::string GpxDocument(const GpxTrack& track) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"Trivane\" xmlns=\"http://www.topografix.com/GPX/1/1\""
        " xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\">\n"
        "  <trk>\n"
        "    <name>";
    out += EscapeXmlText(track.name);
    out += "</name>\n    <trkseg>\n";
    if (track.fixes != nullptr) {
        const std::vector<GpsFix>& fixes = *track.fixes;
        for (std::size_t i = 0; i < fixes.size(); ++i) {
            const GpsFix& fix = fixes[i];
            if (!fix.IsValid() || !IsMappable(fix)) continue;
            out += "      <trkpt lat=\"" + FormatFixed6(NmeaToDegrees(fix.latitudeNmea / 100)) + "\" lon=\"" +
                   FormatFixed6(NmeaToDegrees(fix.longitudeNmea / 100)) + "\">\n";
            out += "        <ele>" + std::to_string(fix.altitude) + "</ele>\n";
            std::optional<double> seconds;
            if (track.times == nullptr) seconds = GpxFixTime(fix, i, track.fixRate, track.startTime);
            else if (i < track.times->size() && std::isfinite((*track.times)[i])) seconds = (*track.times)[i];
            if (seconds) {
                if (const auto time = IsoUtc(*seconds)) out += "        <time>" + *time + "</time>\n";
            }
            out += "        <extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>" +
                   FormatFixed6(fix.speedKmh / 3.6) +
                   "</gpxtpx:speed></gpxtpx:TrackPointExtension></extensions>\n";
            out += "      </trkpt>\n";
        }
    }
    out += "    </trkseg>\n  </trk>\n</gpx>\n";
    return out;
}

bool WriteGpxFile(const std::string& path, const GpxTrack& track) {
    AtomicFile file;
    if (!file.Open(path)) return false;
    if (!file.Write(GpxDocument(track))) return false;
    return file.Commit();
}

}  // namespace trivane
