#pragma once

#include <string>

namespace trivane {

// Why the map's browser could not be created.
enum class MapHostFailure {
    None,
    RuntimeMissing,  // the browser's helper program is not installed
    RuntimeFailed,   // its renderer did not start
    AccessDenied,    // the profile folder cannot be created: permission
    FileInTheWay,    // a file stands where the profile folder (or a parent) should be
    Other,           // any other error; `code` tells which
};

// The message shown once, in the map host's own words.
std::string MapHostFailureText(MapHostFailure failure, int code);

// Creates `folder` and its parents (mode 0700 for new ones); None when it exists as a folder
// afterwards, else the failure with the errno in `code`.
MapHostFailure CreateProfileFolder(const std::string& folder, int& code);

}  // namespace trivane
