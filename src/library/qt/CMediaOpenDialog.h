#pragma once

#include <QDialog>

#include <string>

#include "library/qt/TextLookup.h"
#include "playback/IPlaybackView.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace trivane {

class CSettingsFile;
class IPathChooser;

// The source dialog: a file or a folder, each picked through the chooser and shown in a read-only
// box. The chosen paths are kept as bytes; the boxes only show them. The disk choice and its
// drive list exist but stay hidden (no drive letters here). Controls are named by their ids:
// "1029" Disk, "1030" File, "1031" Folder, "1034" file box, "1035" folder box, "1036" and
// "1037" their "..." buttons, "1" OK, "2" Cancel. Opens with File chosen; run it with exec().
class CMediaOpenDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDisk = 0;
    static constexpr int kFile = 1;
    static constexpr int kFolder = 2;

    CMediaOpenDialog(QWidget* parent, CSettingsFile& settings, TextLookup lookup, IPathChooser& chooser);

    // The choice OK confirmed: kDisk, kFile or kFolder (kFile until then).
    int SourceChoiceIndex() const { return m_sourceChoice; }
    const std::string& FilePath() const { return m_filePath; }
    // Empty when the confirmed folder no longer existed.
    const std::string& FolderPath() const { return m_folderPath; }
    const std::string& DrivePath() const { return m_drivePath; }

    // The confirmed source (Disk: DrivePath, File: FilePath, Folder: FolderPath); false, with
    // `out` unchanged, unless the dialog was closed with OK.
    bool Result(SourceChoice& out) const;

private:
    void BrowseFile();
    void BrowseFolder();
    void Confirm();
    QString Text(int id) const;

    CSettingsFile& m_settings;
    TextLookup m_lookup;
    IPathChooser& m_chooser;

    QButtonGroup* m_choices;
    QRadioButton* m_disk;
    QRadioButton* m_file;
    QRadioButton* m_folder;
    QComboBox* m_drives;
    QLineEdit* m_fileBox;
    QLineEdit* m_folderBox;

    int m_sourceChoice = kFile;
    std::string m_filePath;
    std::string m_folderPath;
    std::string m_drivePath;
};

}  // namespace trivane
