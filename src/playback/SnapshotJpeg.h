#pragma once

#include <string>

namespace trivane {

// Re-encodes a PNG file as a JPEG file (quality 90). Returns success; on failure the JPEG
// path is left untouched.
bool ConvertPngToJpeg(const std::string& pngPath, const std::string& jpegPath);

}  // namespace trivane
