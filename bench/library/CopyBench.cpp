// Copy of a card of large recordings (4 x 64 MiB of random data as .TS files) with CopyTicked,
// against cp of the same files; runs alternate, medians are printed. Our copy syncs every file
// before it takes its name; cp does not, so cp followed by sync of its files is printed as well.
// Usage: bench_library_copy [RUNS [MIB-PER-FILE [FOLDER]]]
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "files/FileSystem.h"
#include "library/CRecordingManager.h"
#include "library/IGroupList.h"

namespace {

using namespace trivane;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 4;

class AllTicked final : public IGroupList {
public:
    void DeleteAllRows() override {}
    bool AddGroupRow(std::int32_t, const std::string&, std::uint64_t, std::uint64_t, std::uint8_t,
                     std::int64_t) override {
        return true;
    }
    void SetCurrentHighlight(int, bool) override {}
    void EnsureRowVisible(int) override {}
    bool IsRowChecked(int) const override { return true; }
};

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool WriteRandomFile(const std::string& path, std::size_t bytes, unsigned seed) {
    std::mt19937_64 random(seed);
    std::vector<std::uint64_t> block(1 << 17);  // 1 MiB
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < bytes; done += block.size() * sizeof block[0]) {
        for (auto& word : block) word = random();
        ok = std::fwrite(block.data(), sizeof block[0], block.size(), file) == block.size();
    }
    return std::fclose(file) == 0 && ok;
}

void Remove(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::size_t mib = argc > 2 ? static_cast<std::size_t>(std::max(1, std::atoi(argv[2]))) : 64;
    std::string pattern = std::string(argc > 3 ? argv[3] : "/tmp") + "/trivane-copybench-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) return 1;
    const std::string root = buffer.data();
    const std::string card = root + "/card";
    MakeDirectories(card + "/DCIM");

    std::string files;
    for (int i = 0; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/DCIM/FILE%04d.TS", i + 1);
        if (!WriteRandomFile(card + name, mib << 20, static_cast<unsigned>(i))) {
            std::fprintf(stderr, "could not write the card\n");
            Remove(root);
            return 1;
        }
        files.append(" ").append(card).append(name);
    }

    CRecordingManager manager;
    AllTicked groups;
    manager.SetGroupList(&groups);
    manager.OpenSource(card, "");
    if (manager.Entries().size() != kFiles) {
        std::fprintf(stderr, "the catalogue holds %zu files, not %d\n", manager.Entries().size(), kFiles);
        Remove(root);
        return 1;
    }

    const double megabytes = static_cast<double>(kFiles * (mib << 20)) / 1e6;
    std::vector<double> ours;
    std::vector<double> cp;
    std::vector<double> cpSynced;
    bool failed = false;
    for (int run = -1; run < runs && !failed; ++run) {  // run -1 warms the cache
        const std::string target = root + "/out";
        // Each side starts with nothing dirty left by the other.
        ::sync();
        auto start = Clock::now();
        failed = manager.CopyTicked(target) != 1 || manager.LastFileOperationReport().treated != kFiles;
        const double oursSeconds = Seconds(start);
        Remove(target);

        ::sync();
        MakeDirectories(target);
        start = Clock::now();
        std::string command = "cp";
        command.append(files).append(" ").append(target).append("/");
        failed = failed || std::system(command.c_str()) != 0;
        const double cpSeconds = Seconds(start);
        command = "sync ";
        command.append(target).append("/*");
        failed = failed || std::system(command.c_str()) != 0;
        const double cpSyncedSeconds = Seconds(start);
        Remove(target);
        if (run < 0) continue;
        ours.push_back(oursSeconds);
        cp.push_back(cpSeconds);
        cpSynced.push_back(cpSyncedSeconds);
    }
    Remove(root);
    if (failed) {
        std::fprintf(stderr, "a copy failed\n");
        return 1;
    }

    const double oursRate = megabytes / Median(ours);
    const double cpRate = megabytes / Median(cp);
    const double cpSyncedRate = megabytes / Median(cpSynced);
    std::printf("copy: %d x %zu MiB, median of %d alternated runs\n", kFiles, mib, runs);
    std::printf("CopyTicked (fsync per file): %.0f MB/s\n", oursRate);
    std::printf("cp (no fsync):               %.0f MB/s\n", cpRate);
    std::printf("cp then sync of its files:   %.0f MB/s\n", cpSyncedRate);
    std::printf("ratio to cp: %.2f (goal >= 0.8); to cp + sync: %.2f\n", oursRate / cpRate, oursRate / cpSyncedRate);
    return 0;
}
