// trivane-samplecard DIR [--force]: writes a small, deterministic dash-camera card into DIR.

#include <cstdio>
#include <cstring>
#include <string>

#include "samplecard/CardPlan.h"
#include "samplecard/CardWriter.h"

int main(int argc, char** argv) {
    using trivane::samplecard::CardWriter;
    std::string folder;
    bool force = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--force") == 0)
            force = true;
        else if (folder.empty())
            folder = argv[i];
        else
            folder.clear(), i = argc;  // a second folder is a usage error
    }
    if (folder.empty()) {
        std::fprintf(stderr, "usage: trivane-samplecard DIR [--force]\n");
        return 2;
    }
    const trivane::samplecard::CardPlan plan = trivane::samplecard::BuildCardPlan();
    CardWriter writer(folder);
    if (!force && writer.IsComplete(plan)) {
        std::printf("sample card already complete in %s (use --force to rewrite it)\n", folder.c_str());
        return 0;
    }
    std::string error;
    if (!CardWriter::CheckFfmpeg(error)) {
        std::fprintf(stderr, "trivane-samplecard: %s\n", error.c_str());
        return 1;
    }
    if (!writer.Write(plan, error)) {
        std::fprintf(stderr, "trivane-samplecard: %s\n", error.c_str());
        return 1;
    }
    std::printf("sample card written to %s\n", folder.c_str());
    return 0;
}
