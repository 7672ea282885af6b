#include "library/FrontCompanionPath.h"

#include <sys/stat.h>

namespace trivane {

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string CompanionPath(const std::string& path, char camera) {
    std::string copy = path;
    const std::size_t dot = copy.rfind('.');
    if (dot == std::string::npos || dot == 0) return {};
    copy[dot - 1] = camera;
    if (IsRegularFile(copy)) return copy;

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
    if (separators <= 3) copy[pos] = camera;
    return IsRegularFile(copy) ? copy : std::string();
}

}  // namespace

std::string FrontCompanionPath(const std::string& path) { return CompanionPath(path, 'F'); }

std::string RearCompanionPath(const std::string& path) { return CompanionPath(path, 'R'); }

}  // namespace trivane
