#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "telemetry/GSensorSample.h"
#include "telemetry/GpsFix.h"
#include "writer/ByteOrder.h"

namespace trivane::writer {

// One private record ("gps0", "gsen", "gpsa", "gsea", "IDIT" or any other id): the same payload
// becomes an AVI chunk or a MOV box.
struct PrivateRecord {
    std::string id;
    Bytes payload;
};

Bytes EncodeFixes(std::span<const GpsFix> fixes);
Bytes EncodeSamples(std::span<const GSensorSample> samples);
Bytes RateWord(std::uint8_t byte0, std::uint8_t byte1 = 0, std::uint8_t byte2 = 0, std::uint8_t byte3 = 0);
// "%04d-%02d-%02d %02d:%02d:%02d", no terminator.
Bytes IditText(int year, int month, int day, int hour, int minute, int second);

// A recording's telemetry as a camera stores it.
struct Telemetry {
    std::vector<GpsFix> fixes;
    std::vector<GSensorSample> samples;
    std::uint8_t fixesPerSecond = 1;
    std::uint8_t gsensorRateCode = 0;  // / 500 = samples per ms
    std::uint8_t gsensorRange = 0;     // G range factor; 0 means 8
    std::optional<std::string> idit;   // IDIT text, when the camera writes one
};

// Records in the camera's order: rate words first, so a reader's start-time correction uses
// the real fix rate, then "gps0", "gsen" and "IDIT". Empty streams are left out.
std::vector<PrivateRecord> TelemetryRecords(const Telemetry& telemetry);

// A fix in the stored layout from plain values; the date is local time.
GpsFix MakeFix(double latitudeNmea, double longitudeNmea, std::uint16_t speedKmh, int year, int month, int day,
               int hour, int minute, int second, bool valid);

}  // namespace trivane::writer
