#pragma once

#include <string>

namespace trivane {

// What a copy of the ticked groups needs of the window: the overwrite question, and a chance to
// keep painting between files and between chunks of a large file.
class IFileOperationHost {
public:
    virtual ~IFileOperationHost() = default;
    // `targetPath` exists; true replaces it.
    virtual bool ConfirmOverwrite(const std::string& targetPath) = 0;
    virtual void KeepResponsive() = 0;
};

}  // namespace trivane
