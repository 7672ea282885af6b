// trivane-inspect: looks into recordings and cards through the player's own code, printing JSON.
#include <cstdio>
#include <span>
#include <string_view>

#include "CommandTable.h"

int main(int argc, char** argv) {
    using namespace trivane::inspect;
    const auto commands = AllCommands();
    if (argc >= 2) {
        const std::string_view name = argv[1];
        for (const Command& command : commands) {
            if (command.name == name) {
                return command.run(std::span<char* const>(argv + 2, static_cast<std::size_t>(argc - 2)));
            }
        }
        std::fprintf(stderr, "trivane-inspect: unknown command '%s'\n", argv[1]);
    }
    std::fprintf(stderr, "usage:\n");
    for (const Command& command : commands) {
        std::fprintf(stderr, "  trivane-inspect %.*s\n", static_cast<int>(command.usage.size()), command.usage.data());
    }
    return 2;
}
