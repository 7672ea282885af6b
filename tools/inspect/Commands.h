#pragma once

#include <span>
#include <string_view>

namespace trivane::inspect {

// A sub-command gets the arguments after its name and returns the process exit code.
using CommandFn = int (*)(std::span<char* const> args);

struct Command {
    std::string_view name;
    std::string_view usage;
    CommandFn run;
};

int RunParse(std::span<char* const> args);
int RunScan(std::span<char* const> args);
int RunTrack(std::span<char* const> args);
int RunSync(std::span<char* const> args);
int RunKml(std::span<char* const> args);
int RunGpx(std::span<char* const> args);
int RunEvents(std::span<char* const> args);
int RunClip(std::span<char* const> args);

}  // namespace trivane::inspect
