#pragma once

#include "telemetry/CQenVideoParser.h"

namespace trivane {

// ISO base media (MOV/MP4) box walk: first trak for duration and picture size, private boxes
// at the top level or directly inside moov.
class CQen3gpParser final : public CQenVideoParser {
public:
    void SetInfo(ContainerInfo* target) override { target_ = target; }
    int Parse(const std::string& path) override { return ParseFile(path); }
    void SetFileStatus(FileStatus* status) override { fileStatus_ = status; }
    int ParseBytes(ByteSource& source, std::size_t blockSize = kDefaultBlockSize) {
        return ParseSource(source, blockSize);
    }

private:
    struct Box {
        std::uint64_t payload = 0;
        std::uint32_t payloadSize = 0;
    };
    bool Walk(BufferedReader& reader) override;
    bool ReadMoov(BufferedReader& reader, const Box& moov);
    // Finds a box of `type` among siblings from `start` within a parent payload of `length` bytes.
    bool FindBox(BufferedReader& reader, std::uint64_t start, std::uint64_t length, const char* type,
                 Box& found, bool& ioError);
    bool FindPath(BufferedReader& reader, const Box& parent, std::initializer_list<const char*> path,
                  Box& found, bool& ioError);
};

}  // namespace trivane
