#include "CommandTable.h"

namespace trivane::inspect {

std::span<const Command> AllCommands() {
    static const Command commands[] = {
        {"parse", "parse FILE", RunParse},
        {"scan", "scan PATH [--text]", RunScan},
        {"track", "track FILE", RunTrack},
        {"sync", "sync FILE [--seek MS] T1 T2 ...", RunSync},
        {"kml", "kml FILE [--out DIR]", RunKml},
        {"gpx", "gpx PATH [--out DIR]", RunGpx},
        {"events", "events FILE [--threshold G]", RunEvents},
        {"clip", "clip FILE --from MS --to MS --out CLIP.mp4 [--replace]", RunClip},
    };
    return commands;
}

}  // namespace trivane::inspect
