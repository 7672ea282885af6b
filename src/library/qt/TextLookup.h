#pragma once

#include <functional>
#include <string>

namespace trivane {

// UTF-8 text of a string id (101..199) in the current language. Each control gets it from its
// owner, so that a language change reaches it without any global lookup.
using TextLookup = std::function<std::string(int)>;

}  // namespace trivane
