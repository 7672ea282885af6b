#include <cstring>
#include <vector>

#include "ParserTestSupport.h"
#include "writer/TelemetryRecords.h"

namespace trivane {
namespace {

using namespace trivane::writer;
using testing::Local;
using testing::ParseAvi;
using testing::ParseAviBlob;
using testing::TempDir;

GpsFix Undated() { return MakeFix(3541.0, 13946.0, 30, 0, 0, 0, 0, 0, 0, true); }

std::vector<GpsFix> FixesDatedAt(std::size_t index, std::size_t count, int second) {
    std::vector<GpsFix> fixes(count, Undated());
    fixes[index] = MakeFix(3541.0, 13946.0, 30, 2020, 6, 1, 10, 0, second, false);  // validity plays no part
    return fixes;
}

// hdrl + a small movi; the private chunks follow in the order given.
RiffNode SmallAvi(std::vector<RiffNode> privateChunks, std::uint32_t microsPerFrame = 40000,
                  std::uint32_t frames = 250) {
    std::vector<RiffNode> top{HeaderList(microsPerFrame, frames, 1920, 1080), MovieList(Bytes(64, 0xAB))};
    for (auto& c : privateChunks) top.push_back(std::move(c));
    return AviFile(std::move(top));
}

std::uint64_t RenderedSize(const RiffNode& node) { return node.Render().Size(); }

TEST(AviParser, ReadsCompleteRecording) {
    TempDir dir;
    AviRecording rec;
    rec.microsPerFrame = 33333;
    rec.totalFrames = 150000;
    rec.movieBytes = 1 << 20;
    rec.telemetry.fixes = FixesDatedAt(0, 4, 7);
    rec.telemetry.samples.assign(10, GSensorSample{1, 2, 3});
    rec.telemetry.fixesPerSecond = 10;
    rec.telemetry.gsensorRateCode = 50;
    rec.telemetry.gsensorRange = 4;
    const auto out = ParseAvi(dir, BuildAvi(rec));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.videoWidth, 1920);
    EXPECT_EQ(out.info.videoHeight, 1080);
    EXPECT_EQ(out.info.durationMs, 4999950u);  // 33333 us * 150000 frames
    EXPECT_EQ(out.info.durationSeconds, 4999);
    EXPECT_EQ(out.info.gpsSize, 4u * 32u);
    EXPECT_EQ(out.info.gsensorSize, 30u);
    EXPECT_EQ(out.info.gpsRateWord[0], 10);
    EXPECT_EQ(out.info.gsensorRateWord[0], 50);
    EXPECT_EQ(out.info.gsensorRateWord[1], 4);
    EXPECT_EQ(out.info.startTime, Local(2020, 6, 1, 10, 0, 7));
    EXPECT_EQ(out.info.fileSize, BuildAvi(rec).Render().Size());
}

TEST(AviParser, StreamOffsetsPointAtPayloads) {
    TempDir dir;
    const RiffNode headers = HeaderList(40000, 250, 1920, 1080);
    const RiffNode movie = MovieList(Bytes(64, 0xAB));
    const Bytes fixes = EncodeFixes(FixesDatedAt(0, 2, 0));
    const Bytes samples = EncodeSamples(std::vector<GSensorSample>(5, GSensorSample{9, 8, 7}));
    const auto out = ParseAvi(dir, SmallAvi({Chunk("gps0", fixes), Chunk("gsen", samples)}));
    ASSERT_EQ(out.result, 0);
    const std::uint64_t gps = 12 + RenderedSize(headers) + RenderedSize(movie) + 8;
    EXPECT_EQ(out.info.gpsOffset, gps);
    EXPECT_EQ(out.info.gsensorOffset, gps + fixes.size() + 8);
}

TEST(AviParser, StartTimeComesFromFirstDatedFixCorrectedByRate) {
    TempDir dir;
    // Dated record 5 at 1 fix per second: 10:00:05 - 5 s.
    auto out = ParseAvi(dir, SmallAvi({Chunk("gps0", EncodeFixes(FixesDatedAt(5, 8, 5)))}));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.startTime, Local(2020, 6, 1, 10, 0, 0));

    // 10 fixes per second and record 25: 25 / 10 = 2 whole seconds.
    out = ParseAvi(dir, SmallAvi({Chunk("gpsa", RateWord(10)), Chunk("gps0", EncodeFixes(FixesDatedAt(25, 30, 5)))}));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.startTime, Local(2020, 6, 1, 10, 0, 3));

    // The rate chunk after the stream is not known yet when the fixes are scanned.
    out = ParseAvi(dir, SmallAvi({Chunk("gps0", EncodeFixes(FixesDatedAt(25, 30, 30))), Chunk("gpsa", RateWord(10))}));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.startTime, Local(2020, 6, 1, 10, 0, 5));
    EXPECT_EQ(out.info.gpsRateWord[0], 10);
}

