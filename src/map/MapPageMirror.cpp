#include "map/MapPageMirror.h"

#include <string_view>

namespace trivane {

namespace {

// The argument text of "name(args)", or false when `script` is not a call of `name`.
bool Arguments(std::string_view script, std::string_view name, std::string& args)
{
    if (script.size() < name.size() + 2 || script.substr(0, name.size()) != name || script[name.size()] != '(' ||
        script.back() != ')')
        return false;
    args.assign(script.substr(name.size() + 1, script.size() - name.size() - 2));
    return args.find_first_of("()") == std::string::npos;
}

// "lat, lon" as the plot calls write it: "lat,lon".
std::string PlotArguments(const std::string& args)
{
    std::string out;
    out.reserve(args.size());
    for (char c : args)
        if (c != ' ') out.push_back(c);
    return out;
}

std::string Call(std::string_view name, std::string_view args)
{
    std::string call;
    call.reserve(name.size() + args.size() + 2);
    call.append(name).append("(").append(args).append(")");
    return call;
}

}  // namespace

bool MapPageMirror::Record(const std::string& script)
{
    std::string args;
    if (script == "path_delete()") {
        route_.clear();
    } else if (script == "pathdrived_delete()") {
        driven_.clear();
        drivenEndsAtMarker_ = false;
    } else if (Arguments(script, "path_plot", args)) {
        route_.push_back(PlotArguments(args));
    } else if (Arguments(script, "pathdrived_plot", args)) {
        driven_.push_back(PlotArguments(args));
        drivenEndsAtMarker_ = false;
    } else if (Arguments(script, "route_speeds", args)) {
        speeds_ = script;
    } else if (Arguments(script, "route_colouring", args)) {
        colouring_ = script;
    } else if (script == "event_delete()") {
        events_.clear();
        eventCalls_ = true;
    } else if (Arguments(script, "event_plot", args)) {
        events_.push_back(PlotArguments(args));
        eventCalls_ = true;
    } else if (Arguments(script, "movpos", args)) {
        marker_ = args;
        driven_.push_back(PlotArguments(args));
        drivenEndsAtMarker_ = true;
    } else {
        return false;
    }
    return true;
}

std::vector<std::string> MapPageMirror::Replay() const
{
    std::vector<std::string> calls;
    calls.reserve(route_.size() + driven_.size() + events_.size() + 4);
    calls.emplace_back("path_delete()");
    for (const std::string& point : route_) calls.push_back(Call("path_plot", point));
    if (!speeds_.empty()) calls.push_back(speeds_);
    if (!colouring_.empty()) calls.push_back(colouring_);
    if (eventCalls_) {
        calls.emplace_back("event_delete()");
        for (const std::string& point : events_) calls.push_back(Call("event_plot", point));
    }
    // A marker move also drives: when the driven path did not end with it, the marker goes first
    // and its point is deleted with the rest.
    const bool markerFirst = !marker_.empty() && !drivenEndsAtMarker_;
    if (markerFirst) calls.push_back(Call("movpos", marker_));
    calls.emplace_back("pathdrived_delete()");
    const std::size_t driven = drivenEndsAtMarker_ ? driven_.size() - 1 : driven_.size();
    for (std::size_t i = 0; i < driven; ++i) calls.push_back(Call("pathdrived_plot", driven_[i]));
    if (!marker_.empty() && !markerFirst) calls.push_back(Call("movpos", marker_));
    return calls;
}

void MapPageMirror::Clear()
{
    route_.clear();
    driven_.clear();
    events_.clear();
    eventCalls_ = false;
    speeds_.clear();
    marker_.clear();
    drivenEndsAtMarker_ = false;
}

}  // namespace trivane
