#include "map/CMapHost.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QOpenGLWidget>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QStandardPaths>
#include <QTimer>
#include <QUrlQuery>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QWidget>

#include <cstdio>

#include "library/MapScripts.h"
#include "map/CMapSchemeHandler.h"
#include "map/X11Embed.h"
#include "playback/WindowMessages.h"
#include "widgets/WindowMessage.h"

namespace trivane {

namespace {

// Calls outside the page's five kept while no page is loaded; older ones are dropped.
constexpr std::size_t kMaxOtherCalls = 256;
// A renderer that dies this often within a minute is not started again.
constexpr std::size_t kMaxRendererDeaths = 3;
constexpr qint64 kRendererDeathWindowMs = 60000;

// Chromium's helper program; Qt WebEngine aborts the process when it is missing, so it is looked
// for first.
bool BrowserRuntimePresent()
{
    QString helper = qEnvironmentVariable("QTWEBENGINE_PROCESS_PATH");
    if (helper.isEmpty())
        helper = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + QStringLiteral("/QtWebEngineProcess");
    const QFileInfo info(helper);
    return info.isFile() && info.isExecutable();
}

QString DefaultCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/trivane/map");
}

}  // namespace

QString CMapHost::DefaultPageFolder()
{
    const QString beside = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(beside + QStringLiteral("/osmmap.html"))) return beside;
    // Installed: the program in bin/, the pages in share/trivane/map/.
    return beside + QStringLiteral("/../share/trivane/map");
}

void CMapHost::ComposeInSoftware() { QQuickWindow::setGraphicsApi(QSGRendererInterface::Software); }

bool CMapHost::ComposesInSoftware() { return QQuickWindow::sceneGraphBackend() == QLatin1String("software"); }

QString CMapHost::DefaultProfileFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/trivane/map");
}

CMapHost::CMapHost(QWidget* parent, Options options)
    : options_(std::move(options)),
      container_(new QWidget(parent)),
      flushTimer_(new QTimer(this)),
      startTimer_(new QTimer(this))
{
    container_->setObjectName(QStringLiteral("MAP"));
    auto* layout = new QVBoxLayout(container_);
    layout->setContentsMargins(0, 0, 0, 0);
    if (options_.pageFolder.isEmpty()) options_.pageFolder = DefaultPageFolder();
    if (options_.profileFolder.isEmpty()) options_.profileFolder = DefaultProfileFolder();
    if (options_.cacheFolder.isEmpty()) options_.cacheFolder = DefaultCacheFolder();
    if (options_.leafletFolder.isEmpty()) options_.leafletFolder = CMapSchemeHandler::DefaultLeafletFolder();
    if (!options_.openLink) options_.openLink = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    if (options_.chunkCalls == 0) options_.chunkCalls = 1;

    // Zero interval: the next chunk goes out on the next turn of the event loop.
    flushTimer_->setSingleShot(true);
    flushTimer_->setInterval(0);
    connect(flushTimer_, &QTimer::timeout, this, &CMapHost::Flush);
    startTimer_->setSingleShot(true);
    connect(startTimer_, &QTimer::timeout, this, [this] {
        if (state_ == State::Creating) Fail(MapHostFailure::RuntimeFailed, 0);
    });
}

CMapHost::~CMapHost()
{
    closing_ = true;
    // The pane's events no longer reach the browser's window while both go.
    container_->removeEventFilter(this);
    // The page goes before its profile, the view before the page.
    if (page_ != nullptr) page_->disconnect(this);
    delete view_;
    delete page_;
    delete profile_;
    delete holder_;
    delete container_;
}

