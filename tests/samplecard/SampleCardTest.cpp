// Checks the card written by trivane-samplecard (the samplecard_create fixture): its files, how
// the parsers and the catalogue see them, and that the telemetry on disk is the planned drive.

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <variant>

#include <gtest/gtest.h>

#include "FileText.h"
#include "library/CRecordingManager.h"
#include "library/ListTexts.h"
#include "library/FrontCompanionPath.h"
#include "library/GForceEvents.h"
#include "samplecard/CardPlan.h"
#include "telemetry/CQenVideoParser.h"
#include "telemetry/SentenceDecoder.h"

namespace trivane::samplecard {
namespace {

namespace fs = std::filesystem;

const std::string kCard = SAMPLECARD_DIR;

// Expected values worked out by hand from the card's design. Start times are the names' wall
// clock read in UTC: 2024-03-15 08:15:00 UTC is 1710490500.
struct Expected {
    const char* path;
    int result;
    std::uint16_t width, height;
    std::uint32_t durationMs;
    std::int64_t durationSeconds;
    std::int64_t startTime;
    std::uint32_t gpsSize;      // 32 bytes per second
    std::uint32_t gsensorSize;  // 3 bytes, 10 per second
    std::uint8_t gsensorRate, gsensorRange;
};

const Expected kRecordings[] = {
    {"DCIM/MOVF/FILE240315-081500F.MOV", 0, 1920, 1080, 15000, 0, 1710490500, 480, 450, 5, 16},
    {"DCIM/MOVR/FILE240315-081500R.MOV", 0, 1280, 720, 15000, 0, 1710490500, 480, 0, 0, 0},
    {"DCIM/MOVF/FILE240315-081530F.MOV", 0, 1920, 1080, 15000, 0, 1710490530, 480, 450, 5, 16},
    {"DCIM/MOVR/FILE240315-081530R.MOV", 0, 1280, 720, 15000, 0, 1710490530, 480, 0, 0, 0},
    {"DCIM/TSF/FILE240315-083000F.TS", -1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"DCIM/TSR/FILE240315-083000R.TS", -1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"DCIM/AVI/DRV_0101.AVI", 0, 1920, 1080, 12000, 12, 1710492000, 384, 360, 5, 16},
    {"DCIM/AVI/DRV_0102.AVI", 0, 1920, 1080, 12000, 12, 1710492012, 384, 360, 5, 16},
    {"DCIM/AVI/DRVG0103.AVI", 0, 1920, 1080, 12000, 12, 1710492024, 384, 360, 5, 16},
};

class SampleCard : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    void SetUp() override {
        ASSERT_TRUE(fs::exists(kCard + "/.complete")) << "no complete card in " << kCard;
    }

    static ContainerInfo Parse(const std::string& relative, int& result) {
        ContainerInfo info;
        auto parser = CreateParserForName(fs::path(relative).filename().string());
        parser->SetInfo(&info);
        result = parser->Parse(kCard + "/" + relative);
        return info;
    }

