#pragma once

#include <cstddef>
#include <string>

namespace trivane {

struct FileText {
    enum class Status { Ok, Missing, Unreadable };
    Status status = Status::Missing;
    std::string text;
};

// Settings files are small; anything larger is not ours to parse or rewrite.
inline constexpr std::size_t kMaxSettingsFileSize = 1024 * 1024;

// Reads a regular file of at most maxSize bytes. Missing means "does not exist"; every other
// failure (a folder, no permission, too large) is Unreadable, so callers never overwrite it.
FileText ReadSmallFile(const std::string& path, std::size_t maxSize = kMaxSettingsFileSize);

}  // namespace trivane
