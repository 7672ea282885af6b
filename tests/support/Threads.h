#pragma once

#include <string_view>

namespace trivane::test {

// Threads of this process whose name starts with prefix ("llvmpipe": Mesa's software OpenGL).
int ThreadsNamed(std::string_view prefix);

}  // namespace trivane::test
