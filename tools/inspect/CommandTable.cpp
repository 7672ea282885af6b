#include "CommandTable.h"

namespace trivane::inspect {

std::span<const Command> AllCommands() {
    static const Command commands[] = {
        {"parse", "parse FILE", RunParse},
    };
    return commands;
}

}  // namespace trivane::inspect