void CMapHost::CreateBrowser(QObject* window)
{
    if (state_ != State::NotCreated) return;
    window_ = window;
    state_ = State::Creating;
    if (!BrowserRuntimePresent()) {
        Fail(MapHostFailure::RuntimeMissing, 0);
        return;
    }
    int code = 0;
    const MapHostFailure folder = CreateProfileFolder(options_.profileFolder.toStdString(), code);
    if (folder != MapHostFailure::None) {
        Fail(folder, code);
        return;
    }

    profile_ = new QWebEngineProfile(QStringLiteral("map"), this);
    profile_->setPersistentStoragePath(options_.profileFolder);
    profile_->setCachePath(options_.cacheFolder);
    profile_->installUrlSchemeHandler(CMapSchemeHandler::kScheme,
                                      new CMapSchemeHandler(options_.pageFolder, options_.leafletFolder, profile_));
    page_ = new CMapPage(profile_, options_.openLink);
    QWebEngineSettings* settings = page_->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    // The pages run the providers' remote scripts: they come from the map scheme, which reads
    // only the pages and Leaflet, and no local file is readable from them.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    // A page that loads must not take the keyboard from the player.
    settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);

    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        // On X11 the browser is a frameless window of its own inside the pane's X window. Qt then
        // composites the browser (with OpenGL unless it composes in software) apart, and the main
        // window keeps plain painting: what moves in it while playing costs no OpenGL composition,
        // dear without a GPU.
        holder_ = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
        holder_->setObjectName(QStringLiteral("MAP_BROWSER"));
        // The keyboard stays with the player's window, also after a click into the map.
        holder_->setAttribute(Qt::WA_ShowWithoutActivating);
        holder_->setAttribute(Qt::WA_X11DoNotAcceptFocus);
        auto* layout = new QVBoxLayout(holder_);
        layout->setContentsMargins(0, 0, 0, 0);
        // A browser composing with OpenGL: the window is made for OpenGL before its X window exists
        // (the 1×1 child), so that the browser's arrival does not replace that window.
        QOpenGLWidget* gl = nullptr;
        if (!ComposesInSoftware()) {
            gl = new QOpenGLWidget(holder_);
            gl->setGeometry(0, 0, 1, 1);
            gl->setAttribute(Qt::WA_TransparentForMouseEvents);
        }
        view_ = new QWebEngineView(holder_);
        layout->addWidget(view_);
        if (gl != nullptr) gl->lower();
        container_->setAttribute(Qt::WA_NativeWindow);
        EmbedX11Window(*holder_, *container_);
        container_->installEventFilter(this);
        holder_->installEventFilter(this);
        if (container_->isVisible()) FitHolder();
    } else {
        view_ = new QWebEngineView(container_);
        container_->layout()->addWidget(view_);
    }
    view_->setPage(page_);
    view_->setContextMenuPolicy(Qt::NoContextMenu);

    connect(page_, &QWebEnginePage::loadFinished, this, &CMapHost::OnLoadFinished);
    connect(page_, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus, int) { OnRendererGone(); });

    // Ready once a renderer has shown an empty document.
    const QUrl blank(QStringLiteral("about:blank"));
    page_->AllowDocument(blank);
    startTimer_->start(options_.startTimeoutMs);
    page_->load(blank);
}

void CMapHost::Fail(MapHostFailure failure, int code)
{
    state_ = State::Failed;
    failure_ = failure;
    startTimer_->stop();
    flushTimer_->stop();
    batch_.Clear();
    mirror_.Clear();
    otherCalls_.clear();
    pageState_ = PageState::None;
    container_->hide();
    const QString text = QString::fromStdString(MapHostFailureText(failure, code));
    std::fprintf(stderr, "trivane: the map is not available: %s\n", qPrintable(text.trimmed()));
    // After the window's own start-up, not inside it.
    if (options_.reportFailure)
        QTimer::singleShot(0, this, [this, text] { options_.reportFailure(text); });
}

