#pragma once

#include <string>

namespace trivane {

// Renames `from` to `to` only when nothing exists under `to`. Returns 0, or the errno value of
// the failure (EEXIST when `to` exists); on failure both names are as they were.
//
// renameat2(RENAME_NOREPLACE) where the file system has it; otherwise a hard link and an unlink
// (the link refuses an existing target); where hard links are impossible too (vfat), a rename
// after a look at the target, which leaves a moment in which another process could slip a file in.
int RenameNoReplace(const std::string& from, const std::string& to);

// The two fallbacks on their own, with the same contract.
int RenameByLink(const std::string& from, const std::string& to);
int RenameChecked(const std::string& from, const std::string& to);

}  // namespace trivane
