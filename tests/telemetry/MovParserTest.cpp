#include <vector>

#include "ParserTestSupport.h"
#include "writer/TelemetryRecords.h"

namespace trivane {
namespace {

using namespace trivane::writer;
using testing::Local;
using testing::ParseMov;
using testing::TempDir;

Box VideoTrak(std::uint32_t timescale = 90000, std::uint32_t duration = 5400000) {
    return Trak(timescale, duration, VisualSampleEntry("avc1", 1280, 720));
}

Bytes DatedFixes() {
    std::vector<GpsFix> fixes(3, MakeFix(3541.0, 13946.0, 30, 0, 0, 0, 0, 0, 0, true));
    fixes[2] = MakeFix(3541.0, 13946.0, 30, 2020, 6, 1, 10, 0, 5, true);
    return EncodeFixes(fixes);
}

TEST(MovParser, DurationAndPictureSizeFromFirstTrak) {
    TempDir dir;
    const auto out = ParseMov(dir, {Ftyp(), Mdat(Bytes(32, 1)), Moov({VideoTrak()})});
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.durationMs, 60000u);  // 5400000 / 90000 s
    EXPECT_EQ(out.info.videoWidth, 1280);
    EXPECT_EQ(out.info.videoHeight, 720);
    EXPECT_EQ(out.info.durationSeconds, 0);
    EXPECT_EQ(out.info.startTime, 0);
}

TEST(MovParser, DurationQuotientIsCutTo32Bits) {
    TempDir dir;
    const auto out = ParseMov(dir, {Ftyp(), Moov({VideoTrak(600, 4294967295u)})});
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.durationMs, 2863311529u);  // 7158278825 mod 2^32
}

TEST(MovParser, TopLevelTelemetryAfterMoov) {
    TempDir dir;
    const Box ftyp = Ftyp();
    const Box mdat = Mdat(Bytes(100, 2));
    const Box moov = Moov({VideoTrak()});
    const Bytes fixes = DatedFixes();
    const Bytes samples = EncodeSamples(std::vector<GSensorSample>(7, GSensorSample{1, -1, 64}));
    const auto out = ParseMov(dir, {ftyp, mdat, moov, MakeBox("gps0", fixes), MakeBox("gsen", samples),
                                    MakeBox("gpsa", RateWord(10)), MakeBox("gsea", RateWord(100, 2))});
    ASSERT_EQ(out.result, 0);
    const std::uint64_t gpsBox = ftyp.Render().Size() + mdat.Render().Size() + moov.Render().Size();
    EXPECT_EQ(out.info.gpsOffset, gpsBox + 8);
    EXPECT_EQ(out.info.gpsSize, 96u);
    EXPECT_EQ(out.info.gsensorOffset, gpsBox + 8 + 96 + 8);
    EXPECT_EQ(out.info.gsensorSize, 21u);
    EXPECT_EQ(out.info.gpsRateWord[0], 10);
    EXPECT_EQ(out.info.gsensorRateWord[1], 2);
    // The rate box comes after the fixes: the correction divides by 1, so 10:00:05 - 2 s.
    EXPECT_EQ(out.info.startTime, Local(2020, 6, 1, 10, 0, 3));
}

TEST(MovParser, PrivateBoxesDirectlyInsideMoovOnly) {
    TempDir dir;
    auto out = ParseMov(dir, {Ftyp(), Moov({VideoTrak(), MakeBox("gps0", DatedFixes())})});
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.gpsSize, 96u);

    out = ParseMov(dir, {Ftyp(), Moov({VideoTrak(), Udta({MakeBox("gps0", DatedFixes())})})});
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.gpsSize, 0u);
    EXPECT_EQ(out.info.gpsOffset, 0u);
}

TEST(MovParser, IditBoxGivesStart) {
    TempDir dir;
    const auto out = ParseMov(dir, {Ftyp(), Moov({VideoTrak()}), MakeBox("IDIT", IditText(2022, 12, 24, 18, 30, 0))});
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.startTime, Local(2022, 12, 24, 18, 30, 0));
}

TEST(MovParser, FailsWithoutUsableHeaders) {
    TempDir dir;
    EXPECT_EQ(ParseMov(dir, {Moov({VideoTrak()})}).result, -1) << "first box must be ftyp";
    EXPECT_EQ(ParseMov(dir, {Ftyp(), Mdat(Bytes(8))}).result, -1) << "no moov";
    EXPECT_EQ(ParseMov(dir, {Ftyp(), Moov({Trak(90000, 90000, VisualSampleEntry("hvc1", 1920, 1080))})}).result, -1)
        << "only an avc1 description gives a picture size";
    EXPECT_EQ(ParseMov(dir, {Ftyp(), Moov({VideoTrak(0, 90000)})}).result, -1) << "timescale 0";
    EXPECT_EQ(ParseMov(dir, {Ftyp(), Moov({Trak(90000, 90000, Stsd({VisualSampleEntry("avc1", 1920, 1080)}, 0))})})
                  .result,
              -1)
        << "entry count 0";
    // Only the first trak counts: an audio trak first hides the video one.
    EXPECT_EQ(ParseMov(dir, {Ftyp(), Moov({Trak(48000, 48000, AudioSampleEntry(), "soun"), VideoTrak()})}).result, -1);
}

TEST(MovParser, ShortPayloadsGiveNoValue) {
    TempDir dir;
    const Box shortMdhd = Container("trak", {Container("mdia", {MakeBox("mdhd", Bytes(19, 0))})});
    EXPECT_EQ(ParseMov(dir, {Ftyp(), Moov({shortMdhd})}).result, -1);
    Box shortEntry = MakeBox("avc1", Bytes(27, 0));
    EXPECT_EQ(ParseMov(dir, {Ftyp(), Moov({Trak(90000, 90000, shortEntry)})}).result, -1);
}

TEST(MovParser, BoxSizeBelowEightEndsWalkKeepingWhatWasFound) {
    TempDir dir;
    auto out = ParseMov(dir, {Ftyp(), Moov({VideoTrak()}), WithDeclaredSize(MakeBox("free", Bytes(8)), 4),
                              MakeBox("gps0", DatedFixes())});
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.gpsSize, 0u);

    // Inside moov a broken box ends the search: the trak after it is never reached.
    out = ParseMov(dir, {Ftyp(), Moov({WithDeclaredSize(MakeBox("free", Bytes(8)), 0), VideoTrak()})});
    EXPECT_EQ(out.result, -1);

    // 64-bit sized boxes (size 1) are not followed.
    out = ParseMov(dir, {Ftyp(), WithDeclaredSize(MakeBox("mdat", Bytes(16)), 1), Moov({VideoTrak()})});
    EXPECT_EQ(out.result, -1);

    EXPECT_EQ(ParseMov(dir, {WithDeclaredSize(Ftyp(), 7), Moov({VideoTrak()})}).result, -1);
}

}  // namespace
}  // namespace trivane
