#include "library/qt/CFolderDialog.h"

#include <utility>

#include "library/qt/IPathChooser.h"

namespace trivane {

CFolderDialog::CFolderDialog(QString title, std::string initialFolder, QWidget* owner, IPathChooser& chooser)
    : m_title(std::move(title)),
      m_initialFolder(initialFolder.size() > kMaxInitialFolder ? std::string() : std::move(initialFolder)),
      m_owner(owner),
      m_chooser(chooser) {}

int CFolderDialog::DoModal() {
    std::string chosen;
    if (!m_chooser.ChooseFolder(m_owner, m_title, m_initialFolder, chosen)) return kCancelled;
    if (chosen.empty()) return kNoPath;
    m_path = std::move(chosen);
    return kOk;
}

}  // namespace trivane
