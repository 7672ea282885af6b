#include <clocale>
#include <cmath>
#include <string>
#include <variant>

#include <gtest/gtest.h>

#include "telemetry/NmeaToDegrees.h"
#include "telemetry/SentenceDecoder.h"

namespace trivane {
namespace {

GpsFix FixOf(const std::string& line) {
    const auto decoded = DecodeSentence(line);
    EXPECT_TRUE(std::holds_alternative<GpsFix>(decoded)) << line;
    return std::holds_alternative<GpsFix>(decoded) ? std::get<GpsFix>(decoded) : GpsFix{};
}

GSensorSample SampleOf(const std::string& line) {
    const auto decoded = DecodeSentence(line);
    EXPECT_TRUE(std::holds_alternative<GSensorSample>(decoded)) << line;
    return std::holds_alternative<GSensorSample>(decoded) ? std::get<GSensorSample>(decoded) : GSensorSample{};
}

bool Ignored(const std::string& line) { return std::holds_alternative<std::monostate>(DecodeSentence(line)); }

bool AllZero(const GpsFix& fix) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&fix);
    for (std::size_t i = 0; i < sizeof fix; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

TEST(FieldSplitting, DropsEmptyFieldsAndStopsAtBlankOne) {
    const auto f = SplitSentenceFields(",,$X,a,, b ,c,");
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0], "$X");
    EXPECT_EQ(f[2], "b");
    EXPECT_EQ(f[3], "c");

    const auto stopped = SplitSentenceFields("$X,a,  ,b");
    ASSERT_EQ(stopped.size(), 2u);
    EXPECT_EQ(stopped[1], "a");

    EXPECT_TRUE(SplitSentenceFields("").empty());
    EXPECT_TRUE(SplitSentenceFields(",,,").empty());
}

TEST(Gprmc, DecodesValidSentence) {
    const GpsFix fix = FixOf("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A");
    EXPECT_DOUBLE_EQ(fix.latitudeNmea, 4807.038);
    EXPECT_DOUBLE_EQ(fix.longitudeNmea, 1131.0);
    EXPECT_EQ(fix.speedKmh, 41);  // 22.4 kn * 1.852 = 41.48
    EXPECT_TRUE(fix.IsValid());
    EXPECT_EQ(fix.yearSince2000, 0);  // the sentence's date is not decoded
    EXPECT_EQ(fix.altitude, 0);
}

TEST(Gprmc, VoidStatusGivesAllZeroFixWhereverItStands) {
    EXPECT_TRUE(AllZero(FixOf("$GPRMC,123519,V,,,,,,,230394,,,N")));
    EXPECT_TRUE(AllZero(FixOf("$GPRMC,,V,,,,,,,,,,N")));  // empty time: V moves to position 1
    EXPECT_TRUE(AllZero(FixOf("$GPRMC,V,x")));            // three fields are enough for V
}

TEST(Gprmc, EmptyTimeShiftsFields) {
    const GpsFix fix = FixOf("$GPRMC,,A,4807.038,N,01131.000,E,022.4,084.4,230394");
    EXPECT_FALSE(fix.IsValid());       // field 2 is now the latitude text
    EXPECT_EQ(fix.latitudeNmea, 0.0);  // "N"
    EXPECT_EQ(fix.longitudeNmea, 0.0); // "E"
    EXPECT_EQ(fix.speedKmh, 156);      // the course 84.4 read as knots
}

TEST(Gprmc, StatusOtherThanAClearsValidity) {
    EXPECT_FALSE(FixOf("$GPRMC,1,a,4807.038,N,01131.000,E,022.4").IsValid());
    EXPECT_TRUE(FixOf("$GPRMC,1,A,4807.038,N,01131.000,E,022.4").IsValid());
}

TEST(Gprmc, MalformedAndForeignLinesAreIgnored) {
    EXPECT_TRUE(Ignored("$GPRMC,1"));                            // fewer than 3 fields
    EXPECT_TRUE(Ignored("$GPRMC,1,A,4807.038,N,01131.000,E"));   // 7 fields, status not V
    EXPECT_TRUE(Ignored("$GNRMC,123519,A,4807.038,N,01131.000,E,022.4"));
    EXPECT_TRUE(Ignored("$gprmc,123519,A,4807.038,N,01131.000,E,022.4"));
    EXPECT_TRUE(Ignored(" $GPRMC,123519,A,4807.038,N,01131.000,E,022.4"));  // name compared untrimmed
    EXPECT_TRUE(Ignored("$GPRMC ,123519,A,4807.038,N,01131.000,E,022.4"));
    EXPECT_TRUE(Ignored(""));
    EXPECT_TRUE(Ignored(std::string("\0\0,\0", 4)));
}

