#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "TestCard.h"
#include "export/ClipExport.h"
#include "export/ClipSpan.h"

// The export's failure paths and its cancel, with stand-ins for ffprobe and ffmpeg (shell scripts)
// so that they run in a moment; the real programs are used by the end-to-end suite.
namespace trivane {
namespace {

using test::TempDir;

// Every stand-in ffprobe reports a 12 s recording with sound.
constexpr const char* kProbe =
    "echo '{\"streams\":[{\"codec_type\":\"video\",\"width\":320,\"height\":240},"
    "{\"codec_type\":\"audio\"}],\"format\":{\"duration\":\"12.000000\"}}'\n";
// A stand-in ffmpeg learns its output file from its last argument.
constexpr const char* kOutput = "for a; do last=$a; done\nout=${last#file:}\n";

std::string Script(const TempDir& dir, const std::string& name, const std::string& body) {
    const std::string path = dir / name;
    test::WriteText(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
    return path;
}

class ClipExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteAvi(card / "FILE0001.AVI", "2024-03-15 08:40:00", 12);
        test::WriteAvi(card / "FILE0002.AVI", "2024-03-15 08:40:12", 12);
        request.recordings = {card / "FILE0001.AVI", card / "FILE0002.AVI"};
        request.fromMs = 10000;
        request.toMs = 13000;
        request.outPath = out / "clip.mp4";
        request.tools.ffprobe = Script(tools, "ffprobe", kProbe);
    }

    ClipResult Run(const std::string& ffmpegBody) {
        request.tools.ffmpeg = Script(tools, "ffmpeg", ffmpegBody);
        return RunClipExport(request, {}, never);
    }

    std::vector<std::string> OutFiles() const { return test::FolderEntries(out.Path()); }

    TempDir card;
    TempDir tools;
    TempDir out;
    ClipRequest request;
    const std::atomic<bool> never{false};
};

TEST(ClipSpan, CutsTheRangeAcrossRecordingsAndEndsWithTheLast) {
    const std::int64_t lengths[] = {12000, 12000, 5000};
    const ClipSpan across = PlanClipSpan(lengths, 10000, 26000);
    ASSERT_EQ(across.segments.size(), 3u);
    EXPECT_EQ(across.segments[0].inMs, 10000);
    EXPECT_EQ(across.segments[0].lengthMs, 2000);
    EXPECT_EQ(across.segments[1].clipStartMs, 2000);
    EXPECT_EQ(across.segments[1].lengthMs, 12000);
    EXPECT_EQ(across.segments[2].inMs, 0);
    EXPECT_EQ(across.segments[2].lengthMs, 2000);
    EXPECT_FALSE(across.endedEarly);

    const ClipSpan late = PlanClipSpan(lengths, 13000, 40000);
    ASSERT_EQ(late.segments.size(), 2u);
    EXPECT_EQ(late.segments[0].recording, 1u);
    EXPECT_EQ(late.segments[0].inMs, 1000);
    EXPECT_TRUE(late.endedEarly);
    EXPECT_EQ(late.toMs, 29000);

    EXPECT_TRUE(PlanClipSpan(lengths, 29000, 30000).segments.empty());  // starts at the end
    EXPECT_TRUE(PlanClipSpan(lengths, 5000, 5050).segments.empty());    // shorter than a clip may be
    EXPECT_TRUE(PlanClipSpan(lengths, 5000, 4000).segments.empty());
}

TEST_F(ClipExportTest, SucceedsAcrossRecordingsAndReportsARangeThatRunsPastThem) {
    ClipResult result = Run(std::string(kOutput) + "echo encoded > \"$out\"\n");
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.recordingsUsed, 2u);
    EXPECT_FALSE(result.endedEarly);
    EXPECT_EQ(OutFiles(), (std::vector<std::string>{"clip.gpx", "clip.mp4"}));
    EXPECT_EQ(test::ReadText(out / "clip.mp4"), "encoded\n");

    request.outPath = out / "late.mp4";
    request.toRecording = 1;  // the end counts from the second recording's start
    request.toMs = 20000;
    result = Run(std::string(kOutput) + "echo encoded > \"$out\"\n");
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_TRUE(result.endedEarly);
    EXPECT_EQ(result.toMs, 24000);
    EXPECT_NE(result.message.find("24.000 s"), std::string::npos) << result.message;

    request.fromMs = 24000;
    request.outPath = out / "none.mp4";
    result = Run("exit 0\n");
    EXPECT_EQ(result.failure, ClipFailure::BadRequest);
    EXPECT_EQ(OutFiles(), (std::vector<std::string>{"clip.gpx", "clip.mp4", "late.gpx", "late.mp4"}));
}

