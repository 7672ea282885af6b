#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <variant>

#include <gtest/gtest.h>

#include "FileText.h"
#include "TempDir.h"
#include "telemetry/SentenceDecoder.h"
#include "writer/AviWriter.h"
#include "writer/MediaPatcher.h"
#include "writer/MovWriter.h"
#include "writer/NmeaWriter.h"

namespace trivane::writer {
namespace {

std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::uint32_t LE32(const Bytes& b, std::size_t at) { return GetU32LE(b.data() + at); }
std::uint32_t BE32(const Bytes& b, std::size_t at) { return GetU32BE(b.data() + at); }
std::uint16_t BE16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] << 8 | b[at + 1]); }

TEST(WriterRiff, ChunksAndListsAreUnpaddedWithLittleEndianSizes) {
    const Bytes chunk = Chunk("gpsa", Bytes{1, 2, 3, 4}).Render().ToBytes();
    EXPECT_EQ(AsText(chunk), std::string("gpsa\x04\0\0\0\x01\x02\x03\x04", 12));

    // The list size counts the type and an odd 9-byte child; no pad byte follows.
    const Bytes list = List("hdrl", {Chunk("JUNK", Bytes{0xAA})}).Render().ToBytes();
    ASSERT_EQ(list.size(), 21u);
    EXPECT_EQ(AsText(list), std::string("LIST\x0D\0\0\0hdrlJUNK\x01\0\0\0\xAA", 21));

    const Bytes riff = AviFile({Raw(Bytes{'x', 'y'})}).Render().ToBytes();
    EXPECT_EQ(AsText(riff), std::string("RIFF\x06\0\0\0AVI xy", 14));

    // A movi list that claims more than the file holds.
    const Bytes lying = WithDeclaredSize(MovieList(Bytes{0, 0}), 0x7FFFFFF0).Render().ToBytes();
    EXPECT_EQ(lying.size(), 14u);
    EXPECT_EQ(LE32(lying, 4), 0x7FFFFFF0u);
}

TEST(WriterRiff, HeaderFieldsSitWhereReadersLook) {
    const Bytes avih = MainHeader(33333, 150000).Render().ToBytes();
    ASSERT_EQ(avih.size(), 8u + 56u);
    EXPECT_EQ(LE32(avih, 4), 56u);
    EXPECT_EQ(LE32(avih, 8 + 0), 33333u);
    EXPECT_EQ(LE32(avih, 8 + 16), 150000u);

    // LIST strl: 12 header bytes, strh (8 + 56), then strf whose payload holds the bitmap header.
    const Bytes strl = VideoStreamList(1920, 1080).Render().ToBytes();
    EXPECT_EQ(AsText(Bytes(strl.begin() + 12, strl.begin() + 16)), "strh");
    EXPECT_EQ(AsText(Bytes(strl.begin() + 20, strl.begin() + 24)), "vids");
    const std::size_t strf = 12 + 8 + 56;
    EXPECT_EQ(AsText(Bytes(strl.begin() + static_cast<long>(strf), strl.begin() + static_cast<long>(strf) + 4)),
              "strf");
    EXPECT_EQ(LE32(strl, strf + 4), 40u);
    EXPECT_EQ(LE32(strl, strf + 8 + 4), 1920u);
    EXPECT_EQ(LE32(strl, strf + 8 + 8), 1080u);
}

TEST(WriterBoxes, SizesAreBigEndianAndIncludeTheHeader) {
    const Bytes box = Container("moov", {MakeBox("gpsa", Bytes{9, 8, 7, 6})}).Render().ToBytes();
    EXPECT_EQ(AsText(box), std::string("\0\0\0\x14moov\0\0\0\x0Cgpsa\x09\x08\x07\x06", 20));

    const Bytes tiny = WithDeclaredSize(MakeBox("free", Bytes{}), 4).Render().ToBytes();
    EXPECT_EQ(AsText(tiny), std::string("\0\0\0\x04" "free", 8));
}

