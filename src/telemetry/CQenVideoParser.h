#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "telemetry/BufferedReader.h"
#include "telemetry/ByteSource.h"
#include "telemetry/ContainerInfo.h"

namespace trivane {

// File-status record a caller may hand to a parser; parsers never fill it.
struct FileStatus {
    std::uint64_t size = 0;
    std::int64_t modified = 0;
};

// Base of the container parsers. Parse returns 0 on success and -1 on failure; the target set by
// SetInfo is written only on success, and then as a whole.
class CQenVideoParser {
public:
    virtual ~CQenVideoParser() = default;
    virtual void SetInfo(ContainerInfo* target) { (void)target; }
    virtual int Parse(const std::string& path) { (void)path; return 0; }
    virtual void SetFileStatus(FileStatus* status) { (void)status; }

    const ReadStats& LastReadStats() const { return stats_; }

protected:
    // Parse skeleton shared by both parsers; Walk is the container-specific step.
    int ParseFile(const std::string& path);
    static constexpr std::size_t kDefaultBlockSize = 16384;
    int ParseSource(ByteSource& source, std::size_t blockSize = kDefaultBlockSize);
    virtual bool Walk(BufferedReader& reader) = 0;  // false on an I/O error

    // The private chunks "gps0", "gsen", "gpsa", "gsea" and "IDIT" are the same in AVI chunks and
    // boxes. A walk hands each chunk or box here with its payload; `position`, already set past
    // the payload, is where the walk goes on.
    enum class PrivateChunk { NotPrivate, Read, IoError };
    PrivateChunk HandlePrivate(BufferedReader& reader, const char (&id)[4], std::uint64_t payload,
                               std::uint32_t size, std::uint64_t& position);

    ContainerInfo work_{};
    bool startFound_ = false;
    bool movieTruncated_ = false;
    bool fatal_ = false;  // an unconvertible IDIT year
    ContainerInfo* target_ = nullptr;
    FileStatus* fileStatus_ = nullptr;

private:
    bool HandleGps0(BufferedReader& reader, std::uint64_t payload, std::uint32_t size, std::uint64_t& position);
    void HandleGsen(std::uint64_t payload, std::uint32_t size, std::uint64_t& position);
    bool HandleRateWord(BufferedReader& reader, std::uint64_t payload, std::array<std::uint8_t, 4>& word);
    bool HandleIdit(BufferedReader& reader, std::uint64_t payload, std::uint32_t size);

    ReadStats stats_;
};

// Parser for a file name: exactly ".AVI" at the end selects the AVI parser, anything else the box parser.
std::unique_ptr<CQenVideoParser> CreateParserForName(std::string_view fileName);

}  // namespace trivane
