#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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

// Replaces the file's content through a temporary file in the same folder and a rename, so the
// file holds either the old or the new content whatever happens. A symbolic link is followed
// and its target replaced; an existing file without the owner write bit is left alone (false).
bool WriteFileAtomically(const std::string& path, std::string_view content);

}  // namespace trivane
