#include "telemetry/CQenVideoParser.h"

#include <bit>
#include <cstdio>
#include <cstring>

#include "telemetry/CQen3gpParser.h"
#include "telemetry/CQenAviParser.h"
#include "telemetry/GSensorSample.h"
#include "telemetry/GpsFix.h"
#include "telemetry/LocalTime.h"

namespace trivane {

static_assert(std::endian::native == std::endian::little, "records are read in place as little-endian");

namespace {

bool IsEmptyRecord(const GpsFix& fix) {
    static const GpsFix empty{};
    return std::memcmp(&fix, &empty, sizeof fix) == 0;
}

}  // namespace

int CQenVideoParser::ParseFile(const std::string& path) {
    fileStatus_ = nullptr;
    FileSource source;
    if (!source.Open(path)) return -1;
    return ParseSource(source);
}

int CQenVideoParser::ParseSource(ByteSource& source, std::size_t blockSize) {
    work_ = ContainerInfo{};
    startFound_ = false;
    movieTruncated_ = false;
    fatal_ = false;
    fileStatus_ = nullptr;

    BufferedReader reader(source, blockSize);
    work_.fileSize = reader.Size();
    const bool ok = Walk(reader);
    stats_ = reader.Stats();
    if (!ok || fatal_) return -1;

    if (!startFound_) work_.startTime = 0;
    if (work_.videoWidth == 0 || work_.videoHeight == 0 || work_.durationMs == 0 || movieTruncated_) return -1;
    if (target_ != nullptr) *target_ = work_;
    return 0;
}

CQenVideoParser::PrivateChunk CQenVideoParser::HandlePrivate(BufferedReader& reader, const char (&id)[4],
                                                             std::uint64_t payload, std::uint32_t size,
                                                             std::uint64_t& position) {
    const auto is = [&id](const char* name) { return std::memcmp(id, name, 4) == 0; };
    bool ok = true;
    if (is("gps0")) {
        ok = HandleGps0(reader, payload, size, position);
    } else if (is("gsen")) {
        HandleGsen(payload, size, position);
    } else if (is("gpsa")) {
        ok = HandleRateWord(reader, payload, work_.gpsRateWord);
    } else if (is("gsea")) {
        ok = HandleRateWord(reader, payload, work_.gsensorRateWord);
    } else if (is("IDIT")) {
        ok = HandleIdit(reader, payload, size);
    } else {
        return PrivateChunk::NotPrivate;
    }
    return ok ? PrivateChunk::Read : PrivateChunk::IoError;
}

bool CQenVideoParser::HandleGps0(BufferedReader& reader, std::uint64_t payload, std::uint32_t size,
                                 std::uint64_t& position) {
    work_.gpsOffset = payload;
    work_.gpsSize = size;
    const std::uint64_t records = size / kGpsFixSize;
    position = payload + records * kGpsFixSize;
    if (startFound_) return true;

    // Records past the end of the data read as zeros, which never carry a date.
    for (std::uint64_t i = 0; i < records && payload + i * kGpsFixSize < reader.DataEnd(); ++i) {
        GpsFix fix{};
        const std::uint64_t at = payload + i * kGpsFixSize;
        if (!reader.Read(at, std::as_writable_bytes(std::span(&fix, 1)))) return false;
        if (IsEmptyRecord(fix)) {
            // Runs of empty records (a hole, say) are passed in one step.
            std::uint64_t next = 0;
            if (!reader.SkipZeros(at + kGpsFixSize, payload + records * kGpsFixSize, next)) return false;
            i = (next - payload) / kGpsFixSize - 1;
            continue;
        }
        if (fix.yearSince2000 == 0 || fix.month < 1 || fix.month > 12 || fix.day < 1 || fix.day > 31 ||
            fix.hour > 23 || fix.minute > 59 || fix.second > 59) {
            continue;
        }
        const auto start = LocalToUnix(2000 + fix.yearSince2000, fix.month, fix.day, fix.hour, fix.minute, fix.second);
        if (!start) continue;
        const std::uint64_t rate = work_.gpsRateWord[0] != 0 ? work_.gpsRateWord[0] : 1;
        work_.startTime = *start - static_cast<std::int64_t>(i / rate);
        startFound_ = true;
        break;
    }
    return true;
}

void CQenVideoParser::HandleGsen(std::uint64_t payload, std::uint32_t size, std::uint64_t& position) {
    work_.gsensorOffset = payload;
    work_.gsensorSize = size;
    position = payload + static_cast<std::uint64_t>(size / kGSensorSampleSize) * kGSensorSampleSize;
}

bool CQenVideoParser::HandleRateWord(BufferedReader& reader, std::uint64_t payload,
                                     std::array<std::uint8_t, 4>& word) {
    return reader.Read(payload, std::as_writable_bytes(std::span(word)));
}

bool CQenVideoParser::HandleIdit(BufferedReader& reader, std::uint64_t payload, std::uint32_t size) {
    startFound_ = true;
    char text[64] = {};
    const std::size_t length = std::min<std::uint32_t>(size, 63);
    if (!reader.Read(payload, std::as_writable_bytes(std::span(text, length)))) return false;

    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::sscanf(text, "%04d-%02d-%02d %02d:%02d:%02d", &year, &month, &day, &hour, &minute, &second);
    const bool usable = year >= 1900 && month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour >= 0 &&
                        hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
    if (!usable) {
        startFound_ = false;
        return true;
    }
    const auto start = year >= 1970 ? LocalToUnix(year, month, day, hour, minute, second) : std::nullopt;
    if (!start || *start < 0) {
        fatal_ = true;  // a date before 1970 cannot be converted
        return true;
    }
    work_.startTime = *start;
    return true;
}

std::unique_ptr<CQenVideoParser> CreateParserForName(std::string_view fileName) {
    if (fileName.size() >= 4 && fileName.substr(fileName.size() - 4) == ".AVI") {
        return std::make_unique<CQenAviParser>();
    }
    return std::make_unique<CQen3gpParser>();
}

}  // namespace trivane
