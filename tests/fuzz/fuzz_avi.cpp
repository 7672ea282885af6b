#include <cstddef>
#include <cstdint>

#include "FuzzSource.h"
#include "telemetry/CQenAviParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    trivane::fuzz::FuzzSource source(data, size);
    trivane::ContainerInfo info{};
    trivane::CQenAviParser parser;
    parser.SetInfo(&info);
    const int result = parser.ParseBytes(source, source.blockSize);
    if (result == 0 && (info.videoWidth == 0 || info.durationMs == 0)) __builtin_trap();
    return 0;
}
