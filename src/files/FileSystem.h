#pragma once

#include <string>

namespace trivane {

// Path joining and file-system questions with this system's meanings on Linux.

// Joins non-empty parts with one '/' between them (no separator added after a part ending in '/').
std::string JoinPath(const std::string& a, const std::string& b);

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);  // follows symbolic links
bool IsReadOnly(const std::string& path);   // no owner write bit

// The folder part of a path: "." for a bare name, "/" for a name at the root.
std::string ParentFolder(const std::string& path);
// Makes renames and creations in `folder` durable; failures are ignored.
void SyncFolder(const std::string& folder);

// Creates the folder and every missing parent; failures (an existing folder among them) are ignored.
void MakeDirectories(const std::string& path);

}  // namespace trivane
