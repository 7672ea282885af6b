// bench-parse [--count N] [--keep] [--no-exiftool]
// Writes a card of sparse recordings to a temporary folder, parses every file with the
// container parsers, then runs `exiftool -fast -j` once over the same files and compares.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchCard.h"
#include "telemetry/CQenVideoParser.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Runs exiftool over the files listed in an argument file; output is discarded. -1 when it
// cannot be started.
int RunExiftool(const std::string& argFile) {
    const char* argv[] = {"exiftool", "-fast", "-j", "-@", argFile.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "exiftool", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    int count = 1000;
    bool keep = false;
    bool exiftool = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--count") == 0 && i + 1 < argc)
            count = std::clamp(std::atoi(argv[++i]), 1, 100000);
        else if (std::strcmp(argv[i], "--keep") == 0)
            keep = true;
        else if (std::strcmp(argv[i], "--no-exiftool") == 0)
            exiftool = false;
        else {
            std::fprintf(stderr, "usage: bench-parse [--count N] [--keep] [--no-exiftool]\n");
            return 2;
        }
    }

    std::string pattern = (std::filesystem::temp_directory_path() / "trivane-bench-parse-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("bench-parse: mkdtemp");
        return 1;
    }
    const std::string folder = pattern;

    std::string error;
    const auto writeStart = Clock::now();
    const std::vector<trivane::bench::BenchFile> files = trivane::bench::WriteBenchCard(folder, count, error);
    if (files.empty()) {
        std::fprintf(stderr, "bench-parse: %s\n", error.c_str());
        return 1;
    }
    std::uint64_t totalSize = 0;
    for (const auto& f : files) totalSize += f.size;
    std::printf("card:      %zu recordings (AVI and MOV alternating), %.1f GB apparent size (sparse), written in %.2f s\n",
                files.size(), static_cast<double>(totalSize) / 1e9, Seconds(Clock::now() - writeStart));
    std::printf("           in %s\n", folder.c_str());

    // Parse every file the way the catalogue does: one parser per file, chosen by the name.
    std::uint64_t readCalls = 0, bytesRead = 0, maxBytes = 0, maxCalls = 0;
    int failures = 0;
    const auto parseStart = Clock::now();
    for (const auto& f : files) {
        trivane::ContainerInfo info;
        auto parser = trivane::CreateParserForName(f.name);
        parser->SetInfo(&info);
        if (parser->Parse(f.path) != 0 || info.gpsSize == 0 || info.gsensorSize == 0) ++failures;
        const trivane::ReadStats& stats = parser->LastReadStats();
        readCalls += stats.readCalls;
        bytesRead += stats.bytesRead;
        maxBytes = std::max<std::uint64_t>(maxBytes, stats.bytesRead);
        maxCalls = std::max<std::uint64_t>(maxCalls, stats.readCalls);
    }
    const double parseSeconds = Seconds(Clock::now() - parseStart);
    const double n = static_cast<double>(files.size());
    const double bytesPerRecording = static_cast<double>(bytesRead) / n;
    std::printf("parse:     %.3f s, %.0f files/s, %d failed\n", parseSeconds, n / parseSeconds, failures);
    std::printf("reads:     %.2f KiB per recording (max %.2f KiB), %.2f read calls per recording (max %llu)\n",
                bytesPerRecording / 1024.0, static_cast<double>(maxBytes) / 1024.0,
                static_cast<double>(readCalls) / n, static_cast<unsigned long long>(maxCalls));

    bool targetsMet = failures == 0 && bytesPerRecording < 16 * 1024.0;
    if (exiftool) {
        const std::string argFile = folder + "/exiftool.args";
        {
            std::ofstream out(argFile);
            for (const auto& f : files) out << f.path << '\n';
        }
        const auto exifStart = Clock::now();
        const int status = RunExiftool(argFile);
        const double exifSeconds = Seconds(Clock::now() - exifStart);
        if (status < 0) {
            std::printf("exiftool:  not available (install libimage-exiftool-perl)\n");
        } else {
            const double ratio = exifSeconds / parseSeconds;
            std::printf("exiftool:  %.3f s, %.0f files/s (exiftool -fast -j, one run, exit status %d)\n", exifSeconds,
                        n / exifSeconds, status);
            std::printf("ratio:     parsers are %.1fx faster than exiftool (target >= 20x: %s)\n", ratio,
                        ratio >= 20 ? "met" : "MISSED");
            targetsMet = targetsMet && ratio >= 20;
        }
    }
    std::printf("read size: target < 16 KiB per recording: %s\n", bytesPerRecording < 16 * 1024.0 ? "met" : "MISSED");

    if (!keep) {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    return targetsMet ? 0 : 1;
}
