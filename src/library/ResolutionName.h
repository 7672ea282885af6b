#pragma once

#include <string>

namespace trivane {

// Name of a picture size ("FHD", "HD", ...), else "WxH", else empty when either side is 0.
std::string ResolutionName(int width, int height);

}  // namespace trivane
