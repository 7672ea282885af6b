#pragma once

#include <string>

namespace trivane {

// How an unlock, delete or copy of the ticked groups went: the files treated and the failures,
// with the first failing path and why it failed.
struct FileOperationReport {
    int treated = 0;
    int failures = 0;
    std::string firstFailedPath;
    std::string firstReason;

    void Fail(const std::string& path, const std::string& reason)
    {
        if (failures++ == 0) {
            firstFailedPath = path;
            firstReason = reason;
        }
    }
};

}  // namespace trivane
