#include "library/qt/CMediaOpenDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <utility>

#include "app/CSettingsFile.h"
#include "library/qt/CFolderDialog.h"
#include "library/qt/ChosenPath.h"
#include "library/qt/IPathChooser.h"

namespace trivane {

namespace {

constexpr int kTitleText = 104;       // "Select a file"
constexpr int kOkText = 107;
constexpr int kCancelText = 108;
constexpr int kDiskText = 111;
constexpr int kFolderText = 112;
constexpr int kFileText = 113;
constexpr int kFolderTitleText = 130;  // "Select a folder"

QString Shown(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace

CMediaOpenDialog::CMediaOpenDialog(QWidget* parent, CSettingsFile& settings, TextLookup lookup,
                                   IPathChooser& chooser)
    : QDialog(parent), m_settings(settings), m_lookup(std::move(lookup)), m_chooser(chooser) {
    setModal(true);
    setWindowTitle(Text(kTitleText));
    setFixedSize(575, 190);

    m_choices = new QButtonGroup(this);
    auto radio = [this](int textId, const char* name, QRect at, int choice) {
        auto* button = new QRadioButton(Text(textId), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(at);
        m_choices->addButton(button, choice);
        return button;
    };
    auto box = [this](const char* name, QRect at) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(true);
        edit->setGeometry(at);
        return edit;
    };
    auto button = [this](const QString& text, const char* name, QRect at) {
        auto* push = new QPushButton(text, this);
        push->setObjectName(QString::fromLatin1(name));
        push->setGeometry(at);
        return push;
    };

    m_disk = radio(kDiskText, "1029", QRect(10, 20, 80, 20), kDisk);
    m_drives = new QComboBox(this);
    m_drives->setGeometry(95, 19, 400, 22);
    m_disk->hide();
    m_drives->hide();

    m_file = radio(kFileText, "1030", QRect(10, 53, 80, 20), kFile);
    m_fileBox = box("1034", QRect(95, 52, 400, 22));
    QPushButton* browseFile = button(QStringLiteral("..."), "1036", QRect(505, 51, 60, 24));

    m_folder = radio(kFolderText, "1031", QRect(10, 120, 80, 20), kFolder);
    m_folderBox = box("1035", QRect(95, 119, 400, 22));
    QPushButton* browseFolder = button(QStringLiteral("..."), "1037", QRect(505, 118, 60, 24));

    QPushButton* ok = button(Text(kOkText), "1", QRect(385, 156, 85, 26));
    QPushButton* cancel = button(Text(kCancelText), "2", QRect(480, 156, 85, 26));
    ok->setDefault(true);

    m_file->setChecked(true);

    connect(browseFile, &QPushButton::clicked, this, &CMediaOpenDialog::BrowseFile);
    connect(browseFolder, &QPushButton::clicked, this, &CMediaOpenDialog::BrowseFolder);
    connect(ok, &QPushButton::clicked, this, &CMediaOpenDialog::Confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString CMediaOpenDialog::Text(int id) const {
    return m_lookup ? QString::fromStdString(m_lookup(id)) : QString();
}

void CMediaOpenDialog::BrowseFile() {
    std::string chosen;
    if (!m_chooser.ChooseFile(this, Text(kTitleText), chosen) || chosen.empty()) return;
    m_filePath = std::move(chosen);
    m_fileBox->setText(Shown(m_filePath));
    m_file->setChecked(true);
}

void CMediaOpenDialog::BrowseFolder() {
    std::string initial = m_settings.ReadFolder();
    if (!IsFolder(initial)) initial.clear();
    CFolderDialog dialog(Text(kFolderTitleText), std::move(initial), this, m_chooser);
    if (dialog.DoModal() != CFolderDialog::kOk) return;
    m_folderPath = dialog.Path();
    m_folderBox->setText(Shown(m_folderPath));
    m_folder->setChecked(true);
    if (!IsFolder(m_folderPath)) m_folderPath.clear();
    m_settings.WriteFolder(m_folderPath);
}

void CMediaOpenDialog::Confirm() {
    // The paths stay what the choosers gave: the boxes show them lossily when they are not UTF-8.
    const int checked = m_choices->checkedId();
    m_sourceChoice = checked >= kDisk && checked <= kFolder ? checked : kFile;
    accept();
}

bool CMediaOpenDialog::Result(SourceChoice& out) const {
    if (result() != QDialog::Accepted) return false;
    switch (m_sourceChoice) {
        case kDisk:
            out = {SourceKind::Disk, m_drivePath};
            break;
        case kFolder:
            out = {SourceKind::Folder, m_folderPath};
            break;
        default:
            out = {SourceKind::File, m_filePath};
            break;
    }
    return true;
}

}  // namespace trivane
