#include "map/CMapSchemeHandler.h"

#include <QFile>
#include <QFileInfo>
#include <QUrlQuery>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace trivane {

namespace {

const QString kRoot = QStringLiteral("/map/");
const QString kLeaflet = QStringLiteral("leaflet/");

QByteArray MimeType(const QString& path)
{
    if (path.endsWith(QLatin1String(".html"))) return QByteArrayLiteral("text/html");
    if (path.endsWith(QLatin1String(".js"))) return QByteArrayLiteral("text/javascript");
    if (path.endsWith(QLatin1String(".css"))) return QByteArrayLiteral("text/css");
    if (path.endsWith(QLatin1String(".png"))) return QByteArrayLiteral("image/png");
    if (path.endsWith(QLatin1String(".svg"))) return QByteArrayLiteral("image/svg+xml");
    return {};
}

// `relative` inside `folder`, following links only to files that stay inside it.
QString Inside(const QString& folder, const QString& relative)
{
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty()) return {};
    const QFileInfo file(root + QLatin1Char('/') + relative);
    const QString resolved = file.canonicalFilePath();
    if (resolved.isEmpty() || !file.isFile() || !resolved.startsWith(root + QLatin1Char('/'))) return {};
    return resolved;
}

}  // namespace

void CMapSchemeHandler::RegisterScheme()
{
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // Like a secure remote origin: it loads the providers' scripts and tiles and reads no local file.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QUrl CMapSchemeHandler::PageUrl(const QString& fileName, const QString& queryKey, const QString& queryValue)
{
    QUrl url;
    url.setScheme(QString::fromLatin1(kScheme));
    url.setPath(kRoot + fileName);
    if (!queryKey.isEmpty()) {
        QUrlQuery query;
        query.addQueryItem(queryKey, queryValue);
        url.setQuery(query);
    }
    return url;
}

QString CMapSchemeHandler::DefaultLeafletFolder() { return QStringLiteral(TRIVANE_LEAFLET_DIR); }

CMapSchemeHandler::CMapSchemeHandler(QString pageFolder, QString leafletFolder, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), pageFolder_(std::move(pageFolder)), leafletFolder_(std::move(leafletFolder))
{
}

QString CMapSchemeHandler::FileFor(const QUrl& url) const
{
    if (url.scheme() != QLatin1String(kScheme)) return {};
    const QString path = url.path(QUrl::FullyDecoded);
    if (!path.startsWith(kRoot)) return {};
    const QString relative = path.mid(kRoot.size());
    if (relative.isEmpty() || relative.contains(QLatin1String("..")) || relative.contains(QLatin1String("//")) ||
        MimeType(relative).isEmpty())
        return {};
    if (relative.startsWith(kLeaflet)) return Inside(leafletFolder_, relative.mid(kLeaflet.size()));
    if (relative.contains(QLatin1Char('/'))) return {};
    return Inside(pageFolder_, relative);
}

void CMapSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    const QString path = FileFor(job->requestUrl());
    if (path.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* file = new QFile(path, job);
    if (!file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    job->reply(MimeType(path), file);
}

}  // namespace trivane
