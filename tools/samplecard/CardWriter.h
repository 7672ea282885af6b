#pragma once

#include <string>
#include <vector>

#include "samplecard/CardPlan.h"

namespace trivane::samplecard {

// Writes a planned card into `folder`: videos encoded by ffmpeg, private records appended,
// side files, read-only flags, and the hidden ".complete" marker last.
class CardWriter {
public:
    explicit CardWriter(std::string folder) : folder_(std::move(folder)) {}

    // ffmpeg on PATH with the H.264 encoder and the text overlay; false with `error` otherwise.
    static bool CheckFfmpeg(std::string& error);

    bool Write(const CardPlan& plan, std::string& error);

    // True when the folder holds a complete card of exactly this plan and these encoder settings.
    bool IsComplete(const CardPlan& plan) const;

    // Text of the marker: a digest of the plan and of every ffmpeg command line, so that a card
    // made by an older version of this tool is rewritten rather than reused.
    static std::string MarkerText(const CardPlan& plan);

    static constexpr const char* kCompleteMarker = ".complete";

private:
    static std::vector<std::string> EncodeArgs(const PlannedVideo& video, const std::string& path);
    bool Encode(const PlannedVideo& video, const std::string& path, std::string& error) const;
    std::string PathOf(const std::string& relative) const { return folder_ + "/" + relative; }

    std::string folder_;
};

}  // namespace trivane::samplecard
