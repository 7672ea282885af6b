#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <cstddef>
#include <deque>
#include <functional>
#include <string>

#include "library/IMapHost.h"
#include "map/CMapPage.h"
#include "map/IMapPane.h"
#include "map/MapHostFailure.h"
#include "map/MapPageChoice.h"
#include "map/MapPageMirror.h"
#include "map/ScriptBatch.h"

class QTimer;
class QWebEngineProfile;
class QWebEngineView;

namespace trivane {

// The map pane: a browser view in the main window showing one of the map pages, and the door
// through which the catalogue's route and marker calls reach it.
//
// Calls are never lost: they are kept (MapPageMirror) until a page has loaded, and every new page
// (another provider, a reload after the renderer died) gets the current route, driven path and
// marker again. Calls go to the page in guarded chunks, one chunk per event-loop turn.
class CMapHost final : public QObject, public IMapPane, public IMapHost {
    Q_OBJECT
public:
    enum class State { NotCreated, Creating, Ready, Failed };

    struct Options {
        QString pageFolder;     // the pages; empty: beside the program
        QString leafletFolder;  // empty: Debian's libjs-leaflet
        QString profileFolder;  // the browser's storage; empty: the XDG data folder
        QString cacheFolder;    // empty: the XDG cache folder
        std::function<MapKeys()> readKeys;                   // read again for every page load
        std::function<void(const QString&)> reportFailure;   // one message box
        CMapPage::LinkOpener openLink;                       // empty: the desktop's browser
        std::size_t chunkCalls = 4000;
        bool batching = true;  // false sends every call on its own (the slow baseline)
        int startTimeoutMs = 30000;
        // The marker's glide: stepped by the page's own timer at most once per this many ms, or
        // by the compositor when 0; below 0, the timer when the browser composites in software.
        int glideTimerStepMs = -1;
    };

    // Without a GPU a compositor glide costs a frame every display frame; the page's timer makes
    // a frame only per step, a few steps a second.
    static constexpr int kSoftwareGlideStepMs = 250;

    CMapHost(QWidget* parent, Options options);
    ~CMapHost() override;

    // IMapPane
    QWidget* View() override { return container_; }
    void CreateBrowser(QObject* window) override;
    void SetBounds(const QRect& bounds) override;
    void ShowMap(int provider) override;
    void ResetPage() override;
    IMapHost* ScriptHost() override { return this; }

    // IMapHost
    void RunScript(const std::string& script) override;
    void MovePosition(double latitude, double longitude) override;

    // Chunked delivery on or off (off: one script per call, the baseline of the measurements).
    void SetBatching(bool on) { options_.batching = on; }

    State CurrentState() const { return state_; }
    MapHostFailure Failure() const { return failure_; }
    int Provider() const { return provider_; }
    bool PageLoaded() const { return pageState_ == PageState::Loaded; }
    const QUrl& PageUrl() const { return pageUrl_; }
    QWebEnginePage* Page() const { return page_; }
    QWebEngineView* BrowserView() const { return view_; }
    // Calls waiting to be sent, and how many scripts went to the page so far.
    std::size_t QueuedCalls() const { return batch_.Size(); }
    std::size_t ScriptRuns() const { return scriptRuns_; }

    static QString DefaultPageFolder();
    static QString DefaultProfileFolder();
    // Without a GPU: the browser composites its frames on the CPU and its window is painted without
    // OpenGL, at about half the cost of Mesa's software OpenGL. Process-wide; call before the first
    // browser.
    static void ComposeInSoftware();
    static bool ComposesInSoftware();  // by that call or the user's QT_QUICK_BACKEND

signals:
    // A page finished loading and its replay is queued.
    void pageLoaded(const QUrl& url);
    // Every queued call has been handed to the page.
    void callsDelivered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class PageState { None, Loading, Loaded, LoadFailed };

    void Fail(MapHostFailure failure, int code);
    void Load(const QUrl& url);
    void OnLoadFinished(bool ok);
    void OnRendererGone();
    void Send(const std::string& script);
    void Flush();
    void FitHolder();

    Options options_;
    QWidget* container_;
    QObject* window_ = nullptr;
    QWebEngineProfile* profile_ = nullptr;
    CMapPage* page_ = nullptr;
    QWebEngineView* view_ = nullptr;
    QWidget* holder_ = nullptr;  // on X11: the browser's own window, inside the pane's
    QTimer* flushTimer_;
    QTimer* startTimer_;

    State state_ = State::NotCreated;
    MapHostFailure failure_ = MapHostFailure::None;
    PageState pageState_ = PageState::None;
    int provider_ = 0;
    QUrl pageUrl_;
    MapPageMirror mirror_;
    ScriptBatch batch_;
    std::deque<std::string> otherCalls_;  // calls outside the page's five, kept until a page loads
    std::deque<qint64> rendererDeaths_;
    std::size_t scriptRuns_ = 0;
    bool closing_ = false;
};

}  // namespace trivane
