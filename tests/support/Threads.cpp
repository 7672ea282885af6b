#include "Threads.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace trivane::test {

int ThreadsNamed(std::string_view prefix)
{
    int count = 0;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name.rfind(prefix, 0) == 0) ++count;
    }
    return count;
}

}  // namespace trivane::test
