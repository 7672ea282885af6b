#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trivane {

struct ProgramOutcome {
    int startError = 0;      // errno of a failed start (ENOENT: no such program); nothing ran
    bool canceled = false;   // killed because `cancel` was set
    int status = -1;         // exit status, 128 + signal when a signal ended it
    std::string output;      // standard output, up to the limit given
    std::string errorTail;   // the end of standard error

    bool Succeeded() const { return startError == 0 && !canceled && status == 0; }
};

// Runs a program to its end on the calling thread. Descriptor 3 of the program goes to
// `onExtra` as it arrives; `cancel` is looked at every 50 ms and, once set, kills the program and
// reaps it before returning.
ProgramOutcome RunProgram(const std::vector<std::string>& argv, const std::atomic<bool>& cancel,
                          const std::function<void(std::string_view)>& onExtra = {},
                          std::size_t outputLimit = 1 << 20);

// The last lines of a program's error output, at most `maxChars` characters, trimmed.
std::string LastLines(std::string_view text, std::size_t maxLines, std::size_t maxChars);

}  // namespace trivane
