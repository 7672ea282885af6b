#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "map/CMapSchemeHandler.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace trivane::test {

// A map page in an offscreen browser view as the host shows it: served by the map scheme from the
// build folder (or `pageFolder`) with Leaflet's folder, no local file access; read back by script.
class PageView {
public:
    explicit PageView(const QString& pageAndQuery, const QString& pageFolder = QStringLiteral(TRIVANE_MAP_PAGE_DIR),
                      const QString& leafletFolder = CMapSchemeHandler::DefaultLeafletFolder());

    bool Loaded() const { return loaded_; }
    QVariant Eval(const QString& script);  // the script's value, invalid after 10 s
    QVariantMap State(bool withPoints = false);
    // Runs a fake provider script from this folder (FakeGoogle.js, FakeBaidu.js).
    bool InjectFake(const QString& fileName);
    // Evaluates `script` until it is true; false after `ms`.
    bool WaitTrue(const QString& script, int ms = 10000);
    QWebEngineView& View() { return view_; }

private:
    QWebEngineProfile profile_;  // off the record, with its own scheme handler; outlives the page
    QWebEngineView view_;
    bool loaded_ = false;
};

bool WaitFor(const std::function<bool()>& done, int ms);

// The calls as the host sends them: each in its own try/catch, in one script.
QString HostCalls(const QStringList& calls);

// A list of [lat, lon] from the page matches `expected` within 1e-9 degrees.
::testing::AssertionResult SamePoints(const QVariant& actual, const std::vector<std::pair<double, double>>& expected);

// [lat, lon] from a state entry.
double Lat(const QVariant& point);
double Lon(const QVariant& point);

}  // namespace trivane::test
