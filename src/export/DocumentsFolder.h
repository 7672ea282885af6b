#pragma once

#include <optional>
#include <string>

namespace trivane {

// The user's XDG documents folder (XDG_DOCUMENTS_DIR of user-dirs.dirs, else $HOME/Documents),
// without a trailing '/'; nothing when there is no home folder.
std::optional<std::string> DocumentsFolder();

}  // namespace trivane
