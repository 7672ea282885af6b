#pragma once

#include <span>

#include "Commands.h"

namespace trivane::inspect {

std::span<const Command> AllCommands();

}  // namespace trivane::inspect
