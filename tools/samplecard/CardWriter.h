#pragma once

#include <string>

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

    static constexpr const char* kCompleteMarker = ".complete";

private:
    bool Encode(const PlannedVideo& video, const std::string& path, std::string& error) const;
    std::string PathOf(const std::string& relative) const { return folder_ + "/" + relative; }

    std::string folder_;
};

}  // namespace trivane::samplecard
