#include "map/MapHostFailure.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace trivane {

std::string MapHostFailureText(MapHostFailure failure, int code)
{
    switch (failure) {
    case MapHostFailure::None: return {};
    case MapHostFailure::RuntimeMissing: return "Couldn't find Edge WebView2 Runtime. ";
    case MapHostFailure::RuntimeFailed: return "Edge runtime unable to start";
    case MapHostFailure::AccessDenied: return "Unable to create user data folder, Access Denied.";
    case MapHostFailure::FileInTheWay:
        return "User data folder cannot be created because a file with the same name already ";
    case MapHostFailure::Other: break;
    }
    char text[64];
    std::snprintf(text, sizeof text, "Failed to create WebView2 environment %x", static_cast<unsigned>(code));
    return text;
}

namespace {

MapHostFailure Classify(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS: return MapHostFailure::AccessDenied;
    case EEXIST:
    case ENOTDIR: return MapHostFailure::FileInTheWay;
    default: return MapHostFailure::Other;
    }
}

}  // namespace

MapHostFailure CreateProfileFolder(const std::string& folder, int& code)
{
    code = 0;
    if (folder.empty()) {
        code = ENOENT;
        return MapHostFailure::Other;
    }
    // Each component in turn, so that a file in place of a parent is told apart from permission.
    std::size_t end = 0;
    while (end != std::string::npos) {
        end = folder.find('/', end + 1);
        const std::string part = folder.substr(0, end);
        if (part.empty() || part == "/") continue;
        if (::mkdir(part.c_str(), 0700) == 0) continue;
        const int error = errno;
        struct stat st {};
        if (::stat(part.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode)) continue;
            code = ENOTDIR;
            return MapHostFailure::FileInTheWay;
        }
        code = error;
        return Classify(error);
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        code = errno;
        return Classify(code);
    }
    return MapHostFailure::None;
}

}  // namespace trivane
