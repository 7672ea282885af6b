#pragma once

#include "telemetry/CQenVideoParser.h"

namespace trivane {

// RIFF/AVI walk: headers for picture size and duration, private chunks for telemetry.
class CQenAviParser final : public CQenVideoParser {
public:
    void SetInfo(ContainerInfo* target) override { target_ = target; }
    int Parse(const std::string& path) override { return ParseFile(path); }
    void SetFileStatus(FileStatus* status) override { fileStatus_ = status; }
    int ParseBytes(ByteSource& source, std::size_t blockSize = kDefaultBlockSize) {
        return ParseSource(source, blockSize);
    }

private:
    bool Walk(BufferedReader& reader) override;
    bool HandleStreamHeader(BufferedReader& reader, std::uint64_t& position);
};

}  // namespace trivane
