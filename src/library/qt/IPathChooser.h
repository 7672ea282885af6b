#pragma once

#include <QString>

#include <string>

class QWidget;

namespace trivane {

// The file and folder pickers behind the source dialog; tests put a scripted one in their place.
// Paths are bytes as named on disk. Both return false when the user cancels.
class IPathChooser {
public:
    virtual ~IPathChooser() = default;
    // One existing file.
    virtual bool ChooseFile(QWidget* parent, const QString& caption, std::string& path) = 0;
    // One folder, starting at initialFolder when it names one (empty: the chooser's own choice).
    virtual bool ChooseFolder(QWidget* parent, const QString& caption, const std::string& initialFolder,
                              std::string& path) = 0;
};

}  // namespace trivane
