#include "map/CMapPage.h"

#include <QWebEngineNewWindowRequest>

namespace trivane {

namespace {

bool SameDocument(const QUrl& a, const QUrl& b)
{
    return a.adjusted(QUrl::RemoveFragment) == b.adjusted(QUrl::RemoveFragment);
}

}  // namespace

CMapPage::CMapPage(QWebEngineProfile* profile, LinkOpener openLink, QObject* parent)
    : QWebEnginePage(profile, parent), openLink_(std::move(openLink))
{
    // Not opening the request in a page refuses the window.
    connect(this, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest& request) {
        if (request.isUserInitiated()) OpenOutside(request.requestedUrl());
    });
}

bool CMapPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (!isMainFrame) return true;
    if (SameDocument(url, allowed_)) return true;
    if (type == NavigationTypeLinkClicked) OpenOutside(url);
    return false;
}

void CMapPage::OpenOutside(const QUrl& url)
{
    const QString scheme = url.scheme();
    if (openLink_ && (scheme == QLatin1String("https") || scheme == QLatin1String("http"))) openLink_(url);
}

}  // namespace trivane
