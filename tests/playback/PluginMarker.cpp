// Stands for a shared object planted on a card. Loading it leaves the file named by
// TRIVANE_PLUGIN_MARKER, so a test can tell whether a program loaded it.
#include <cstdio>
#include <cstdlib>

namespace {

__attribute__((constructor)) void LeaveMarker()
{
    if (const char* path = std::getenv("TRIVANE_PLUGIN_MARKER")) {
        if (std::FILE* file = std::fopen(path, "w")) {
            std::fclose(file);
        }
    }
}

}  // namespace
