#include "writer/TelemetryRecords.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

namespace trivane::writer {

static_assert(std::endian::native == std::endian::little, "records are stored little-endian as laid out in memory");

Bytes EncodeFixes(std::span<const GpsFix> fixes) {
    Bytes out(fixes.size() * sizeof(GpsFix));
    if (!fixes.empty()) std::memcpy(out.data(), fixes.data(), out.size());
    return out;
}

Bytes EncodeSamples(std::span<const GSensorSample> samples) {
    Bytes out(samples.size() * sizeof(GSensorSample));
    if (!samples.empty()) std::memcpy(out.data(), samples.data(), out.size());
    return out;
}

Bytes RateWord(std::uint8_t byte0, std::uint8_t byte1, std::uint8_t byte2, std::uint8_t byte3) {
    return {byte0, byte1, byte2, byte3};
}

Bytes IditText(int year, int month, int day, int hour, int minute, int second) {
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                                minute, second);
    return Bytes(text, text + (n > 0 ? std::min<std::size_t>(static_cast<std::size_t>(n), sizeof text - 1) : 0));
}

std::vector<PrivateRecord> TelemetryRecords(const Telemetry& telemetry) {
    std::vector<PrivateRecord> records;
    records.push_back({"gpsa", RateWord(telemetry.fixesPerSecond)});
    records.push_back({"gsea", RateWord(telemetry.gsensorRateCode, telemetry.gsensorRange)});
    if (!telemetry.fixes.empty()) records.push_back({"gps0", EncodeFixes(telemetry.fixes)});
    if (!telemetry.samples.empty()) records.push_back({"gsen", EncodeSamples(telemetry.samples)});
    if (telemetry.idit) records.push_back({"IDIT", Bytes(telemetry.idit->begin(), telemetry.idit->end())});
    return records;
}

GpsFix MakeFix(double latitudeNmea, double longitudeNmea, std::uint16_t speedKmh, int year, int month, int day,
               int hour, int minute, int second, bool valid) {
    GpsFix fix;
    fix.latitudeNmea = latitudeNmea;
    fix.longitudeNmea = longitudeNmea;
    fix.speedKmh = speedKmh;
    fix.yearSince2000 = static_cast<std::uint8_t>(year >= 2000 ? year - 2000 : 0);
    fix.month = static_cast<std::uint8_t>(month);
    fix.day = static_cast<std::uint8_t>(day);
    fix.hour = static_cast<std::uint8_t>(hour);
    fix.minute = static_cast<std::uint8_t>(minute);
    fix.second = static_cast<std::uint8_t>(second);
    fix.fixFlags = valid ? FIX_VALID : 0;
    return fix;
}

}  // namespace trivane::writer
