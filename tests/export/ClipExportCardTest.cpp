#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "FileText.h"
#include "TempDir.h"
#include "export/ClipCommand.h"
#include "export/ClipExport.h"
#include "export/ProgramRun.h"

// Clips of the sample card made with the real ffmpeg, checked with ffprobe, decoded pictures and
// gpxpy.
namespace trivane {
namespace {

using test::TempDir;

const std::string kCard = SAMPLECARD_DIR "/DCIM/";
const std::string kFront = kCard + "MOVF/FILE240315-081500F.MOV";
const std::string kRear = kCard + "MOVR/FILE240315-081500R.MOV";

std::string Output(const std::vector<std::string>& argv, int* status = nullptr) {
    const std::atomic<bool> never{false};
    const ProgramOutcome outcome = RunProgram(argv, never, {}, 64 << 20);
    if (status != nullptr) *status = outcome.status;
    return outcome.output;
}

nlohmann::json Probe(const std::string& path) {
    return nlohmann::json::parse(Output({"ffprobe", "-v", "error", "-of", "json", "-show_entries",
                                         "format=duration:stream=codec_name,codec_type,width,height", "file:" + path}),
                                 nullptr, false);
}

// One decoded picture as RGB bytes, optionally scaled.
struct Picture {
    int width = 0;
    std::string rgb;