TEST(WriterBoxes, MediaHeaderAndSampleEntryLayouts) {
    const Bytes mdhd = Mdhd(90000, 5400000).Render().ToBytes();
    ASSERT_GE(mdhd.size(), 8u + 20u);
    EXPECT_EQ(BE32(mdhd, 8 + 12), 90000u);
    EXPECT_EQ(BE32(mdhd, 8 + 16), 5400000u);

    const Bytes avc1 = VisualSampleEntry("avc1", 1280, 720).Render().ToBytes();
    ASSERT_GE(avc1.size(), 8u + 28u);
    EXPECT_EQ(BE16(avc1, 8 + 24), 1280);
    EXPECT_EQ(BE16(avc1, 8 + 26), 720);

    const Bytes stsd = Stsd({VisualSampleEntry("hvc1", 1, 1)}, 0).Render().ToBytes();
    EXPECT_EQ(BE32(stsd, 8 + 4), 0u);
    EXPECT_EQ(AsText(Bytes(stsd.begin() + 20, stsd.begin() + 24)), "hvc1");
}

TEST(WriterRecords, FixLayoutAndTelemetryOrder) {
    const GpsFix fix = MakeFix(4807.038, 1131.0, 300, 2024, 3, 15, 8, 15, 7, true);
    const Bytes bytes = EncodeFixes(std::vector<GpsFix>{fix});
    ASSERT_EQ(bytes.size(), 32u);
    double latitude = 0;
    std::memcpy(&latitude, bytes.data(), 8);
    EXPECT_EQ(latitude, 4807.038);
    EXPECT_EQ(bytes[20], 300 & 0xFF);
    EXPECT_EQ(bytes[21], 300 >> 8);
    EXPECT_EQ(bytes[22], 24);
    EXPECT_EQ(bytes[23], 3);
    EXPECT_EQ(bytes[27], 7);
    EXPECT_EQ(bytes[29], 1);

    EXPECT_EQ(AsText(IditText(2024, 3, 5, 8, 1, 9)), "2024-03-05 08:01:09");

    Telemetry telemetry;
    telemetry.fixes = {fix, fix};
    telemetry.samples = {{1, -2, 64}};
    telemetry.fixesPerSecond = 10;
    telemetry.gsensorRateCode = 5;
    telemetry.gsensorRange = 16;
    telemetry.idit = "2024-03-15 08:15:00";
    const auto records = TelemetryRecords(telemetry);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].id, "gpsa");
    EXPECT_EQ(records[0].payload, (Bytes{10, 0, 0, 0}));
    EXPECT_EQ(records[1].id, "gsea");
    EXPECT_EQ(records[1].payload, (Bytes{5, 16, 0, 0}));
    EXPECT_EQ(records[2].id, "gps0");
    EXPECT_EQ(records[2].payload.size(), 64u);
    EXPECT_EQ(records[3].id, "gsen");
    EXPECT_EQ(records[3].payload, (Bytes{1, 0xFE, 64}));
    EXPECT_EQ(records[4].id, "IDIT");
}

TEST(WriterNmea, SentencesMatchTheRecorderForm) {
    const GpsFix valid = MakeFix(4807.038, 1131.0, 41, 2024, 3, 15, 8, 15, 0, true);
    EXPECT_EQ(GprmcLine(valid), "$GPRMC,081500.00,A,4807.0380,N,01131.0000,E,022.408,0.0,150324,,,A*5D");
    const GpsFix lost = MakeFix(0, 0, 0, 2024, 1, 1, 9, 30, 5, false);
    EXPECT_EQ(GprmcLine(lost), "$GPRMC,093005.00,V,,,,,,,010124,,,N*74");
    EXPECT_EQ(GprmcLine(GpsFix{}), "$GPRMC,,V,,,,,,,,,,N*53");
    EXPECT_EQ(GsensordLine(0.1, -0.05, 0.98), "$GSENSORD,0.100,-0.050,0.980");
    EXPECT_EQ(NmeaText({"a", "b"}), "a\r\nb\r\n");
}

