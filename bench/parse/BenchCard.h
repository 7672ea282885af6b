#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace trivane::bench {

struct BenchFile {
    std::string path;
    std::string name;
    std::uint64_t size = 0;
};

// Writes `count` recordings into `folder`, alternating AVI and MOV, with real-sized headers,
// indexes and telemetry and 50-300 MB of movie data left as sparse holes. Deterministic.
std::vector<BenchFile> WriteBenchCard(const std::string& folder, int count, std::string& error);

}  // namespace trivane::bench
