#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace trivane {

struct CopyHooks {
    // Asked only for an existing target that may be replaced; true replaces it. Without it an
    // existing target is kept.
    std::function<bool(const std::string& target)> approveOverwrite;
    // Called after every chunk.
    std::function<void()> keepResponsive;
    std::size_t chunkBytes = std::size_t{8} << 20;
};

struct CopyResult {
    enum class Outcome { Copied, Declined, Failed };
    Outcome outcome = Outcome::Failed;
    std::string reason;      // why it failed
    std::string failedPath;  // the source or the target, whichever failed

    bool Copied() const { return outcome == Outcome::Copied; }
};

inline constexpr const char* kTargetIsSource = "the target is the source itself";
inline constexpr const char* kTargetReadOnly = "the target is read-only";

// Copies the regular file `source` to `target`, whose folder must exist. The data goes into a
// hidden temporary beside the target, which gets the source's permission bits and times, is
// synced, and only then takes the target's name; on any failure the temporary is removed and the
// target is as it was. A target that is the source itself (same device and inode, links
// followed) or is read-only is never touched; any other existing target is replaced only with
// approval.
CopyResult SafeCopy(const std::string& source, const std::string& target, const CopyHooks& hooks);

}  // namespace trivane
