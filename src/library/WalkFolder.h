#pragma once

#include <string>

namespace trivane {

using WalkCallback = void (*)(const std::string& root, const std::string& relativeFolder, const std::string& name,
                              bool isDirectory, void* context);

// Depth-first walk below `root` in the order the file system lists entries. Hidden entries (a name
// beginning with '.', or the FAT hidden/system attributes on vfat) are skipped, symbolic links to
// folders are not followed, and a folder that cannot be opened is skipped. The callback gets the
// root with a trailing '/'. Returns false, calling nothing, when `root` is not an existing folder.
bool WalkFolder(const std::string& root, WalkCallback callback, void* context);

}  // namespace trivane
