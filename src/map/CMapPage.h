#pragma once

#include <QUrl>
#include <QWebEnginePage>

#include <functional>

namespace trivane {

// The map page: its main frame stays on the page the host loaded. A link the user follows
// (attribution, terms) opens in the system's browser instead; frames of the provider may load
// what they like; the page opens no windows.
class CMapPage final : public QWebEnginePage {
    Q_OBJECT
public:
    using LinkOpener = std::function<void(const QUrl&)>;

    CMapPage(QWebEngineProfile* profile, LinkOpener openLink, QObject* parent = nullptr);

    // The one document the main frame may show; the host sets it before each load.
    void AllowDocument(const QUrl& url) { allowed_ = url; }
    const QUrl& AllowedDocument() const { return allowed_; }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    void OpenOutside(const QUrl& url);

    QUrl allowed_;
    LinkOpener openLink_;
};

}  // namespace trivane
