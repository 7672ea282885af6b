#pragma once

#include <optional>
#include <span>
#include <string>

namespace trivane {

// The program's arguments: options first or mixed with the path, as GNU programs take them;
// "--" ends the options, so a path may start with '-' after it.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };

    Action action = Action::Run;
    // --desktop: started from the desktop entry; settings go to the user's configuration folder.
    bool desktop = false;
    // The folder or recording to open at once.
    std::optional<std::string> path;
    // For Action::Error: what was wrong, one line without the program name.
    std::string error;
};

// args[0] is the program name. Parsing stops at --help, --version or the first error.
CommandLine ParseCommandLine(std::span<const char* const> args);

// What --help and --version print (each ends with a newline).
std::string UsageText();
std::string VersionText();

}  // namespace trivane
