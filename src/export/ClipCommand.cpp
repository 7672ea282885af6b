#include "export/ClipCommand.h"

#include <algorithm>
#include <cstdio>

namespace trivane {

namespace {

int Even(int value) { return std::max(2, value - value % 2); }

std::string Label(const char* kind, std::size_t index) { return "[" + std::string(kind) + std::to_string(index) + "]"; }

}  // namespace

ClipLayout ComputeClipLayout(int frontWidth, int frontHeight, int rearWidth, int rearHeight) {
    ClipLayout layout;
    layout.width = Even(frontWidth);
    layout.height = Even(frontHeight);
    if (rearWidth <= 0 || rearHeight <= 0) return layout;
    layout.inset = true;
    layout.frame = std::max(2, layout.width / 480);
    layout.insetWidth = Even(layout.width / 3);
    layout.insetHeight = Even(static_cast<int>(static_cast<long long>(layout.insetWidth) * rearHeight / rearWidth));
    layout.insetHeight = std::min(layout.insetHeight, Even(layout.height / 2));
    const int margin = std::max(4, layout.width / 60);
    layout.insetX = layout.width - margin - layout.insetWidth - 2 * layout.frame;
    layout.insetY = margin;
    return layout;
}

std::string FfmpegSeconds(std::int64_t ms) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld.%03lld", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
    return buffer;
}

std::string EscapeFilterValue(std::string_view value) {
    std::string option;
    for (const char c : value) {
        if (c == '\\' || c == '\'' || c == ':') option += '\\';
        option += c;
    }
    std::string graph;
    for (const char c : option) {
        if (c == '\\' || c == '\'' || c == '[' || c == ']' || c == ',' || c == ';') graph += '\\';
        graph += c;
    }
    return graph;
}

std::vector<std::string> ClipFfmpegArgs(const ClipCommand& command) {
    const ClipLayout& layout = command.layout;
    std::vector<std::string> args{command.ffmpeg, "-nostdin", "-hide_banner", "-loglevel", "error", "-nostats",
                                  "-progress", "pipe:3", "-stats_period", "0.5"};
    const std::string size = std::to_string(layout.width) + ":" + std::to_string(layout.height);
    const std::string frameWidth = std::to_string(layout.insetWidth + 2 * layout.frame);
    const std::string frameHeight = std::to_string(layout.insetHeight + 2 * layout.frame);

    std::string graph;
    std::string concatInputs;
    int inputIndex = 0;
    for (std::size_t i = 0; i < command.inputs.size(); ++i) {
        const ClipInput& input = command.inputs[i];
        const std::string in = FfmpegSeconds(input.segment.inMs);
        const std::string length = FfmpegSeconds(input.segment.lengthMs);
        for (const std::string& arg : {std::string("-ss"), in, std::string("-t"), length, std::string("-i"),
                                       FileUrl(input.frontPath)}) {
            args.push_back(arg);
        }
        const int front = inputIndex++;
        graph += "[" + std::to_string(front) + ":v]scale=" + size +
                 ":force_original_aspect_ratio=decrease,pad=" + size +
                 ":(ow-iw)/2:(oh-ih)/2,setsar=1,format=yuv420p" + Label("v", i) + ";";
        concatInputs += Label("v", i);

        if (layout.inset) {
            if (!input.rearPath.empty()) {
                for (const std::string& arg : {std::string("-ss"), in, std::string("-t"), length, std::string("-i"),
                                               FileUrl(input.rearPath)}) {
                    args.push_back(arg);
                }
                const int rear = inputIndex++;
                graph += "[" + std::to_string(rear) + ":v]scale=" + std::to_string(layout.insetWidth) + ":" +
                         std::to_string(layout.insetHeight) + ",setsar=1,pad=" + frameWidth + ":" + frameHeight + ":" +
                         std::to_string(layout.frame) + ":" + std::to_string(layout.frame) +
                         ":white,format=yuv420p" + Label("r", i) + ";";
            } else {
                // A segment without a rear file keeps a black inset, so the rear pictures after it stay in step.
                graph += "color=c=black:s=" + frameWidth + "x" + frameHeight + ":d=" + length + ",format=yuv420p" +
                         Label("r", i) + ";";
            }
            concatInputs += Label("r", i);
        }
        if (command.audio) {
            if (input.front.hasAudio) {
                graph += "[" + std::to_string(front) + ":a]";
            } else {
                graph += "anullsrc=r=48000:cl=stereo,atrim=duration=" + length + ",";
            }
            graph += "aresample=48000,aformat=sample_fmts=fltp:channel_layouts=stereo" + Label("a", i) + ";";
            concatInputs += Label("a", i);
        }
    }
    graph += concatInputs + "concat=n=" + std::to_string(command.inputs.size()) + ":v=" + (layout.inset ? "2" : "1") +
             ":a=" + (command.audio ? "1" : "0") + "[front]" + (layout.inset ? "[rear]" : "") +
             (command.audio ? "[sound]" : "") + ";";
    std::string picture = "[front]";
    if (layout.inset) {
        graph += "[front][rear]overlay=x=" + std::to_string(layout.insetX) + ":y=" + std::to_string(layout.insetY) +
                 "[inset];";
        picture = "[inset]";
    }
    if (!command.overlayPath.empty()) {
        graph += picture + "ass=filename=" + EscapeFilterValue(command.overlayPath) + "[picture]";
    } else {
        graph += picture + "null[picture]";
    }

    args.emplace_back("-filter_complex");
    args.push_back(graph);
    args.emplace_back("-map");
    args.emplace_back("[picture]");
    if (command.audio) {
        args.emplace_back("-map");
        args.emplace_back("[sound]");
    }
    for (const char* arg : {"-c:v", kClipVideoEncoder, "-preset", kClipPreset, "-crf", kClipCrf, "-pix_fmt", "yuv420p",
                            "-profile:v", "high"}) {
        args.emplace_back(arg);
    }
    if (command.audio) {
        for (const char* arg : {"-c:a", "aac", "-b:a", kClipAudioBitrate}) args.emplace_back(arg);
    }
    for (const char* arg : {"-map_metadata", "-1", "-map_chapters", "-1", "-movflags", "+faststart"}) {
        args.emplace_back(arg);
    }
    args.emplace_back("-t");
    args.push_back(FfmpegSeconds(command.lengthMs));
    for (const char* arg : {"-f", "mp4", "-y"}) args.emplace_back(arg);
    args.push_back(FileUrl(command.outputPath));
    return args;
}

}  // namespace trivane
