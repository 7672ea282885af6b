#pragma once

#include <string>

namespace trivane {

// Path of the front-camera file of a front/rear pair: the character before the extension becomes
// 'F'; failing that, the last character of the parent folder's name as well. Empty when no such
// file exists.
std::string FrontCompanionPath(const std::string& path);

}  // namespace trivane