// The browser's window follows the pane: its size, and shown or hidden with it (and with the
// main window). Qt takes it for a top-level window and keeps its place in screen coordinates, so
// each fit places it at the pane's origin again.
bool CMapHost::eventFilter(QObject* watched, QEvent* event)
{
    if (holder_ != nullptr && watched == container_) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Resize: FitHolder(); break;
        case QEvent::Hide: holder_->hide(); break;
        default: break;
        }
    } else if (holder_ != nullptr && watched == holder_) {
        if (event->type() == QEvent::WinIdChange) EmbedX11Window(*holder_, *container_);
        // A right click the page leaves goes on to the main window, as from any other pane.
        if (event->type() == QEvent::ContextMenu) {
            const auto* menu = static_cast<QContextMenuEvent*>(event);
            QContextMenuEvent forwarded(menu->reason(), menu->pos(), menu->globalPos(), menu->modifiers());
            QCoreApplication::sendEvent(container_, &forwarded);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CMapHost::FitHolder()
{
    holder_->setGeometry(QRect(QPoint(0, 0), container_->size()));
    if (container_->isVisible() && !holder_->isVisible()) holder_->show();
}

void CMapHost::SetBounds(const QRect& bounds) { container_->setGeometry(bounds); }

void CMapHost::ShowMap(int provider)
{
    provider_ = provider == 1 ? 1 : 0;
    if (state_ != State::Ready) return;
    const MapPageChoice choice = ChooseMapPage(provider_, options_.readKeys ? options_.readKeys() : MapKeys{});
    const QUrl url = CMapSchemeHandler::PageUrl(QString::fromStdString(choice.fileName),
                                                QString::fromStdString(choice.queryKey),
                                                QString::fromStdString(choice.keyValue));
    // The page already shown (or on its way) keeps its route.
    if (url == pageUrl_ && (pageState_ == PageState::Loading || pageState_ == PageState::Loaded)) return;
    Load(url);
}

void CMapHost::ResetPage()
{
    mirror_.Clear();
    otherCalls_.clear();
    // Loading the page again is the one way to take the marker away.
    if (state_ == State::Ready && !pageUrl_.isEmpty()) Load(pageUrl_);
}

void CMapHost::Load(const QUrl& url)
{
    pageUrl_ = url;
    pageState_ = PageState::Loading;
    batch_.Clear();
    flushTimer_->stop();
    if (CMapSchemeHandler(options_.pageFolder, options_.leafletFolder).FileFor(url).isEmpty())
        std::fprintf(stderr, "trivane: map page %s is missing in %s\n", qPrintable(url.path()),
                     qPrintable(options_.pageFolder));
    page_->AllowDocument(url);
    page_->load(url);
}

void CMapHost::OnLoadFinished(bool ok)
{
    if (closing_) return;
    if (state_ == State::Creating) {
        if (!ok) {
            Fail(MapHostFailure::RuntimeFailed, 0);
            return;
        }
        startTimer_->stop();
        state_ = State::Ready;
        if (window_ != nullptr) SendWindowMessage(window_, WM_MAP_HOST_READY);
        return;
    }
    if (state_ != State::Ready || pageState_ != PageState::Loading) return;
    if (page_->url().adjusted(QUrl::RemoveFragment) != pageUrl_) return;  // an earlier load ending
    if (!ok) {
        pageState_ = PageState::LoadFailed;
        std::fprintf(stderr, "trivane: map page %s did not load\n", qPrintable(pageUrl_.toString()));
        return;
    }
    pageState_ = PageState::Loaded;
    batch_.Clear();
    const int glideStep = options_.glideTimerStepMs >= 0 ? options_.glideTimerStepMs
                          : ComposesInSoftware()         ? kSoftwareGlideStepMs
                                                         : 0;
    if (glideStep > 0)
        Send("if (window.trivaneGlideTimer) trivaneGlideTimer(" + std::to_string(glideStep) + ");");
    for (std::string& call : mirror_.Replay()) Send(call);
    for (std::string& call : otherCalls_) Send(call);
    otherCalls_.clear();
    emit pageLoaded(pageUrl_);
}

void CMapHost::OnRendererGone()
{
    if (closing_) return;
    if (state_ == State::Creating) {
        Fail(MapHostFailure::RuntimeFailed, 0);
        return;
    }
    if (state_ != State::Ready) return;
    pageState_ = PageState::None;
    batch_.Clear();
    flushTimer_->stop();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    while (!rendererDeaths_.empty() && now - rendererDeaths_.front() > kRendererDeathWindowMs)
        rendererDeaths_.pop_front();
    rendererDeaths_.push_back(now);
    if (rendererDeaths_.size() > kMaxRendererDeaths) {
        std::fprintf(stderr, "trivane: the map's renderer keeps stopping; the map stays empty\n");
        return;
    }
    // A new renderer starts with the next load; the route comes back with the replay.
    QTimer::singleShot(0, this, [this] {
        if (state_ == State::Ready && pageState_ == PageState::None && !pageUrl_.isEmpty()) Load(pageUrl_);
    });
}

void CMapHost::RunScript(const std::string& script)
{
    if (state_ == State::Failed || script.empty()) return;
    const bool pageCall = mirror_.Record(script);
    if (pageState_ == PageState::Loaded) {
        Send(script);
    } else if (!pageCall) {
        otherCalls_.push_back(script);
        if (otherCalls_.size() > kMaxOtherCalls) otherCalls_.pop_front();
    }
}

void CMapHost::MovePosition(double latitude, double longitude)
{
    RunScript(MovePositionScript(latitude, longitude));
}

void CMapHost::Send(const std::string& script)
{
    if (!options_.batching) {
        page_->runJavaScript(QString::fromStdString(script));
        ++scriptRuns_;
        return;
    }
    batch_.Push(script);
    if (!flushTimer_->isActive()) flushTimer_->start();
}

void CMapHost::Flush()
{
    if (pageState_ != PageState::Loaded) return;
    const std::string chunk = batch_.TakeChunk(options_.chunkCalls);
    if (!chunk.empty()) {
        page_->runJavaScript(QString::fromStdString(chunk));
        ++scriptRuns_;
    }
    if (!batch_.Empty()) flushTimer_->start();
    else emit callsDelivered();
}

}  // namespace trivane
