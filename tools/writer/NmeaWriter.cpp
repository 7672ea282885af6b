#include "writer/NmeaWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace trivane::writer {

namespace {

// Locale-independent fixed-point text.
std::string Fixed(double value, int decimals, int minIntegerDigits = 1) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    const std::size_t sign = (!text.empty() && text[0] == '-') ? 1 : 0;
    const std::size_t dot = text.find('.');
    const std::size_t integerDigits = (dot == std::string::npos ? text.size() : dot) - sign;
    if (integerDigits < static_cast<std::size_t>(minIntegerDigits))
        text.insert(sign, static_cast<std::size_t>(minIntegerDigits) - integerDigits, '0');
    return text;
}

std::string WithChecksum(const std::string& body) {
    unsigned checksum = 0;
    for (std::size_t i = 1; i < body.size(); ++i) checksum ^= static_cast<unsigned char>(body[i]);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", checksum & 0xFFu);
    return body + tail;
}

}  // namespace

std::string GprmcLine(const GpsFix& fix) {
    char time[16] = "";
    char date[16] = "";
    if (fix.yearSince2000 != 0) {
        std::snprintf(time, sizeof time, "%02u%02u%02u.00", unsigned{fix.hour}, unsigned{fix.minute},
                      unsigned{fix.second});
        std::snprintf(date, sizeof date, "%02u%02u%02u", unsigned{fix.day}, unsigned{fix.month},
                      unsigned{fix.yearSince2000} % 100);
    }
    std::string body = "$GPRMC," + std::string(time) + ",";
    if (fix.IsValid()) {
        const double knots = (fix.speedKmh + 0.5) / 1.852;
        body += "A," + Fixed(fix.latitudeNmea, 4, 4) + ",N," + Fixed(fix.longitudeNmea, 4, 5) + ",E," +
                Fixed(knots, 3, 3) + ",0.0," + date + ",,,A";
    } else {
        body += "V,,,,,,," + std::string(date) + ",,,N";
    }
    return WithChecksum(body);
}

std::string GsensordLine(double x, double y, double z) {
    return "$GSENSORD," + Fixed(x, 3) + "," + Fixed(y, 3) + "," + Fixed(z, 3);
}

std::string NmeaText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace trivane::writer
