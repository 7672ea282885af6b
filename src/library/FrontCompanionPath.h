#pragma once

#include <string>

namespace trivane {

// Paths of the two files of a front/rear pair, derived from either of them: the character before
// the extension becomes 'F' (front) or 'R' (rear); failing that, the last character of the parent
// folder's name as well. Empty when no such regular file exists (a folder of that name would be
// opened as a playlist).
std::string FrontCompanionPath(const std::string& path);
std::string RearCompanionPath(const std::string& path);

}  // namespace trivane
