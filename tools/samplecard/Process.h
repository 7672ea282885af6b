#pragma once

#include <string>
#include <vector>

namespace trivane::samplecard {

// Runs a program found on PATH with exactly these arguments (no shell, so nothing needs
// quoting) and waits for it. Returns its exit status, or -1 when it could not be started or
// died of a signal. With `quiet` its standard output is discarded.
int RunProgram(const std::vector<std::string>& argv, bool quiet);

}  // namespace trivane::samplecard
