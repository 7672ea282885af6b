#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "map/MapPageMirror.h"

namespace trivane {
namespace {

// The page's seven functions over plain lists, as the shipped pages behave.
struct PageModel {
    std::vector<std::string> route;
    std::vector<std::string> driven;
    std::string marker;
    std::vector<std::string> events;

    void Run(const std::string& call)
    {
        const auto open = call.find('(');
        const std::string name = call.substr(0, open);
        std::string args;
        for (char c : call.substr(open + 1, call.size() - open - 2))
            if (c != ' ') args.push_back(c);
        if (name == "path_delete") route.clear();
        else if (name == "pathdrived_delete") driven.clear();
        else if (name == "path_plot") route.push_back(args);
        else if (name == "pathdrived_plot") driven.push_back(args);
        else if (name == "event_delete") events.clear();
        else if (name == "event_plot") events.push_back(args);
        else if (name == "movpos") {
            marker = args;
            driven.push_back(args);
        }
    }
    bool operator==(const PageModel&) const = default;
};

std::string Point(const char* name, int i, const char* separator = ",")
{
    char text[80];
    std::snprintf(text, sizeof text, "%s(35.%06d%s139.%06d)", name, i, separator, i);
    return text;
}

// Whatever was sent, a page that gets the replay ends up as the page that got every call, even one
// that held something else before.
TEST(MapPageMirror, ReplayRebuildsWhatThePageHeld)
{
    const std::vector<std::pair<const char*, std::vector<std::string>>> sessions = {
        {"a load, then playing", {"pathdrived_delete()", "path_delete()", Point("path_plot", 1), Point("path_plot", 2),
                                  Point("path_plot", 3), Point("movpos", 1, ", "), Point("movpos", 2, ", ")}},
        {"a seek after the marker moved", {"path_delete()", Point("path_plot", 1), Point("path_plot", 2),
                                           Point("movpos", 2, ", "), "pathdrived_delete()",
                                           Point("pathdrived_plot", 1)}},
        {"the driven path cleared under the marker", {Point("path_plot", 1), Point("movpos", 1, ", "),
                                                      "pathdrived_delete()"}},
        {"the next recording's load", {Point("path_plot", 1), Point("movpos", 1, ", "), "pathdrived_delete()",
                                       "path_delete()", Point("path_plot", 7), Point("path_plot", 8)}},
        {"the same fix twice", {Point("movpos", 4, ", "), Point("movpos", 4, ", ")}},
        {"one recording's events, then the next one's", {Point("path_plot", 1), "event_delete()",
                                                          Point("event_plot", 1), Point("event_plot", 2),
                                                          "path_delete()", "event_delete()",
                                                          Point("event_plot", 5)}},
        {"nothing yet", {}},
    };
    for (const auto& [what, calls] : sessions) {
        SCOPED_TRACE(what);
        MapPageMirror mirror;
        PageModel sent;
        for (const std::string& call : calls) {
            EXPECT_TRUE(mirror.Record(call)) << call;
            sent.Run(call);
        }
        PageModel fresh;
        PageModel stale{{"9,9"}, {"8,8", "7,7"}, "6,6", {"5,5"}};
        for (const std::string& call : mirror.Replay()) {
            fresh.Run(call);
            stale.Run(call);
        }
        // A page that never saw a marker keeps whatever marker it had; everything else matches.
        EXPECT_EQ(fresh, sent);
        if (!sent.marker.empty()) {
            EXPECT_EQ(stale.marker, sent.marker);
        }
        EXPECT_EQ(stale.route, sent.route);
        EXPECT_EQ(stale.driven, sent.driven);
        // Likewise the event marks of a page that was never given any.
        const bool eventCalls = std::any_of(calls.begin(), calls.end(),
                                            [](const std::string& c) { return c.starts_with("event_"); });
        if (eventCalls) {
            EXPECT_EQ(stale.events, sent.events);
        }
    }
}

TEST(MapPageMirror, OtherScriptsAreNotPageCalls)
{
    MapPageMirror mirror;
    EXPECT_FALSE(mirror.Record("set_center(1,2)"));
    EXPECT_FALSE(mirror.Record("path_plot(1,2);alert(1)"));
    EXPECT_FALSE(mirror.Record("path_plot(alert(1))"));
    EXPECT_FALSE(mirror.Record("movpos"));
    EXPECT_EQ(mirror.RouteSize(), 0u);
    EXPECT_FALSE(mirror.HasMarker());
    EXPECT_EQ(mirror.Replay(), (std::vector<std::string>{"path_delete()", "pathdrived_delete()"}));
}

// The route's speeds and its colouring come back with the route; the colouring, a choice of the
// user's, outlives a cleared page.
TEST(MapPageMirror, RouteSpeedsAndColouringAreReplayed)
{
    MapPageMirror mirror;
    for (const char* call : {"route_colouring(1)", "path_plot(1,2)", "path_plot(3,4)", "route_speeds([10,20])",
                             "route_speeds([30,40])"})
        EXPECT_TRUE(mirror.Record(call)) << call;
    EXPECT_EQ(mirror.Replay(), (std::vector<std::string>{"path_delete()", "path_plot(1,2)", "path_plot(3,4)",
                                                         "route_speeds([30,40])", "route_colouring(1)",
                                                         "pathdrived_delete()"}));
    mirror.Clear();
    EXPECT_EQ(mirror.Replay(),
              (std::vector<std::string>{"path_delete()", "route_colouring(1)", "pathdrived_delete()"}));
}

}  // namespace
}  // namespace trivane