    static std::string ReadRange(const std::string& relative, std::uint64_t offset, std::uint64_t size) {
        std::ifstream in(kCard + "/" + relative, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(offset));
        std::string bytes(static_cast<std::size_t>(size), '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(size));
        return in ? bytes : std::string();
    }

    static std::string PayloadOf(const PlannedVideo& video, const char* id) {
        for (const auto& record : video.records)
            if (record.id == id) return std::string(record.payload.begin(), record.payload.end());
        return {};
    }

    static std::string Slurp(const std::string& relative) {
        return trivane::test::ReadText(kCard + "/" + relative);
    }
};

TEST_F(SampleCard, HoldsExactlyThePlannedFilesWithTheirFlags) {
    std::set<std::string> found;
    for (const auto& item : fs::recursive_directory_iterator(kCard))
        if (item.is_regular_file()) found.insert(fs::relative(item.path(), kCard).string());
    std::set<std::string> expected{".complete", "DCIM/TSF/FILE240315-083000F.NMEA"};
    for (const Expected& e : kRecordings) expected.insert(e.path);
    EXPECT_EQ(found, expected);

    for (const Expected& e : kRecordings) {
        struct stat st {};
        ASSERT_EQ(::stat((kCard + "/" + e.path).c_str(), &st), 0);
        const bool readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
        EXPECT_EQ(readOnly, std::strcmp(e.path, "DCIM/AVI/DRV_0102.AVI") == 0) << e.path;
        EXPECT_GT(st.st_size, 500000) << e.path << " should hold real video";
    }
}

TEST_F(SampleCard, EveryRecordingParsesWithItsSizeDurationAndStart) {
    for (const Expected& e : kRecordings) {
        SCOPED_TRACE(e.path);
        int result = 0;
        const ContainerInfo info = Parse(e.path, result);
        ASSERT_EQ(result, e.result);
        if (result != 0) continue;
        EXPECT_EQ(info.videoWidth, e.width);
        EXPECT_EQ(info.videoHeight, e.height);
        EXPECT_EQ(info.durationMs, e.durationMs);
        EXPECT_EQ(info.durationSeconds, e.durationSeconds);
        EXPECT_EQ(info.startTime, e.startTime);
        EXPECT_EQ(info.gpsSize, e.gpsSize);
        EXPECT_EQ(info.gsensorSize, e.gsensorSize);
        EXPECT_EQ(info.gpsRateWord[0], 1);
        EXPECT_EQ(info.gsensorRateWord[0], e.gsensorRate);
        EXPECT_EQ(info.gsensorRateWord[1], e.gsensorRange);
        EXPECT_EQ(info.fileSize, fs::file_size(kCard + "/" + e.path));
        EXPECT_LE(info.gpsOffset + info.gpsSize, info.fileSize);
        EXPECT_LE(info.gsensorOffset + info.gsensorSize, info.fileSize);
    }
}

TEST_F(SampleCard, TelemetryOnDiskIsThePlannedDriveAndThePlanIsStable) {
    const CardPlan plan = BuildCardPlan();
    const CardPlan again = BuildCardPlan();
    ASSERT_EQ(plan.videos.size(), 9u);
    ASSERT_EQ(plan.sideFiles.size(), 1u);
    EXPECT_EQ(plan.sideFiles[0].text, again.sideFiles[0].text);
    EXPECT_EQ(Slurp(plan.sideFiles[0].relativePath), plan.sideFiles[0].text);

    for (std::size_t n = 0; n < plan.videos.size(); ++n) {
        const PlannedVideo& video = plan.videos[n];
        SCOPED_TRACE(video.relativePath);
        ASSERT_EQ(video.relativePath, again.videos[n].relativePath);
        ASSERT_EQ(video.records.size(), again.videos[n].records.size());
        for (std::size_t r = 0; r < video.records.size(); ++r)
            EXPECT_EQ(video.records[r].payload, again.videos[n].records[r].payload) << video.records[r].id;
        if (video.container == ContainerKind::Ts) continue;

        int result = 0;
        const ContainerInfo info = Parse(video.relativePath, result);
        ASSERT_EQ(result, 0);
        EXPECT_EQ(ReadRange(video.relativePath, info.gpsOffset, info.gpsSize), PayloadOf(video, "gps0"));
        if (info.gsensorSize != 0) {
            EXPECT_EQ(ReadRange(video.relativePath, info.gsensorOffset, info.gsensorSize), PayloadOf(video, "gsen"));
        }
    }
}

TEST_F(SampleCard, DriveIsPlausible) {
    const CardPlan plan = BuildCardPlan();
    std::map<std::string, std::vector<GSensorSample>> samplesByFile;
    for (const PlannedVideo& video : plan.videos) {
        if (video.container == ContainerKind::Ts) continue;
        SCOPED_TRACE(video.relativePath);
        const std::string gps = PayloadOf(video, "gps0");
        ASSERT_EQ(gps.size(), static_cast<std::size_t>(video.seconds) * 32);
        for (int i = 0; i < video.seconds; ++i) {
            GpsFix fix;
            std::memcpy(&fix, gps.data() + i * 32, 32);
            EXPECT_LE(fix.speedKmh, 90);
            if (fix.yearSince2000 == 0) {
                // Only the first two fixes of the first recording lack a date: the receiver warming up.
                EXPECT_EQ(fs::path(video.relativePath).stem().string().substr(0, 17), "FILE240315-081500");
                EXPECT_LT(i, 2);
                EXPECT_FALSE(fix.IsValid());
                continue;
            }
            // Fix i is dated i seconds after the name's time.
            const WallClock at = video.start.Plus(i);
            EXPECT_EQ(fix.hour * 3600 + fix.minute * 60 + fix.second, at.hour * 3600 + at.minute * 60 + at.second);
            EXPECT_EQ(fix.day, 15);
            EXPECT_TRUE(fix.IsValid());
            EXPECT_GT(fix.latitudeNmea, 4800.0);
            EXPECT_LT(fix.latitudeNmea, 4815.0);
        }
        const std::string gsen = PayloadOf(video, "gsen");
        std::vector<GSensorSample> samples(gsen.size() / 3);
        if (!samples.empty()) std::memcpy(samples.data(), gsen.data(), gsen.size());
        if (video.channel == Channel::Front) samplesByFile[fs::path(video.relativePath).filename().string()] = samples;
    }

    // Range factor 16: raw 64 is 1 G. Gravity stays on z; the hard stop (60 km/h to 0 in 2.5 s,
    // about -0.68 G, raw -43) is in the locked file only.
    auto minX = [](const std::vector<GSensorSample>& s) {
        int m = 127;
        for (const auto& v : s) m = std::min(m, int{v.x});
        return m;
    };
    auto maxZ = [](const std::vector<GSensorSample>& s) {
        int m = -128;
        for (const auto& v : s) m = std::max(m, int{v.z});
        return m;
    };
    EXPECT_LE(minX(samplesByFile["DRVG0103.AVI"]), -38);
    EXPECT_GT(minX(samplesByFile["DRV_0101.AVI"]), -20);
    EXPECT_GT(minX(samplesByFile["DRV_0102.AVI"]), -20);
    EXPECT_GE(maxZ(samplesByFile["DRV_0101.AVI"]), 64 + 20);  // pothole at 6.1 s
    ASSERT_EQ(samplesByFile.size(), 5u);  // every front file carries a G-sensor stream
    for (const auto& [name, samples] : samplesByFile) {
        ASSERT_FALSE(samples.empty()) << name;
        long sumZ = 0;
        for (const auto& v : samples) sumZ += v.z;
        EXPECT_NEAR(static_cast<double>(sumZ) / static_cast<double>(samples.size()), 64.0, 4.0) << name;
    }
}

TEST_F(SampleCard, SideFileHasATunnelAndUnwrappedGValues) {
    std::istringstream text(Slurp("DCIM/TSF/FILE240315-083000F.NMEA"));
    std::vector<GpsFix> fixes;
    int samples = 0;
    for (std::string line; std::getline(text, line);) {
        const DecodedSentence decoded = DecodeSentence(line);
        if (std::holds_alternative<GpsFix>(decoded)) fixes.push_back(std::get<GpsFix>(decoded));
        if (std::holds_alternative<GSensorSample>(decoded)) {
            ++samples;
            // Beyond +-0.25 G the 8-bit field would wrap; the camera must stay inside.
            const auto fields = SplitSentenceFields(line);
            ASSERT_EQ(fields.size(), 4u);
            for (int f = 1; f <= 3; ++f) EXPECT_LT(std::abs(ReadDecimal(fields[static_cast<std::size_t>(f)])), 0.25);
        }
    }
    ASSERT_EQ(fixes.size(), 12u);
    EXPECT_EQ(samples, 12);
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        const bool inTunnel = i >= 4 && i < 8;
        EXPECT_EQ(fixes[i].IsValid(), !inTunnel) << i;
        if (!inTunnel) {
            EXPECT_GE(fixes[i].speedKmh, 78) << i;
            EXPECT_LE(fixes[i].speedKmh, 90) << i;
        }
    }
}

TEST_F(SampleCard, CatalogueSeesFourGroupsAndPairsFindTheirFront) {
    CRecordingManager manager;
    ASSERT_EQ(manager.OpenSource(kCard, ""), 1);
    const auto& entries = manager.Entries();
    ASSERT_EQ(entries.size(), 9u);  // the side file is not a recording
    const char* order[] = {"DRV_0101.AVI",           "DRV_0102.AVI",           "DRVG0103.AVI",
                           "FILE240315-081500F.MOV", "FILE240315-081500R.MOV", "FILE240315-081530F.MOV",
                           "FILE240315-081530R.MOV", "FILE240315-083000F.TS",  "FILE240315-083000R.TS"};
    for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(entries[i].fileName, order[i]);

    const auto& groups = manager.Groups();
    ASSERT_EQ(groups.size(), 4u);
    const int counts[] = {3, 2, 2, 2};
    for (std::size_t g = 0; g < groups.size(); ++g) EXPECT_EQ(groups[g].count, counts[g]) << g;
    EXPECT_EQ(groups[0].lockFlags, LOCK_EVENT | LOCK_MANUAL);
    EXPECT_EQ(groups[0].totalDurationMs, 36000u);
    EXPECT_EQ(groups[1].lockFlags, 0);

    // The names follow the camera's pattern, so the file list shows the recording's time.
    const auto columns = FileColumnTexts(entries[3].fileName);
    EXPECT_EQ(columns[1], "08:15:00");
    EXPECT_EQ(columns[2], "2024-03-15 08:15:00");

    EXPECT_EQ(FrontCompanionPath(kCard + "/DCIM/MOVR/FILE240315-081500R.MOV"),
              kCard + "/DCIM/MOVF/FILE240315-081500F.MOV");
    EXPECT_EQ(FrontCompanionPath(kCard + "/DCIM/TSR/FILE240315-083000R.TS"), kCard + "/DCIM/TSF/FILE240315-083000F.TS");

    // The rear TS entry reads its telemetry from the front file's side file.
    ASSERT_TRUE(manager.LoadTelemetry(8));
    EXPECT_EQ(manager.Track().fixStore.size(), 12u);
    EXPECT_EQ(manager.Track().gsensorStore.size(), 36u);
}

TEST_F(SampleCard, OnlyTheHardStopIsAGForceEvent) {
    CRecordingManager manager;
    ASSERT_EQ(manager.OpenSource(kCard, ""), 1);
    // The stop starts 29.5 s into the drive, 5.5 s into its file; the potholes (0.45 G up, then
    // 0.3 G down) and the road noise stay under the default threshold but not under 0.3 G.
    std::map<std::string, std::vector<GForceEvent>> atDefault;
    std::map<std::string, std::vector<std::int64_t>> atLowThreshold;
    for (int i = 0; i < static_cast<int>(manager.Entries().size()); ++i) {
        ASSERT_TRUE(manager.LoadTelemetry(i));
        const std::string& name = manager.Entries()[static_cast<std::size_t>(i)].fileName;
        const auto events = DetectGForceEvents(manager.Track(), kDefaultGEventThresholdG);
        if (!events.empty()) atDefault[name] = events;
        for (const GForceEvent& event : DetectGForceEvents(manager.Track(), 0.3)) {
            atLowThreshold[name].push_back(event.timeMs);
        }
    }
    ASSERT_EQ(atDefault.size(), 1u);
    const std::vector<GForceEvent>& stop = atDefault["DRVG0103.AVI"];
    ASSERT_EQ(stop.size(), 1u);
    EXPECT_EQ(stop[0].timeMs, 5500);
    EXPECT_EQ(stop[0].axis, GAxis::X);
    EXPECT_NEAR(stop[0].peakG, -0.68, 0.05);
    EXPECT_EQ(atLowThreshold, (std::map<std::string, std::vector<std::int64_t>>{{"DRVG0103.AVI", {5500}},
                                                                               {"DRV_0101.AVI", {6100}},
                                                                               {"DRV_0102.AVI", {5800}},
                                                                               {"FILE240315-081530F.MOV", {4300}}}));
}

}  // namespace
}  // namespace trivane::samplecard
