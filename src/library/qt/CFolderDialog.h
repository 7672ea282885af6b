#pragma once

#include <QString>

#include <string>

class QWidget;

namespace trivane {

class IPathChooser;

// Folder picker of the source dialog: the chooser's folder dialog with a title and a starting
// folder (bytes). An initial folder longer than kMaxInitialFolder bytes counts as none.
class CFolderDialog {
public:
    static constexpr std::size_t kMaxInitialFolder = 1023;
    static constexpr int kOk = 1;
    static constexpr int kCancelled = 2;
    static constexpr int kNoPath = -1;

    CFolderDialog(QString title, std::string initialFolder, QWidget* owner, IPathChooser& chooser);

    // kOk with Path() set, kCancelled, or kNoPath when the choice names no file-system folder.
    int DoModal();
    const std::string& Path() const { return m_path; }
    const std::string& InitialFolder() const { return m_initialFolder; }

private:
    QString m_title;
    std::string m_initialFolder;
    QWidget* m_owner;
    IPathChooser& m_chooser;
    std::string m_path;
};

}  // namespace trivane
