#pragma once

#include <string>

namespace trivane {

// Re-encodes a PNG file as a JPEG file (quality 90), written atomically with the mode a new
// file gets. Returns success; on failure nothing under jpegPath has changed.
bool ConvertPngToJpeg(const std::string& pngPath, const std::string& jpegPath);

}  // namespace trivane
