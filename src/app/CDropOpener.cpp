#include "app/CDropOpener.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace trivane {

CDropOpener* CDropOpener::Install(QWidget& window, OpenFunction open)
{
    auto* opener = new CDropOpener(window, std::move(open));
    window.setAcceptDrops(true);
    window.installEventFilter(opener);
    return opener;
}

CDropOpener::CDropOpener(QWidget& window, OpenFunction open) : QObject(&window), open_(std::move(open)) {}

std::string CDropOpener::FirstLocalPath(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        // file: URLs with a host name other than this machine's stay unopened.
        if (url.isLocalFile() && url.host().isEmpty()) {
            const QByteArray path = QFile::encodeName(url.toLocalFile());
            if (!path.isEmpty()) return path.toStdString();
        }
    }
    return {};
}

bool CDropOpener::AcceptCopy(QDropEvent& event)
{
    if (FirstLocalPath(event.mimeData()).empty() || !(event.possibleActions() & Qt::CopyAction)) {
        event.ignore();
        return false;
    }
    event.setDropAction(Qt::CopyAction);
    event.accept();
    return true;
}

bool CDropOpener::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        AcceptCopy(*static_cast<QDropEvent*>(event));
        return true;
    case QEvent::Drop: {
        auto& drop = *static_cast<QDropEvent*>(event);
        if (AcceptCopy(drop)) {
            // Opening may ask questions or report a failure in a modal box: not while the
            // dragging program still waits for the drop to finish.
            QTimer::singleShot(0, this, [this, path = FirstLocalPath(drop.mimeData())] { open_(path); });
        }
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

}  // namespace trivane
