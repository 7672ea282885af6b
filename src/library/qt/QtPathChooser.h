#pragma once

#include "library/qt/IPathChooser.h"

namespace trivane {

// IPathChooser on QFileDialog, modal to the given parent. The chosen names are mapped back to
// the bytes on disk (ResolveChosenPath), so names that are not UTF-8 still open.
class QtPathChooser final : public IPathChooser {
public:
    bool ChooseFile(QWidget* parent, const QString& caption, std::string& path) override;
    bool ChooseFolder(QWidget* parent, const QString& caption, const std::string& initialFolder,
                      std::string& path) override;
};

}  // namespace trivane
