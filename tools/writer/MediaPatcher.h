#pragma once

#include <string>
#include <vector>

#include "writer/AviWriter.h"
#include "writer/MovWriter.h"

namespace trivane::writer {

// Post-processing of real media (made by ffmpeg): private chunks and boxes are added without
// moving any existing byte, so sample offsets in the indexes stay valid.

// Appends `chunks` at the end of the RIFF form (the end of the file) and updates the RIFF size.
// Fails without changing the file when it is not a single RIFF form that ends where the file ends.
bool AppendAviChunks(const std::string& path, const std::vector<RiffNode>& chunks, std::string* error = nullptr);

enum class BoxPlacement {
    TopLevel,    // new top-level boxes at the end of the file (after moov when moov is last)
    InsideMoov,  // new children at the end of moov; needs moov to be the last top-level box
};

// Adds `boxes` and updates the enclosing size. Fails without changing the file when the top-level
// boxes do not tile the file, or InsideMoov is asked and moov is not last.
bool AppendMovBoxes(const std::string& path, const std::vector<Box>& boxes, BoxPlacement placement,
                    std::string* error = nullptr);

}  // namespace trivane::writer
