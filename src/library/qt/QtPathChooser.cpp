#include "library/qt/QtPathChooser.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include <sys/stat.h>

#include <algorithm>

#include "library/qt/ChosenPath.h"

namespace trivane {

namespace {

// Qt's own dialog refuses a chosen name it cannot find, and it cannot find names that are not
// UTF-8 (it looks for the re-encoded replacement characters). A choice whose bytes on disk are
// found, of the kind the dialog asks for, is accepted here; everything else goes through
// QFileDialog's checks and messages as before.
class ByteNameFileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList files = selectedFiles();
        const bool wantFolder = fileMode() == QFileDialog::Directory;
        const auto foundOnlyAsBytes = [wantFolder](const QString& file) {
            if (file.isEmpty() || QFileInfo::exists(file)) return false;
            struct stat st {};
            if (::stat(ResolveChosenPath(file).c_str(), &st) != 0) return false;
            return S_ISDIR(st.st_mode) == wantFolder;
        };
        if (!files.isEmpty() && std::all_of(files.begin(), files.end(), foundOnlyAsBytes)) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

bool RunDialog(QFileDialog& dialog, std::string& path) {
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return false;
    path = ResolveChosenPath(chosen.front());
    return true;
}

}  // namespace

bool QtPathChooser::ChooseFile(QWidget* parent, const QString& caption, std::string& path) {
    ByteNameFileDialog dialog(parent, caption);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return RunDialog(dialog, path);
}

bool QtPathChooser::ChooseFolder(QWidget* parent, const QString& caption, const std::string& initialFolder,
                                 std::string& path) {
    ByteNameFileDialog dialog(parent, caption);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (IsFolder(initialFolder)) dialog.setDirectory(QFile::decodeName(QByteArray::fromStdString(initialFolder)));
    return RunDialog(dialog, path);
}

}  // namespace trivane
