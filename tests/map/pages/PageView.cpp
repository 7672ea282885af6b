#include "PageView.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSignalSpy>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include <cmath>
#include <memory>
#include <utility>

namespace trivane::test {

bool WaitFor(const std::function<bool()>& done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

PageView::PageView(const QString& pageAndQuery, const QString& pageFolder, const QString& leafletFolder)
{
    profile_.installUrlSchemeHandler(CMapSchemeHandler::kScheme,
                                     new CMapSchemeHandler(pageFolder, leafletFolder, &profile_));
    auto* page = new QWebEnginePage(&profile_, &view_);
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    view_.setPage(page);
    view_.resize(640, 480);
    view_.show();

    const qsizetype query = pageAndQuery.indexOf(QLatin1Char('?'));
    QUrl url = CMapSchemeHandler::PageUrl(pageAndQuery.left(query));
    if (query >= 0) url.setQuery(pageAndQuery.mid(query + 1));
    QSignalSpy finished(&view_, &QWebEngineView::loadFinished);
    view_.load(url);
    loaded_ = finished.wait(15000) && finished.first().first().toBool();
}

QVariant PageView::Eval(const QString& script)
{
    // Shared: a result that arrives after the wait gave up must not write to this frame.
    auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    view_.page()->runJavaScript(script, [result](const QVariant& value) { *result = {true, value}; });
    return WaitFor([&] { return result->first; }, 10000) ? result->second : QVariant();
}

QVariantMap PageView::State(bool withPoints)
{
    return Eval(withPoints ? QStringLiteral("trivaneMapState(true)") : QStringLiteral("trivaneMapState()")).toMap();
}

bool PageView::InjectFake(const QString& fileName)
{
    QFile file(QStringLiteral(TRIVANE_MAP_FAKES_DIR "/") + fileName);
    return file.open(QIODevice::ReadOnly) && Eval(QString::fromUtf8(file.readAll())).toBool();
}

bool PageView::WaitTrue(const QString& script, int ms)
{
    return WaitFor([&] { return Eval(script).toBool(); }, ms);
}

QString HostCalls(const QStringList& calls)
{
    QString script;
    for (const QString& call : calls) script += QStringLiteral("try{") + call + QStringLiteral("}catch(e){}");
    return script;
}

::testing::AssertionResult SamePoints(const QVariant& actual, const std::vector<std::pair<double, double>>& expected)
{
    const QVariantList points = actual.toList();
    QString text;
    for (const QVariant& p : points) text += QStringLiteral(" [%1, %2]").arg(Lat(p), 0, 'g', 12).arg(Lon(p), 0, 'g', 12);
    bool same = static_cast<size_t>(points.size()) == expected.size();
    for (size_t i = 0; same && i < expected.size(); ++i) {
        const QVariant& p = points[static_cast<qsizetype>(i)];
        same = std::abs(Lat(p) - expected[i].first) < 1e-9 && std::abs(Lon(p) - expected[i].second) < 1e-9;
    }
    if (same) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "points:" << text.toStdString();
}

double Lat(const QVariant& point) { return point.toList().value(0).toDouble(); }
double Lon(const QVariant& point) { return point.toList().value(1).toDouble(); }

}  // namespace trivane::test
