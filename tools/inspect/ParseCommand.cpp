#include <cstdio>
#include <string>

#include "Commands.h"
#include "InfoJson.h"
#include "telemetry/CQenVideoParser.h"

namespace trivane::inspect {

int RunParse(std::span<char* const> args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: trivane-inspect parse FILE\n");
        return 2;
    }
    const std::string path = args[0];
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);

    ContainerInfo info{};
    auto parser = CreateParserForName(name);
    parser->SetInfo(&info);
    const int result = parser->Parse(path);

    nlohmann::ordered_json out;
    out["result"] = result;
    if (result == 0) {
        out["info"] = InfoToJson(info);
    }
    PrintJson(out);
    return 0;
}

}  // namespace trivane::inspect