// Whatever fails, nothing is under the clip's or the GPX file's name and no temporary file is left;
// a file that was there stays as it was.
TEST_F(ClipExportTest, FailuresLeaveNoFileAndNamesWhatWentWrong) {
    const std::string writes = std::string(kOutput) + "echo partial > \"$out\"\n";
    ClipResult result = Run(writes + "echo 'Error while filtering: Invalid argument' >&2\n"
                                     "echo 'Conversion failed!' >&2\nexit 1\n");
    EXPECT_EQ(result.failure, ClipFailure::ToolFailed);
    EXPECT_NE(result.message.find("exit status 1"), std::string::npos);
    EXPECT_NE(result.message.find("Conversion failed!"), std::string::npos) << result.message;
    EXPECT_TRUE(OutFiles().empty());

    result = Run(writes + "echo 'av_interleaved_write_frame(): No space left on device' >&2\nexit 1\n");
    EXPECT_EQ(result.failure, ClipFailure::NoSpace);
    EXPECT_TRUE(OutFiles().empty());

    request.tools.ffmpeg = tools / "missing/ffmpeg";
    result = RunClipExport(request, {}, never);
    EXPECT_EQ(result.failure, ClipFailure::ToolMissing);
    EXPECT_NE(result.message.find("not found"), std::string::npos);
    request.tools.ffprobe = "trivane-no-such-ffprobe";
    EXPECT_EQ(RunClipExport(request, {}, never).failure, ClipFailure::ToolMissing);
    request.tools.ffprobe = Script(tools, "ffprobe", "echo 'moov atom not found' >&2\nexit 1\n");
    result = Run(writes);
    EXPECT_EQ(result.failure, ClipFailure::SourceUnreadable);
    EXPECT_NE(result.message.find("moov atom not found"), std::string::npos);
    request.tools.ffprobe = Script(tools, "ffprobe", kProbe);
    EXPECT_TRUE(OutFiles().empty());
    // A FIFO under a recording's name is not opened (a reader would wait for a writer forever).
    ASSERT_EQ(::mkfifo((card / "FILE0003.AVI").c_str(), 0644), 0);
    const std::vector<std::string> recordings = request.recordings;
    request.recordings = {card / "FILE0003.AVI"};
    EXPECT_EQ(Run(writes).failure, ClipFailure::SourceUnreadable);
    request.recordings = recordings;
    ::unlink((card / "FILE0003.AVI").c_str());

    // Existing files are replaced only when the user agreed; never a recording.
    test::WriteText(out / "clip.gpx", "older route");
    EXPECT_EQ(Run(writes).failure, ClipFailure::TargetExists);
    EXPECT_EQ(OutFiles(), std::vector<std::string>{"clip.gpx"});
    request.replaceExisting = true;
    ASSERT_TRUE(Run(writes).ok);
    EXPECT_NE(test::ReadText(out / "clip.gpx"), "older route");
    request.outPath = card / "FILE0002.AVI";
    const std::string recording = test::ReadText(card / "FILE0002.AVI");
    EXPECT_EQ(Run(writes).failure, ClipFailure::TargetIsSource);
    EXPECT_EQ(test::ReadText(card / "FILE0002.AVI"), recording);
    EXPECT_EQ(test::FolderEntries(card.Path()), (std::vector<std::string>{"FILE0001.AVI", "FILE0002.AVI"}));

    // Folders that cannot take the clip.
    request.outPath = out / "missing/clip.mp4";
    EXPECT_EQ(Run(writes).failure, ClipFailure::TargetFolder);
    test::MakeFolder(out / "locked");
    const std::string locked = out / "locked";
    const bool mounted = ::geteuid() == 0 && ::mount("tmpfs", locked.c_str(), "tmpfs", MS_RDONLY, "size=64k") == 0;
    if (!mounted) ::chmod(locked.c_str(), 0555);  // root writes there anyway: it mounts a read-only tmpfs
    request.outPath = locked + "/clip.mp4";
    result = Run(writes);
    if (mounted) ::umount2(locked.c_str(), MNT_DETACH);
    EXPECT_EQ(result.failure, ClipFailure::TargetFolder);
    EXPECT_NE(result.message.find(mounted ? "Read-only file system" : "Permission denied"), std::string::npos)
        << result.message;
    EXPECT_TRUE(test::FolderEntries(locked).empty());
}

// The window cancels from its own thread while the export runs on a worker: the export returns at
// once, its ffmpeg is gone (not even a zombie is left) and so are its files.
TEST_F(ClipExportTest, CancelFromAnotherThreadKillsAndReapsFfmpeg) {
    request.tools.ffmpeg = Script(tools, "ffmpeg",
                                  std::string(kOutput) + "echo $$ > '" + (tools / "pid") + "'\n"
                                  "echo partial > \"$out\"\n"
                                  "printf 'frame=10\\nout_time_us=1500000\\nprogress=continue\\n' >&3\n"
                                  "exec sleep 60\n");
    std::atomic<bool> cancel{false};
    std::atomic<double> fraction{-1};
    ClipResult result;
    std::thread worker([&] {
        result = RunClipExport(request, [&](const ClipProgress& p) { fraction = p.fraction; }, cancel);
    });
    const auto start = std::chrono::steady_clock::now();
    while (fraction.load() <= 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_DOUBLE_EQ(fraction.load(), 0.5);  // 1.5 s of a 3 s clip
    const auto canceled = std::chrono::steady_clock::now();
    cancel = true;
    worker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - canceled, std::chrono::seconds(2));
    EXPECT_EQ(result.failure, ClipFailure::Canceled);
    const pid_t pid = std::stoi(test::ReadText(tools / "pid"));
    EXPECT_EQ(::kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
    EXPECT_TRUE(OutFiles().empty());
}

}  // namespace
}  // namespace trivane
