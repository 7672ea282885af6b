#include "app/CommandLine.h"

#include <string_view>

namespace trivane {

CommandLine ParseCommandLine(std::span<const char* const> args)
{
    CommandLine result;
    const auto fail = [&result](std::string message) {
        result.action = CommandLine::Action::Error;
        result.error = std::move(message);
        return result;
    };
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i] != nullptr ? args[i] : "";
        // "-" alone is an operand, as in every other program that takes paths.
        const bool isOption = !optionsEnded && arg.size() > 1 && arg.front() == '-';
        if (!isOption) {
            if (result.path) return fail("more than one path: '" + std::string(arg) + "'");
            result.path = std::string(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            result.action = CommandLine::Action::Help;
            return result;
        } else if (arg == "--version") {
            result.action = CommandLine::Action::Version;
            return result;
        } else if (arg == "--desktop") {
            result.desktop = true;
        } else {
            return fail("unrecognised option '" + std::string(arg) + "'");
        }
    }
    return result;
}

std::string UsageText()
{
    return "Usage: trivane [OPTION]... [--] [PATH]\n"
           "Play dash-camera recordings: PATH is a folder (a memory card or a copy of one) or one\n"
           "recording (AVI, MOV or TS), opened at once; without it the window opens empty.\n"
           "\n"
           "  --desktop   keep the settings (Qen.ini) in $XDG_CONFIG_HOME/trivane (default\n"
           "              ~/.config/trivane) instead of the current folder; the desktop entry\n"
           "              starts the player this way\n"
           "  -h, --help  show this help and exit\n"
           "  --version   show the version and exit\n"
           "  --          end of options: what follows is the path, even if it starts with '-'\n";
}

std::string VersionText()
{
    return "trivane " TRIVANE_VERSION "\n";
}

}  // namespace trivane
