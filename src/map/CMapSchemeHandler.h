#pragma once

#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

namespace trivane {

// Serves the map pages and Leaflet under "trivane:/map/...". The pages run remote provider
// scripts, so they get no file: access at all; this handler hands out only the files of the page
// folder and of Leaflet's folder ("trivane:/map/leaflet/..."), nothing above them.
class CMapSchemeHandler final : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    static constexpr const char* kScheme = "trivane";

    // Makes the scheme known to the browser; before the QApplication is created.
    static void RegisterScheme();
    // The address of a page file, with an optional query item.
    static QUrl PageUrl(const QString& fileName, const QString& queryKey = {}, const QString& queryValue = {});
    // Leaflet's folder as installed by Debian's libjs-leaflet (or as configured at build time).
    static QString DefaultLeafletFolder();

    CMapSchemeHandler(QString pageFolder, QString leafletFolder, QObject* parent = nullptr);

    // The file an address stands for, or empty when it is not one this handler serves.
    QString FileFor(const QUrl& url) const;

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    QString pageFolder_;
    QString leafletFolder_;
};

}  // namespace trivane
