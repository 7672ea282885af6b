#include "library/ResolutionName.h"

#include <cstdio>

namespace trivane {

namespace {

struct Resolution {
    int width;
    int height;
    const char* name;
};

// Looked up from the first row; the last row never matches a stored size.
constexpr Resolution kResolutions[] = {
    {2048, 1600, "QXGA"}, {2048, 1536, "QXGA"}, {1920, 1080, "FHD"}, {1600, 1200, "UXGA"},
    {1280, 1024, "SXGA"}, {1280, 720, "HD"},    {1152, 870, "MAC"},  {1024, 768, "XGA"},
    {800, 600, "SVGA"},   {720, 480, "480P"},   {640, 480, "VGA"},   {320, 240, "CIF"},
    {-1, -1, ""},
};

}  // namespace

std::string ResolutionName(int width, int height) {
    for (const Resolution& r : kResolutions) {
        if (r.width == width && r.height == height) return r.name;
    }
    if (width == 0 || height == 0) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%dx%d", width, height);
    return text;
}

}  // namespace trivane
