#include <cstring>
#include <vector>

#include "ParserTestSupport.h"
#include "telemetry/ByteSource.h"
#include "writer/TelemetryRecords.h"

namespace trivane {
namespace {

using namespace trivane::writer;
using testing::ParseAvi;
using testing::ParseMov;
using testing::TempDir;

Telemetry HourOfTelemetry() {
    Telemetry t;
    t.fixesPerSecond = 10;
    t.fixes.assign(36000, MakeFix(3541.0, 13946.0, 40, 2020, 6, 1, 10, 0, 0, true));
    t.samples.assign(360000, GSensorSample{1, 2, 3});
    t.gsensorRateCode = 50;
    return t;
}

// A parse reads the headers and the first records of the GPS stream, never the movie data.
TEST(ParserCost, LargeSparseRecordingsReadOnlyHeadersAndFirstFix) {
    TempDir dir;
    AviRecording avi;
    avi.movieBytes = 3'900'000'000ull;
    avi.telemetry = HourOfTelemetry();
    auto out = ParseAvi(dir, BuildAvi(avi));
    ASSERT_EQ(out.result, 0);
    EXPECT_GT(out.info.fileSize, 3'900'000'000ull);
    EXPECT_LT(out.stats.bytesRead, 16u * 1024u);
    EXPECT_LE(out.stats.readCalls, 6u);

    MovRecording mov;
    mov.movieBytes = 4'000'000'000ull;
    mov.telemetry = HourOfTelemetry();
    out = ParseMov(dir, BuildMov(mov));
    ASSERT_EQ(out.result, 0);
    EXPECT_LT(out.stats.bytesRead, 16u * 1024u);
    EXPECT_LE(out.stats.readCalls, 6u);
}

TEST(ParserCost, SteppingOverUnknownBytesIsBuffered) {
    TempDir dir;
    // 256 KiB of an unlisted chunk's payload is stepped through 4 bytes at a time.
    const auto out = ParseAvi(dir, AviFile({HeaderList(40000, 250, 640, 480), Raw(Bytes(256 * 1024, 'x')),
                                            MovieList(Bytes(8)), Chunk("gpsa", RateWord(3))}));
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.gpsRateWord[0], 3);
    EXPECT_LE(out.stats.readCalls, 256u / 4u + 4u);
}

TEST(ParserCost, HolesWithoutChunksAreSkippedNotRead) {
    TempDir dir;
    // Three gigabytes of zeros where ids are expected: a sparse file's hole is jumped over.
    Blob blob = AviFile({HeaderList(40000, 250, 640, 480), MovieList(Bytes(8))}).Render();
    blob.AppendHole(3'000'000'000ull);
    blob.Append(Chunk("gpsa", RateWord(4)).Render());
    const auto out = testing::ParseAviBlob(dir, blob);
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.info.gpsRateWord[0], 4) << "the chunk after the hole is still found";
    EXPECT_LT(out.stats.bytesRead, 64u * 1024u);
}

TEST(ParserCost, EmptyGpsRecordsInAHoleAreNotRead) {
    TempDir dir;
    // A GPS stream of 3.5 GB whose records are a hole, with one dated record at its end.
    Blob blob = AviFile({HeaderList(40000, 250, 640, 480), MovieList(Bytes(8))}).Render();
    const std::uint64_t records = 3'500'000'000ull / 32;
    Bytes header;
    PutFourCC(header, "gps0");
    PutU32LE(header, static_cast<std::uint32_t>((records + 1) * 32));
    blob.Append(header);
    blob.AppendHole(records * 32);
    blob.Append(EncodeFixes(std::vector<GpsFix>{MakeFix(1, 1, 1, 2020, 6, 1, 10, 0, 0, true)}));
    const auto out = testing::ParseAviBlob(dir, blob);
    ASSERT_EQ(out.result, 0);
    // The dated record is the last of 109375001 at 1 fix per second.
    EXPECT_EQ(out.info.startTime, testing::Local(2020, 6, 1, 10, 0, 0) - static_cast<std::int64_t>(records));
    EXPECT_LT(out.stats.bytesRead, 64u * 1024u);
}

class FailingSource final : public ByteSource {
public:
    FailingSource(const Bytes& bytes, unsigned goodCalls) : bytes_(bytes), goodCalls_(goodCalls) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::int64_t ReadAt(std::uint64_t offset, std::span<std::byte> dst) override {
        if (calls_++ >= goodCalls_) return -1;
        const MemorySource memory(std::as_bytes(std::span(bytes_)));
        return const_cast<MemorySource&>(memory).ReadAt(offset, dst);
    }

private:
    const Bytes& bytes_;
    unsigned goodCalls_;
    unsigned calls_ = 0;
};

TEST(ParserFailure, ReadErrorFailsTheParse) {
    AviRecording avi;
    avi.telemetry = HourOfTelemetry();
    avi.telemetry.fixes.resize(10);
    avi.telemetry.samples.resize(10);
    const Bytes bytes = BuildAvi(avi).Render().ToBytes();
    const Bytes mov = RenderBoxes(BuildMov(MovRecording{})).ToBytes();

    for (unsigned good = 0; good < 4; ++good) {
        ContainerInfo info{};
        info.durationMs = 77;
        CQenAviParser parser;
        parser.SetInfo(&info);
        FailingSource source(bytes, good);
        EXPECT_EQ(parser.ParseBytes(source, 64), -1) << good;
        EXPECT_EQ(info.durationMs, 77u);

        CQen3gpParser movParser;
        FailingSource movSource(mov, good);
        EXPECT_EQ(movParser.ParseBytes(movSource, 64), -1) << good;
    }
    // With enough good reads the same bytes parse: the failures above came from the errors.
    CQenAviParser parser;
    FailingSource source(bytes, 1000);
    EXPECT_EQ(parser.ParseBytes(source, 64), 0);
}

// Every prefix of a valid file (a recording cut anywhere) gives a result without crashing, and the
// block size of the reader never changes that result.
TEST(ParserFailure, EveryPrefixGivesTheSameResultWithAnyBlockSize) {
    AviRecording avi;
    avi.telemetry.fixes.assign(3, MakeFix(1, 1, 1, 2020, 1, 1, 0, 0, 0, true));
    avi.telemetry.samples.assign(5, GSensorSample{});
    avi.telemetry.idit = "2021-01-01 00:00:00";
    avi.telemetryAfterMovie = false;
    const Bytes aviBytes = BuildAvi(avi).Render().ToBytes();
    MovRecording mov;
    mov.telemetry = avi.telemetry;
    mov.telemetryInsideMoov = true;
    const Bytes movBytes = RenderBoxes(BuildMov(mov)).ToBytes();

    int aviSuccesses = 0;
    int movSuccesses = 0;
    for (std::size_t length = 0; length <= std::max(aviBytes.size(), movBytes.size()); ++length) {
        for (std::size_t block : {16u, 4096u}) {
            ContainerInfo a{}, b{};
            if (length <= aviBytes.size()) {
                MemorySource source(std::as_bytes(std::span(aviBytes.data(), length)));
                CQenAviParser parser;
                parser.SetInfo(&a);
                const int result = parser.ParseBytes(source, block);
                if (block == 16u && result == 0) ++aviSuccesses;
            }
            if (length <= movBytes.size()) {
                MemorySource source(std::as_bytes(std::span(movBytes.data(), length)));
                CQen3gpParser parser;
                parser.SetInfo(&b);
                const int result = parser.ParseBytes(source, block);
                if (block == 16u && result == 0) ++movSuccesses;
            }
        }
    }
    // Complete files parse; an AVI cut inside its movie list never does.
    EXPECT_GE(aviSuccesses, 1);
    EXPECT_GE(movSuccesses, 1);
}

TEST(ParserFailure, RandomBytesNeverCrashOrSucceedWithoutHeaders) {
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(seed >> 24);
    };
    for (int round = 0; round < 200; ++round) {
        Bytes bytes(static_cast<std::size_t>(next()) * 8 + 8);
        for (auto& b : bytes) b = next();
        if (round % 2 == 0) std::memcpy(bytes.data(), "RIFF", 4);
        else std::memcpy(bytes.data() + 4, "ftyp", 4);
        MemorySource source(std::as_bytes(std::span(bytes)));
        ContainerInfo info{};
        CQenAviParser avi;
        avi.SetInfo(&info);
        CQen3gpParser mov;
        mov.SetInfo(&info);
        if (avi.ParseBytes(source) == 0) {
            EXPECT_NE(info.videoWidth, 0);
        }
        if (mov.ParseBytes(source) == 0) {
            EXPECT_NE(info.durationMs, 0u);
        }
    }
}

}  // namespace
}  // namespace trivane