TEST(AviParser, RecordsWithImpossibleDatesAreSkipped) {
    TempDir dir;
    std::vector<GpsFix> fixes(4, Undated());
    fixes[0] = MakeFix(1, 1, 1, 2020, 13, 1, 10, 0, 0, true);  // month 13
    fixes[1] = MakeFix(1, 1, 1, 2020, 6, 1, 24, 0, 0, true);   // hour 24
    fixes[2] = MakeFix(1, 1, 1, 2020, 6, 0, 10, 0, 0, true);   // day 0
    fixes[3] = MakeFix(1, 1, 1, 2021, 2, 3, 4, 5, 9, true);
    const auto out = ParseAvi(dir, SmallAvi({Chunk("gps0", EncodeFixes(fixes))}));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.startTime, Local(2021, 2, 3, 4, 5, 6));
}

TEST(AviParser, IditAndGpsShareOneStartFlag) {
    TempDir dir;
    const Bytes gps = EncodeFixes(FixesDatedAt(0, 1, 0));  // 2020-06-01 10:00:00
    const Bytes idit = IditText(2019, 1, 2, 3, 4, 5);
    const Bytes badIdit = IditText(2021, 13, 1, 0, 0, 0);

    auto out = ParseAvi(dir, SmallAvi({Chunk("IDIT", idit), Chunk("gps0", gps)}));
    EXPECT_EQ(out.info.startTime, Local(2019, 1, 2, 3, 4, 5)) << "IDIT first wins";
    out = ParseAvi(dir, SmallAvi({Chunk("gps0", gps), Chunk("IDIT", idit)}));
    EXPECT_EQ(out.info.startTime, Local(2019, 1, 2, 3, 4, 5)) << "IDIT after gps0 overrides";
    out = ParseAvi(dir, SmallAvi({Chunk("gps0", gps), Chunk("IDIT", badIdit)}));
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.info.startTime, 0) << "unusable IDIT clears the start";
    out = ParseAvi(dir, SmallAvi({Chunk("IDIT", badIdit), Chunk("gps0", gps)}));
    EXPECT_EQ(out.info.startTime, Local(2020, 6, 1, 10, 0, 0)) << "a later gps0 finds one again";
}

TEST(AviParser, IditTextRules) {
    TempDir dir;
    auto idit = [&](const std::string& text) {
        return ParseAvi(dir, SmallAvi({Chunk("IDIT", Bytes(text.begin(), text.end()))}));
    };
    EXPECT_EQ(idit("1969-12-31 23:59:59").result, -1) << "before 1970 cannot be converted";
    EXPECT_EQ(idit("1950-01-01 00:00:00").result, -1);
    auto old = idit("1899-01-01 00:00:00");
    EXPECT_EQ(old.result, 0);
    EXPECT_EQ(old.info.startTime, 0);
    EXPECT_EQ(idit("2020-06-01 10:00:00 and some text that is never read").info.startTime, Local(2020, 6, 1, 10, 0, 0));
    EXPECT_EQ(idit("2020-06-01").info.startTime, Local(2020, 6, 1, 0, 0, 0)) << "missing fields read as 0";
    EXPECT_EQ(idit("2020/06/01 10:00:00").info.startTime, 0) << "month does not scan";
    // Only the first 63 bytes are scanned: a date beyond them is not seen.
    EXPECT_EQ(idit(std::string(63, ' ') + "2020-06-01 10:00:00").info.startTime, 0);
    EXPECT_EQ(idit(std::string(40, ' ') + "2020-06-01 10:00:00").info.startTime, Local(2020, 6, 1, 10, 0, 0));
}

TEST(AviParser, PartialGpsStreamResumesAfterLastWholeRecord) {
    TempDir dir;
    // 3 records and 4 spare bytes spelling "gpsa"; the walk resumes 96 bytes in and reads them as an id,
    // taking its size and payload from the bytes after the chunk.
    Bytes payload = EncodeFixes(std::vector<GpsFix>(3, Undated()));
    PutFourCC(payload, "gpsa");
    Bytes after;
    PutU32LE(after, 4);
    PutU8(after, 7);
    PutZeros(after, 3);
    const auto out = ParseAvi(dir, SmallAvi({Chunk("gps0", payload), Raw(after)}));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.gpsSize, 100u);
    EXPECT_EQ(out.info.gpsRateWord[0], 7);
}

