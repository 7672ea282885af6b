#include "samplecard/CardWriter.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "samplecard/Process.h"
#include "writer/AviWriter.h"
#include "writer/MediaPatcher.h"
#include "writer/MovWriter.h"

namespace trivane::samplecard {

namespace {

namespace fs = std::filesystem;

const char* FindFont() {
    for (const char* font : {"/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
                             "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}) {
        if (fs::exists(font)) return font;
    }
    return nullptr;  // drawtext then asks fontconfig
}

// Flags that keep ffmpeg's output identical from run to run: one encoder thread, no version
// strings or dates in the headers.
void AddReproducibleFlags(std::vector<std::string>& args) {
    for (const char* arg : {"-threads", "1", "-fflags", "+bitexact", "-flags:v", "+bitexact", "-flags:a",
                            "+bitexact", "-map_metadata", "-1", "-map_chapters", "-1"}) {
        args.emplace_back(arg);
    }
}

// The caption: camera label and the recording's wall clock, advancing with the picture.
std::string CaptionFilter(const PlannedVideo& video) {
    std::string filter = video.channel == Channel::Rear ? "hflip," : "";
    filter += "drawtext=";
    if (const char* font = FindFont()) filter += std::string("fontfile=") + font + ":";
    filter += "fontsize=" + std::to_string(video.height / 18) +
              ":fontcolor=white:box=1:boxcolor=black@0.6:boxborderw=8:x=w/30:y=h/20:text='";
    filter += video.channel == Channel::Rear ? "REAR " : "FRONT ";
    // ffmpeg's own escaping: "\:" inside the expansion, "\\\:" inside its strftime format.
    filter += R"(%{pts\:gmtime\:)" + std::to_string(video.start.FieldSeconds()) + R"(\:%Y-%m-%d %H\\\:%M\\\:%S}')";
    return filter;
}

bool MakeWritable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return true;  // absent
    return ::chmod(path.c_str(), st.st_mode | S_IWUSR) == 0;
}

bool ClearWriteBits(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    return ::chmod(path.c_str(), st.st_mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

std::string CardWriter::MarkerText(const CardPlan& plan) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    auto mix = [&hash](const void* data, std::size_t length) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < length; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
        const unsigned char separator = 0xFF;
        hash = (hash ^ separator) * 1099511628211ull;
    };
    auto mixText = [&mix](const std::string& text) { mix(text.data(), text.size()); };
    for (const PlannedVideo& video : plan.videos) {
        for (const std::string& arg : EncodeArgs(video, video.relativePath)) mixText(arg);
        for (const writer::PrivateRecord& record : video.records) {
            mixText(record.id);
            mix(record.payload.data(), record.payload.size());
        }
        const int flags[] = {static_cast<int>(video.placement), video.readOnly ? 1 : 0};
        mix(flags, sizeof flags);
    }
    for (const PlannedText& text : plan.sideFiles) {
        mixText(text.relativePath);
        mixText(text.text);
    }
    char line[64];
    std::snprintf(line, sizeof line, "trivane sample card %016llx\n", static_cast<unsigned long long>(hash));
    return line;
}

bool CardWriter::IsComplete(const CardPlan& plan) const {
    // The marker is one short line; anything longer is not ours.
    std::FILE* file = std::fopen(PathOf(kCompleteMarker).c_str(), "rb");
    if (file == nullptr) return false;
    char text[128];
    const std::size_t length = std::fread(text, 1, sizeof text, file);
    std::fclose(file);
    return std::string(text, length) == MarkerText(plan);
}

bool CardWriter::CheckFfmpeg(std::string& error) {
    std::vector<std::string> probe{"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-f", "lavfi",
                                   "-i", "testsrc2=size=64x64:rate=1:duration=1"};
    probe.emplace_back("-vf");
    std::string overlay = "drawtext=text=x";
    if (const char* font = FindFont()) overlay += std::string(":fontfile=") + font;
    probe.push_back(overlay);
    for (const char* arg : {"-c:v", "libx264", "-f", "null", "-"}) probe.emplace_back(arg);
    const int status = RunProgram(probe, true);
    if (status == -1 && RunProgram({"ffmpeg", "-version"}, true) == -1) {
        error = "ffmpeg was not found on PATH; install it (Debian package ffmpeg) and run again";
        return false;
    }
    if (status != 0) {
        error = "ffmpeg cannot encode H.264 with a text overlay (it needs libx264 and the drawtext filter)";
        return false;
    }
    return true;
}

std::vector<std::string> CardWriter::EncodeArgs(const PlannedVideo& video, const std::string& path) {
    const std::string size = std::to_string(video.width) + "x" + std::to_string(video.height);
    const std::string duration = std::to_string(video.seconds);
    std::vector<std::string> args{"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                                  "-f", "lavfi", "-i",
                                  "testsrc2=size=" + size + ":rate=" + std::to_string(kFramesPerSecond) +
                                      ":duration=" + duration,
                                  "-f", "lavfi", "-i",
                                  std::string("sine=frequency=") + (video.channel == Channel::Rear ? "330" : "440") +
                                      ":sample_rate=48000:duration=" + duration,
                                  "-vf", CaptionFilter(video),
                                  "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p",
                                  "-g", std::to_string(kFramesPerSecond),
                                  "-b:v", video.channel == Channel::Rear ? "500k" : "1000k"};
    if (video.container == ContainerKind::Avi) {
        for (const char* arg : {"-c:a", "pcm_s16le", "-ar", "16000", "-ac", "1"}) args.emplace_back(arg);
    } else {
        for (const char* arg : {"-c:a", "aac", "-b:a", "48k"}) args.emplace_back(arg);
    }
    AddReproducibleFlags(args);
    args.emplace_back("-f");
    args.emplace_back(video.container == ContainerKind::Avi ? "avi"
                      : video.container == ContainerKind::Ts ? "mpegts"
                                                             : "mov");
    args.push_back(path);
    return args;
}

bool CardWriter::Encode(const PlannedVideo& video, const std::string& path, std::string& error) const {
    const int status = RunProgram(EncodeArgs(video, path), true);
    if (status != 0) {
        error = "ffmpeg failed (status " + std::to_string(status) + ") on " + path;
        return false;
    }
    return true;
}

bool CardWriter::Write(const CardPlan& plan, std::string& error) {
    std::error_code ec;
    const std::string marker = PathOf(kCompleteMarker);
    fs::create_directories(folder_, ec);
    fs::remove(marker, ec);

    std::vector<std::string> relativePaths;
    for (const PlannedVideo& video : plan.videos) relativePaths.push_back(video.relativePath);
    for (const PlannedText& text : plan.sideFiles) relativePaths.push_back(text.relativePath);
    for (const std::string& relative : relativePaths) {
        const std::string path = PathOf(relative);
        fs::create_directories(fs::path(path).parent_path(), ec);
        if (ec) {
            error = "cannot create the folder of " + path + ": " + ec.message();
            return false;
        }
        // A read-only file from an earlier run must not stop the rewrite.
        MakeWritable(path);
        fs::remove(path, ec);
    }

    for (std::size_t n = 0; n < plan.videos.size(); ++n) {
        const PlannedVideo& video = plan.videos[n];
        const std::string path = PathOf(video.relativePath);
        const std::string partial = path + ".part";
        std::printf("[%zu/%zu] %s\n", n + 1, plan.videos.size(), video.relativePath.c_str());
        std::fflush(stdout);
        if (!Encode(video, partial, error)) return false;

        std::string patchError;
        bool patched = true;
        if (video.container == ContainerKind::Avi)
            patched = writer::AppendAviChunks(partial, writer::PrivateChunks(video.records), &patchError);
        else if (video.container == ContainerKind::Mov)
            patched = writer::AppendMovBoxes(partial, writer::PrivateBoxes(video.records), video.placement,
                                             &patchError);
        if (!patched) {
            error = "cannot add telemetry: " + patchError;
            return false;
        }
        fs::rename(partial, path, ec);
        if (ec) {
            error = "cannot rename " + partial + ": " + ec.message();
            return false;
        }
    }

    for (const PlannedText& text : plan.sideFiles) {
        const writer::Bytes bytes(text.text.begin(), text.text.end());
        if (!writer::Blob(bytes).WriteFile(PathOf(text.relativePath), &error)) return false;
    }
    for (const PlannedVideo& video : plan.videos) {
        if (video.readOnly && !ClearWriteBits(PathOf(video.relativePath))) {
            error = "cannot make " + video.relativePath + " read-only";
            return false;
        }
    }
    // Last, so that a card with the marker is always whole.
    const std::string done = MarkerText(plan);
    return writer::Blob(writer::Bytes(done.begin(), done.end())).WriteFile(marker, &error);
}

}  // namespace trivane::samplecard