TEST(WriterNmea, EveryWholeSpeedSurvivesTheKnotsRoundTrip) {
    for (std::uint16_t speed = 0; speed <= 250; ++speed) {
        const GpsFix fix = MakeFix(3539.0, 13945.5, speed, 2024, 3, 15, 8, 15, 0, true);
        const auto decoded = DecodeSentence(GprmcLine(fix));
        ASSERT_TRUE(std::holds_alternative<GpsFix>(decoded));
        const GpsFix& back = std::get<GpsFix>(decoded);
        EXPECT_EQ(back.speedKmh, speed);
        EXPECT_EQ(back.latitudeNmea, 3539.0);
        EXPECT_EQ(back.longitudeNmea, 13945.5);
        EXPECT_TRUE(back.IsValid());
    }
}

class WriterFiles : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return dir_.File(name); }
    static Bytes Slurp(const std::string& path) {
        const std::string text = trivane::test::ReadText(path);
        return Bytes(text.begin(), text.end());
    }

    trivane::test::TempDir dir_;
};

TEST_F(WriterFiles, HolesStaySparseAndCountInTheLength) {
    constexpr std::uint64_t kHole = std::uint64_t{300} << 20;
    Blob blob(Bytes{'A', 'B'});
    blob.AppendHole(kHole);
    blob.Append(Bytes{'Z'});
    blob.AppendHole(10);  // a trailing hole must still extend the file
    std::string error;
    ASSERT_TRUE(blob.WriteFile(Path("sparse.bin"), &error)) << error;

    struct stat st {};
    ASSERT_EQ(::stat(Path("sparse.bin").c_str(), &st), 0);
    EXPECT_EQ(static_cast<std::uint64_t>(st.st_size), 2 + kHole + 1 + 10);
    EXPECT_LT(static_cast<std::uint64_t>(st.st_blocks) * 512, std::uint64_t{1} << 20);

    std::ifstream in(Path("sparse.bin"), std::ios::binary);
    char c = 1;
    in.seekg(static_cast<std::streamoff>(2 + kHole / 2));
    in.get(c);
    EXPECT_EQ(c, 0);
    in.seekg(static_cast<std::streamoff>(2 + kHole));
    in.get(c);
    EXPECT_EQ(c, 'Z');

    Bytes out;
    EXPECT_FALSE(blob.ToBytes(out, 1024));
}

TEST_F(WriterFiles, UnwritablePathIsReported) {
    std::string error;
    EXPECT_FALSE(Blob(Bytes{1}).WriteFile(Path("missing/dir/file"), &error));
    EXPECT_NE(error.find("cannot create"), std::string::npos);
}

TEST_F(WriterFiles, AviAppendGoesInsideTheRiffForm) {
    const std::string path = Path("clip.avi");
    // RIFF(12) + LIST movi(12 + 4) = 28 bytes.
    ASSERT_TRUE(AviFile({MovieList(Bytes{1, 2, 3, 4})}).Render().WriteFile(path));
    ASSERT_TRUE(AppendAviChunks(path, {Chunk("gpsa", Bytes{1, 0, 0, 0}), Chunk("IDIT", Bytes{'x'})}));
    const Bytes after = Slurp(path);
    ASSERT_EQ(after.size(), 28u + 12u + 9u);
    EXPECT_EQ(LE32(after, 4), after.size() - 8);
    EXPECT_EQ(AsText(Bytes(after.begin() + 28, after.begin() + 32)), "gpsa");
    EXPECT_EQ(AsText(Bytes(after.begin() + 40, after.end())), std::string("IDIT\x01\0\0\0x", 9));
}

TEST_F(WriterFiles, AviAppendRefusesWhatItCannotPatchSafely) {
    const std::string notRiff = Path("not.avi");
    ASSERT_TRUE(Blob(Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'A', 'V', 'I', ' '}).WriteFile(notRiff));
    std::string error;
    EXPECT_FALSE(AppendAviChunks(notRiff, {Chunk("gpsa", Bytes{1, 0, 0, 0})}, &error));
    EXPECT_EQ(Slurp(notRiff).size(), 12u);

    // A second RIFF form after the first (OpenDML) would be hidden behind the new chunks.
    const std::string twoForms = Path("two.avi");
    Blob both = AviFile({}).Render();
    both.Append(Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', 'X'});
    ASSERT_TRUE(both.WriteFile(twoForms));
    EXPECT_FALSE(AppendAviChunks(twoForms, {Chunk("gpsa", Bytes{1, 0, 0, 0})}, &error));
    EXPECT_EQ(Slurp(twoForms).size(), 24u);

    EXPECT_FALSE(AppendAviChunks(Path("absent.avi"), {}, &error));
}