TEST(AviParser, UnlistedIdsAreSteppedFourBytesAtATime) {
    TempDir dir;
    // An unlisted chunk of 4 bytes keeps the stride: the rate chunk after it is found.
    auto out = ParseAvi(dir, SmallAvi({Chunk("abcd", Bytes{1, 2, 3, 4}), Chunk("gpsa", RateWord(5))}));
    EXPECT_EQ(out.info.gpsRateWord[0], 5);
    // An odd-sized one shifts what follows off the stride, so the rate chunk is passed over.
    out = ParseAvi(dir, SmallAvi({Chunk("abcd", Bytes{1, 2, 3}), Chunk("gpsa", RateWord(5))}));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.gpsRateWord[0], 0);
}

TEST(AviParser, ListedChunksAreNotPadded) {
    TempDir dir;
    // JUNK of 3 bytes: the next id starts right after them, not at an even offset.
    const auto out = ParseAvi(dir, SmallAvi({Junk(3), Chunk("gpsa", RateWord(6))}));
    EXPECT_EQ(out.info.gpsRateWord[0], 6);
}

TEST(AviParser, FailsWithoutHeadersOrOnTruncatedMovie) {
    TempDir dir;
    Bytes riffOnly;
    PutFourCC(riffOnly, "RIFF");
    PutU32LE(riffOnly, 4);
    EXPECT_EQ(ParseAviBlob(dir, Blob(riffOnly)).result, -1);

    Bytes notRiff = riffOnly;
    notRiff[0] = 'X';
    EXPECT_EQ(ParseAviBlob(dir, Blob(notRiff)).result, -1);

    // Headers and telemetry present, but the movie list claims more than the file holds.
    const RiffNode cut = AviFile({HeaderList(40000, 250, 1920, 1080), Chunk("gps0", EncodeFixes(FixesDatedAt(0, 1, 0))),
                                  WithDeclaredSize(MovieList(Bytes(64, 1)), 1000)});
    EXPECT_EQ(ParseAvi(dir, cut).result, -1);

    EXPECT_EQ(ParseAvi(dir, SmallAvi({}, 40000, 0)).result, -1) << "no duration";
    EXPECT_EQ(ParseAvi(dir, AviFile({List("hdrl", {MainHeader(40000, 250)}), MovieList(Bytes(8))})).result, -1)
        << "no picture size";
}

TEST(AviParser, PictureSizeFromVideoStreamOnly) {
    TempDir dir;
    // An audio stream's format chunk is skipped whole; a video stream's gives the low 16 bits.
    auto out = ParseAvi(dir, AviFile({List("hdrl", {MainHeader(40000, 250), AudioStreamList(), VideoStreamList(1280, 720)}),
                                      MovieList(Bytes(8))}));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.videoWidth, 1280);
    EXPECT_EQ(out.info.videoHeight, 720);

    out = ParseAvi(dir, AviFile({List("hdrl", {MainHeader(40000, 250), VideoStreamList(0x11280, static_cast<std::uint32_t>(-720))}),
                                 MovieList(Bytes(8))}));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.videoWidth, 0x1280);
    EXPECT_EQ(out.info.videoHeight, 0xFD30);  // low 16 bits of -720
}

TEST(AviParser, FailureLeavesTargetUntouchedAndMissingFilesFail) {
    TempDir dir;
    const std::string path = dir.File("BAD00001.AVI");
    ASSERT_TRUE(Blob(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0}).WriteFile(path));
    ContainerInfo info{};
    info.fileSize = 12345;
    info.gpsRateWord[2] = 9;
    CQenAviParser parser;
    parser.SetInfo(&info);
    EXPECT_EQ(parser.Parse(path), -1);
    EXPECT_EQ(info.fileSize, 12345u);
    EXPECT_EQ(info.gpsRateWord[2], 9);

    EXPECT_EQ(parser.Parse(dir.File("MISSING1.AVI")), -1);
    EXPECT_EQ(testing::ParseWith<CQenAviParser>(dir.File("")).result, -1) << "a folder is not a recording";

    CQenAviParser noTarget;
    AviRecording rec;
    ASSERT_TRUE(BuildAvi(rec).Render().WriteFile(path));
    EXPECT_EQ(noTarget.Parse(path), 0);
}

TEST(ParserChoice, ExactUpperCaseAviEndingSelectsAviParser) {
    TempDir dir;
    AviRecording rec;
    const Blob avi = BuildAvi(rec).Render();
    for (const char* name : {"ABCD1234.AVI", "ABCD1234.avi", "ABCD1234.AVI.MOV"}) {
        const std::string path = dir.File(name);
        ASSERT_TRUE(avi.WriteFile(path));
        ContainerInfo info{};
        auto parser = CreateParserForName(name);
        parser->SetInfo(&info);
        EXPECT_EQ(parser->Parse(path), std::string_view(name).ends_with(".AVI") ? 0 : -1) << name;
    }
}

}  // namespace
}  // namespace trivane
