#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "telemetry/CQenVideoParser.h"
#include "writer/AviWriter.h"
#include "writer/MovWriter.h"

namespace trivane::writer {
namespace {

// Layout sizes below are added up by hand from the writer's fixed structures:
// AVI hdrl = LIST 12 + avih 64 + video strl 124 + audio strl 102 = 302;
// MOV ftyp 20, moov = 8 + mvhd 108 + video trak 291 + audio trak 241 = 648.
class WriterRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }

    static Telemetry SampleTelemetry() {
        Telemetry t;
        t.fixes = {MakeFix(0, 0, 0, 0, 0, 0, 0, 0, 0, false),  // no date yet
                   MakeFix(4807.0, 1131.0, 30, 2024, 3, 15, 8, 15, 1, true),
                   MakeFix(4807.1, 1131.1, 31, 2024, 3, 15, 8, 15, 2, true)};
        t.samples.assign(10, GSensorSample{1, 2, 64});
        t.fixesPerSecond = 1;
        t.gsensorRateCode = 5;
        t.gsensorRange = 16;
        return t;
    }

    ContainerInfo Parse(const std::string& name) {
        ContainerInfo info;
        auto parser = CreateParserForName(name);
        parser->SetInfo(&info);
        EXPECT_EQ(parser->Parse(dir_.File(name)), 0) << name;
        return info;
    }

    trivane::test::TempDir dir_;
};

TEST_F(WriterRoundTrip, AviRecordingParsesWithHandComputedOffsets) {
    AviRecording avi;
    avi.movieBytes = 1000;
    avi.telemetry = SampleTelemetry();
    ASSERT_TRUE(BuildAvi(avi).Render().WriteFile(dir_.File("CLIP0001.AVI")));

    const ContainerInfo info = Parse("CLIP0001.AVI");
    // RIFF 12 + hdrl 302 + movi 1012 + idx1 (8 + 1500 * 16) + gpsa 12 + gsea 12 + gps0 header 8.
    EXPECT_EQ(info.gpsOffset, 25366u);
    EXPECT_EQ(info.gpsSize, 96u);
    EXPECT_EQ(info.gsensorOffset, 25366u + 96u + 8u);
    EXPECT_EQ(info.gsensorSize, 30u);
    EXPECT_EQ(info.fileSize, 25500u);
    EXPECT_EQ(info.videoWidth, 1920);
    EXPECT_EQ(info.videoHeight, 1080);
    EXPECT_EQ(info.durationMs, 60000u);  // 40000 us x 1500 frames
    EXPECT_EQ(info.durationSeconds, 60);
    EXPECT_EQ(info.startTime, 1710490500);  // 2024-03-15 08:15:01 UTC less one fix at 1 Hz
    EXPECT_EQ(info.gpsRateWord[0], 1);
    EXPECT_EQ(info.gsensorRateWord[0], 5);
    EXPECT_EQ(info.gsensorRateWord[1], 16);
}

TEST_F(WriterRoundTrip, AviWithTelemetryBeforeMovieAndHugeSparseMovie) {
    AviRecording avi;
    avi.movieBytes = std::uint64_t{200} << 20;
    avi.telemetry = SampleTelemetry();
    avi.telemetry.fixes.clear();
    avi.telemetry.idit = "2024-03-15 08:40:00";
    avi.telemetryAfterMovie = false;
    ASSERT_TRUE(BuildAvi(avi).Render().WriteFile(dir_.File("CLIP0002.AVI")));

    const ContainerInfo info = Parse("CLIP0002.AVI");
    EXPECT_EQ(info.gpsSize, 0u);
    EXPECT_EQ(info.gsensorOffset, 12u + 302u + 12u + 12u + 8u);
    EXPECT_EQ(info.fileSize, 12u + 302u + 24u + 38u + 19u + 8u + 12u + (std::uint64_t{200} << 20) + 24008u);
    EXPECT_EQ(info.startTime, 1710492000);  // IDIT 08:40:00 UTC
}

TEST_F(WriterRoundTrip, MovRecordingParsesWithBoxesAtTopLevelOrInsideMoov) {
    for (const bool inside : {false, true}) {
        MovRecording mov;
        mov.width = 1280;
        mov.height = 720;
        mov.movieBytes = 500;
        mov.telemetry = SampleTelemetry();
        mov.telemetryInsideMoov = inside;
        const std::string name = inside ? "CLIP0003R.MOV" : "CLIP0003F.MOV";
        ASSERT_TRUE(RenderBoxes(BuildMov(mov)).WriteFile(dir_.File(name)));

        const ContainerInfo info = Parse(name);
        // ftyp 20 + mdat 508 + moov 648 + gpsa 12 + gsea 12 + gps0 header 8, either way.
        EXPECT_EQ(info.gpsOffset, 1208u) << name;
        EXPECT_EQ(info.gpsSize, 96u);
        EXPECT_EQ(info.gsensorOffset, 1312u);
        EXPECT_EQ(info.fileSize, 1342u);
        EXPECT_EQ(info.videoWidth, 1280);
        EXPECT_EQ(info.videoHeight, 720);
        EXPECT_EQ(info.durationMs, 60000u);
        EXPECT_EQ(info.durationSeconds, 0);
        EXPECT_EQ(info.startTime, 1710490500);
    }
}

}  // namespace
}  // namespace trivane::writer
