#pragma once

class QObject;
class QRect;
class QWidget;

namespace trivane {

class IMapHost;

// The map pane as the main window sees it: a child view that announces its readiness with
// WM_MAP_HOST_READY and runs the page's scripts for the catalogue.
class IMapPane {
public:
    virtual ~IMapPane() = default;
    virtual QWidget* View() = 0;
    // Starts the browser; WM_MAP_HOST_READY goes to `window` once, when the view can load pages.
    virtual void CreateBrowser(QObject* window) = 0;
    virtual void SetBounds(const QRect& bounds) = 0;
    // Loads the page of a provider (0 the first page, 1 the second).
    virtual void ShowMap(int provider) = 0;
    // Forgets the route, driven path and marker and loads the page afresh: the empty map.
    virtual void ResetPage() = 0;
    virtual IMapHost* ScriptHost() = 0;
};

}  // namespace trivane
