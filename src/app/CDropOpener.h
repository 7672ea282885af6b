#pragma once

#include <QObject>

#include <functional>
#include <string>

class QDropEvent;
class QMimeData;
class QWidget;

namespace trivane {

// Opens a file or folder dropped onto a window: the first local file among the dropped items
// goes to the open function, after the drop has finished. Drops without a local file are
// refused and do nothing. The drop is always taken as a copy, so a source that offered a move
// never deletes what it dropped.
class CDropOpener final : public QObject {
    Q_OBJECT

public:
    using OpenFunction = std::function<void(const std::string& path)>;

    // Lets `window` take drops and filters its drag and drop events; owned by the window.
    static CDropOpener* Install(QWidget& window, OpenFunction open);

    // The path of the first local file among the items, or empty.
    static std::string FirstLocalPath(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CDropOpener(QWidget& window, OpenFunction open);
    // Accepts the event as a copy when it carries a local file; false if it does not.
    static bool AcceptCopy(QDropEvent& event);

    OpenFunction open_;
};

}  // namespace trivane