    // Mean difference per colour byte between a rectangle here and one of the same size in `other`.
    double Diff(int x, int y, int w, int h, const Picture& other, int ox, int oy) const {
        double sum = 0;
        for (int row = 0; row < h; ++row) {
            for (int col = 0; col < w * 3; ++col) {
                const auto a =
                    static_cast<unsigned char>(rgb[static_cast<std::size_t>(((y + row) * width + x) * 3 + col)]);
                const auto b = static_cast<unsigned char>(
                    other.rgb[static_cast<std::size_t>(((oy + row) * other.width + ox) * 3 + col)]);
                sum += std::abs(a - b);
            }
        }
        return sum / (w * h * 3);
    }
};

Picture Frame(const std::string& path, double seconds, int width, int height) {
    std::vector<std::string> argv{"ffmpeg", "-v", "error", "-ss", std::to_string(seconds), "-i", "file:" + path,
                                  "-frames:v", "1"};
    argv.insert(argv.end(), {"-vf", "scale=" + std::to_string(width) + ":" + std::to_string(height)});
    argv.insert(argv.end(), {"-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    Picture picture{width, Output(argv)};
    EXPECT_EQ(picture.rgb.size(), static_cast<std::size_t>(width * height * 3)) << path << " at " << seconds;
    picture.rgb.resize(static_cast<std::size_t>(width * height * 3));
    return picture;
}

// Track points as "seconds-since-first latitude longitude" lines, read by gpxpy.
std::string GpxPoints(const std::string& path) {
    return Output({"/usr/bin/python3", "-c",
                   "import sys, gpxpy\n"
                   "ps = gpxpy.parse(open(sys.argv[1])).tracks[0].segments[0].points\n"
                   "for p in ps: print('%d %.3f %.3f' % ((p.time - ps[0].time).total_seconds(), p.latitude, "
                   "p.longitude))\n",
                   path});
}

double Seconds(const nlohmann::json& probe) { return std::stod(probe["format"]["duration"].get<std::string>()); }

// The front/rear pair from 9 s to 12 s, written through names that need every kind of escaping:
// the clip's, and the temporary folder that holds the overlay document.
TEST(ClipExportCard, MovPairClipHasTheRearInsetTheOverlayAndItsRoute) {
    TempDir dir;
    const std::string scratch = dir / "tmp dir, it's: [x];y=\\z";
    ASSERT_EQ(::mkdir(scratch.c_str(), 0755), 0);
    const std::string savedTmp = std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "";
    ::setenv("TMPDIR", scratch.c_str(), 1);

    ClipRequest request;
    request.recordings = {kFront};
    request.fromMs = 9000;
    request.toMs = 12000;
    request.outPath = dir / "clip 'a': b, [c].mp4";
    std::vector<double> fractions;
    const std::atomic<bool> never{false};
    const ClipResult result =
        RunClipExport(request, [&](const ClipProgress& p) { fractions.push_back(p.fraction); }, never);
    if (savedTmp.empty()) ::unsetenv("TMPDIR");
    else ::setenv("TMPDIR", savedTmp.c_str(), 1);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_TRUE(result.rearInset);
    EXPECT_TRUE(result.audio);
    EXPECT_TRUE(test::FolderEntries(scratch).empty());
    EXPECT_EQ(test::FolderEntries(dir.Path()),
              (std::vector<std::string>{"clip 'a': b, [c].gpx", "clip 'a': b, [c].mp4",
                                        "tmp dir, it's: [x];y=\\z"}));
    ASSERT_FALSE(fractions.empty());
    EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
    EXPECT_EQ(fractions.back(), 1.0);

    const nlohmann::json probe = Probe(request.outPath);
    ASSERT_FALSE(probe.is_discarded());
    EXPECT_NEAR(Seconds(probe), 3.0, 0.05);
    ASSERT_EQ(probe["streams"].size(), 2u);
    EXPECT_EQ(probe["streams"][0]["codec_name"], "h264");
    EXPECT_EQ(probe["streams"][0]["width"], 1920);
    EXPECT_EQ(probe["streams"][0]["height"], 1080);
    EXPECT_EQ(probe["streams"][1]["codec_name"], "aac");

    // One second in: the source at 10 s, apart from the overlay at the bottom left and the rear
    // picture in its corner.
    const ClipLayout layout = ComputeClipLayout(1920, 1080, 1280, 720);
    const Picture clip = Frame(request.outPath, 1.0, 1920, 1080);
    const Picture front = Frame(kFront, 10.0, 1920, 1080);
    const Picture rear = Frame(kRear, 10.0, layout.insetWidth, layout.insetHeight);
    EXPECT_LT(clip.Diff(100, 420, 1100, 440, front, 100, 420), 3) << "the picture between them";
    EXPECT_GT(clip.Diff(40, 960, 400, 80, front, 40, 960), 25) << "the overlay";
    const int insetX = layout.insetX + layout.frame;
    const int insetY = layout.insetY + layout.frame;
    EXPECT_LT(clip.Diff(insetX, insetY, layout.insetWidth, layout.insetHeight, rear, 0, 0), 5) << "the inset";
    EXPECT_GT(clip.Diff(insetX, insetY, layout.insetWidth, layout.insetHeight, front, insetX, insetY), 25);

    // The fixes of 9, 10 and 11 s, one second apart.
    const std::string points = GpxPoints(result.gpxPath);
    EXPECT_EQ(points.substr(0, 2), "0 ");
    EXPECT_NE(points.find("\n1 48.137 11.57"), std::string::npos) << points;
    EXPECT_NE(points.find("\n2 48.137 11.57"), std::string::npos) << points;
    EXPECT_EQ(std::count(points.begin(), points.end(), '\n'), 3) << points;
}

// Through the command line: the one-camera AVI loop from 10 s to 14 s runs into the second
// recording of the group; a range past the group's end gives what exists.
TEST(ClipExportCard, CommandLineClipRunsIntoTheNextRecordingOfTheGroup) {
    TempDir dir;
    const std::string first = kCard + "AVI/DRV_0101.AVI";
    const std::string clipPath = dir / "span.mp4";
    int status = -1;
    nlohmann::json json = nlohmann::json::parse(
        Output({TRIVANE_INSPECT, "clip", first, "--from", "10000", "--to", "14000", "--out", clipPath}, &status),
        nullptr, false);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(json["result"], true) << json.dump();
    EXPECT_EQ(json["recordings"], 2);
    EXPECT_EQ(json["rearInset"], false);
    EXPECT_EQ(json["endedEarly"], false);
    EXPECT_NEAR(Seconds(Probe(clipPath)), 4.0, 0.05);
    // Either side of the join, the clip shows the recording it came from at that moment.
    const Picture before = Frame(clipPath, 1.0, 1920, 1080);
    const Picture after = Frame(clipPath, 3.0, 1920, 1080);
    EXPECT_LT(before.Diff(100, 420, 1700, 440, Frame(first, 11.0, 1920, 1080), 100, 420), 3);
    EXPECT_LT(after.Diff(100, 420, 1700, 440, Frame(kCard + "AVI/DRV_0102.AVI", 1.0, 1920, 1080), 100, 420), 3);
    const std::string points = GpxPoints(dir / "span.gpx");
    EXPECT_EQ(std::count(points.begin(), points.end(), '\n'), 4) << points;

    json = nlohmann::json::parse(
        Output({TRIVANE_INSPECT, "clip", first, "--from", "33000", "--to", "40000", "--out", dir / "end.mp4"}, &status),
        nullptr, false);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(json["endedEarly"], true) << json.dump();
    EXPECT_EQ(json["durationMs"], 3000);
    EXPECT_NEAR(Seconds(Probe(dir / "end.mp4")), 3.0, 0.05);

    json = nlohmann::json::parse(
        Output({TRIVANE_INSPECT, "clip", first, "--from", "0", "--to", "1000", "--out", clipPath}, &status), nullptr,
        false);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(json["result"], false);
    EXPECT_EQ(json["failure"], "target-exists");
    Output({TRIVANE_INSPECT, "clip", first, "--from", "x", "--to", "1000", "--out", clipPath}, &status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(test::FolderEntries(dir.Path()),
              (std::vector<std::string>{"end.gpx", "end.mp4", "span.gpx", "span.mp4"}));
}

// Canceled while ffmpeg encodes, or stopped by a full disk: no file under either name, no
// temporary file.
TEST(ClipExportCard, CancelAndAFullDiskLeaveNothing) {
    TempDir dir;
    ClipRequest request;
    request.recordings = {kFront};
    request.fromMs = 0;
    request.toMs = 15000;
    request.outPath = dir / "canceled.mp4";
    std::atomic<bool> cancel{false};
    const ClipResult canceled = RunClipExport(
        request, [&](const ClipProgress& p) { cancel = cancel || p.fraction > 0; }, cancel);
    EXPECT_EQ(canceled.failure, ClipFailure::Canceled);
    EXPECT_TRUE(test::FolderEntries(dir.Path()).empty());

    if (::geteuid() != 0) GTEST_SKIP() << "a full disk needs root to mount a small tmpfs";
    const std::string small = dir / "small";
    ASSERT_EQ(::mkdir(small.c_str(), 0755), 0);
    ASSERT_EQ(::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k"), 0);
    request.outPath = small + "/full.mp4";
    request.toMs = 3000;
    const std::atomic<bool> never{false};
    const ClipResult full = RunClipExport(request, {}, never);
    const std::vector<std::string> left = test::FolderEntries(small);
    ::umount2(small.c_str(), MNT_DETACH);
    EXPECT_EQ(full.failure, ClipFailure::NoSpace) << full.message;
    EXPECT_TRUE(left.empty());
}

}  // namespace
}  // namespace trivane