TEST_F(WriterFiles, MovAppendInsideALastMoovGrowsIt) {
    const std::string path = Path("clip.mov");
    // ftyp 20, mdat 8 + 3, moov 8 + mvhd 108 = 116.
    ASSERT_TRUE(RenderBoxes({Ftyp(), Mdat(Bytes{1, 2, 3}), Moov({})}).WriteFile(path));
    ASSERT_EQ(Slurp(path).size(), 20u + 11u + 116u);
    ASSERT_TRUE(AppendMovBoxes(path, {MakeBox("gps0", Bytes(32, 7))}, BoxPlacement::InsideMoov));
    const Bytes after = Slurp(path);
    ASSERT_EQ(after.size(), 147u + 40u);
    EXPECT_EQ(AsText(Bytes(after.begin() + 31 + 4, after.begin() + 31 + 8)), "moov");
    EXPECT_EQ(BE32(after, 31), 116u + 40u);
    EXPECT_EQ(BE32(after, 147), 40u);
    EXPECT_EQ(AsText(Bytes(after.begin() + 151, after.begin() + 155)), "gps0");
}

TEST_F(WriterFiles, MovAppendPlacementRules) {
    // moov before mdat (fast start): inside is refused, top level goes to the very end.
    const std::string path = Path("faststart.mov");
    ASSERT_TRUE(RenderBoxes({Ftyp(), Moov({}), Mdat(Bytes{1, 2, 3})}).WriteFile(path));
    std::string error;
    EXPECT_FALSE(AppendMovBoxes(path, {MakeBox("gpsa", Bytes(4, 1))}, BoxPlacement::InsideMoov, &error));
    EXPECT_EQ(Slurp(path).size(), 147u);
    ASSERT_TRUE(AppendMovBoxes(path, {MakeBox("gpsa", Bytes(4, 1))}, BoxPlacement::TopLevel, &error)) << error;
    const Bytes after = Slurp(path);
    ASSERT_EQ(after.size(), 159u);
    EXPECT_EQ(BE32(after, 20), 116u);  // moov untouched
    EXPECT_EQ(AsText(Bytes(after.begin() + 151, after.begin() + 155)), "gpsa");

    // A last box of size 0 runs to the end of the file and counts as last.
    const std::string open = Path("open.mov");
    Blob openEnded = RenderBoxes({Ftyp()});
    openEnded.Append(WithDeclaredSize(Moov({}), 0).Render());
    ASSERT_TRUE(openEnded.WriteFile(open));
    EXPECT_TRUE(AppendMovBoxes(open, {MakeBox("gpsa", Bytes(4, 1))}, BoxPlacement::TopLevel, &error)) << error;

    // Sizes that do not tile the file, or no moov at all: refused, nothing written.
    const std::string broken = Path("broken.mov");
    ASSERT_TRUE(RenderBoxes({Ftyp(), WithDeclaredSize(Mdat(Bytes{1}), 4000)}).WriteFile(broken));
    EXPECT_FALSE(AppendMovBoxes(broken, {MakeBox("gpsa", Bytes(4, 1))}, BoxPlacement::TopLevel, &error));
    EXPECT_EQ(Slurp(broken).size(), 29u);
    const std::string noMoov = Path("nomoov.mov");
    ASSERT_TRUE(RenderBoxes({Ftyp(), Mdat(Bytes{1})}).WriteFile(noMoov));
    EXPECT_FALSE(AppendMovBoxes(noMoov, {MakeBox("gpsa", Bytes(4, 1))}, BoxPlacement::TopLevel, &error));
}

}  // namespace
}  // namespace trivane::writer