TEST(Gprmc, HugeOrNonNumericSpeedsStayDefined) {
    EXPECT_EQ(FixOf("$GPRMC,1,A,1,N,1,E,1e400").speedKmh, 0);
    EXPECT_EQ(FixOf("$GPRMC,1,A,1,N,1,E,nan").speedKmh, 0);
    EXPECT_EQ(FixOf("$GPRMC,1,A,1,N,1,E,1e30").speedKmh, 0);
    // 40000 kn = 74080 km/h, kept in 16 bits: 74080 - 65536
    EXPECT_EQ(FixOf("$GPRMC,1,A,1,N,1,E,40000").speedKmh, 8544);
    EXPECT_EQ(FixOf("$GPRMC,1,A,nan,N,inf,E,1").latitudeNmea, 0.0);
}

TEST(GSensor, ScalesBy512AndTruncates) {
    const GSensorSample s = SampleOf("$GSENSORD,0.1,-0.05,0.2");
    EXPECT_EQ(s.x, 51);   // 51.2
    EXPECT_EQ(s.y, -25);  // -25.6
    EXPECT_EQ(s.z, 102);  // 102.4
}

TEST(GSensor, SaturatesInsteadOfWrapping) {
    // 0.98 * 512 = 501: wrapping would give -11 (about -0.02 G), the opposite sign.
    const GSensorSample s = SampleOf("$GSENSORD,0.98,-0.98,0.25");
    EXPECT_EQ(s.x, 127);
    EXPECT_EQ(s.y, -128);
    EXPECT_EQ(s.z, 127);  // 128 is just out of range
    const GSensorSample edge = SampleOf("$GSENSORD,-0.25,0.2480,1e400");
    EXPECT_EQ(edge.x, -128);
    EXPECT_EQ(edge.y, 126);  // 126.97
    EXPECT_EQ(edge.z, 0);    // not a finite number
}

TEST(GSensor, TooFewFieldsIsSkipped) {
    EXPECT_TRUE(Ignored("$GSENSORD,0.1"));
    EXPECT_TRUE(Ignored("$GSENSORD,0.1,0.2"));
    EXPECT_TRUE(Ignored("$GSENSORD,0.1,,0.2"));  // the empty field is dropped
}

TEST(Decimal, ReadsPrefixesAndRejectsNonNumbers) {
    EXPECT_DOUBLE_EQ(ReadDecimal("022.4"), 22.4);
    EXPECT_DOUBLE_EQ(ReadDecimal("+3.5"), 3.5);
    EXPECT_DOUBLE_EQ(ReadDecimal("-0.05"), -0.05);
    EXPECT_DOUBLE_EQ(ReadDecimal("12abc"), 12.0);
    EXPECT_DOUBLE_EQ(ReadDecimal("1e2"), 100.0);
    EXPECT_EQ(ReadDecimal("abc"), 0.0);
    EXPECT_EQ(ReadDecimal("--1"), 0.0);
    EXPECT_EQ(ReadDecimal("inf"), 0.0);
    EXPECT_EQ(ReadDecimal(""), 0.0);
}

TEST(Decimal, IgnoresTheProcessLocale) {
    const char* applied = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (applied == nullptr) GTEST_SKIP() << "de_DE.UTF-8 locale not installed";
    EXPECT_DOUBLE_EQ(ReadDecimal("4807.038"), 4807.038);
    EXPECT_DOUBLE_EQ(FixOf("$GPRMC,1,A,4807.038,N,01131.000,E,022.4").latitudeNmea, 4807.038);
    std::setlocale(LC_ALL, "C");
}

TEST(Coordinates, NmeaToDegrees) {
    EXPECT_NEAR(NmeaToDegrees(48.07038), 48.1173, 1e-9);
    EXPECT_NEAR(NmeaToDegrees(22.3381), 22.5635, 1e-9);
    EXPECT_NEAR(NmeaToDegrees(113.5734), 113.955666667, 1e-8);
    EXPECT_EQ(NmeaToDegrees(0.0), 0.0);
}

}  // namespace
}  // namespace trivane
