#include "library/FrontCompanionPath.h"

#include "files/FileSystem.h"

namespace trivane {

std::string FrontCompanionPath(const std::string& path) {
    std::string copy = path;
    const std::size_t dot = copy.rfind('.');
    if (dot == std::string::npos || dot == 0) return {};
    copy[dot - 1] = 'F';
    if (PathExists(copy)) return copy;

    const std::size_t slash = copy.rfind('/');
    if (slash == std::string::npos) return {};
    // Step left over at most three separators; four or more leave the copy as it is.
    std::size_t pos = slash;
    int separators = 0;
    while (copy[pos] == '/' && separators < 4) {
        ++separators;
        if (pos == 0) return {};
        --pos;
    }
    if (separators <= 3) copy[pos] = 'F';
    return PathExists(copy) ? copy : std::string();
}

}  // namespace trivane
