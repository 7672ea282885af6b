#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QTimer>

#include <filesystem>
#include <functional>

#include "FileText.h"
#include "TempDir.h"
#include "library/qt/ChosenPath.h"
#include "library/qt/QtPathChooser.h"

namespace trivane {
namespace {

QString Decoded(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

TEST(ChosenPath, SplitsAtTheLastSlashAndFindsTheBytesOfNamesThatAreNotUtf8) {
    std::string folder, name;
    SplitFilePath("/x.MOV", folder, name);
    EXPECT_EQ(folder + "|" + name, "/|x.MOV");
    SplitFilePath("x.MOV", folder, name);
    EXPECT_EQ(folder + "|" + name, ".|x.MOV");

    test::TempDir dir;
    const std::string clip = dir / "caf\xE9/caf\xE9.MOV";
    std::filesystem::create_directory(dir / "caf\xE9");
    test::WriteText(clip, "x");
    ASSERT_NE(QFile::encodeName(Decoded(clip)).toStdString(), clip);  // Qt's decoding loses the byte
    EXPECT_EQ(ResolveChosenPath(Decoded(clip)), clip);
    // Names that match nothing stay as encoded.
    EXPECT_EQ(ResolveChosenPath(Decoded(dir / "missing/x.MOV")), dir / "missing/x.MOV");
}

// Runs `act` on the file dialog once it is open; a watchdog rejects whatever modal window is
// still open every few seconds, so a dialog that will not close fails the test instead of
// hanging it.
bool Drive(std::function<void(QFileDialog&)> act, const std::function<bool()>& open) {
    QTimer::singleShot(0, [act] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) act(*dialog);
    });
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) modal->reject();
    });
    watchdog.start(3000);
    return open();
}

TEST(QtPathChooser, AcceptsNamesThatAreNotUtf8AndStartsInTheInitialFolder) {
    test::TempDir dir;
    const std::string clip = dir / "\xC9T\xC9.MOV";
    test::WriteText(clip, "x");
    QtPathChooser chooser;
    std::string path;
    ASSERT_TRUE(Drive(
        [&](QFileDialog& d) {
            EXPECT_EQ(d.fileMode(), QFileDialog::ExistingFile);
            d.selectFile(Decoded(clip));
            static_cast<QDialog&>(d).accept();  // QFileDialog hides its override
        },
        [&] { return chooser.ChooseFile(nullptr, QStringLiteral("Select a file"), path); }));
    EXPECT_EQ(path, clip);

    // Accepted as it opened: the initial folder itself.
    ASSERT_TRUE(Drive(
        [&](QFileDialog& d) {
            EXPECT_EQ(d.fileMode(), QFileDialog::Directory);
            EXPECT_EQ(d.directory().absolutePath(), Decoded(dir.Path()));
            static_cast<QDialog&>(d).accept();
        },
        [&] { return chooser.ChooseFolder(nullptr, QStringLiteral("Select a folder"), dir.Path(), path); }));
    EXPECT_EQ(path, dir.Path());
    EXPECT_FALSE(Drive([](QFileDialog& d) { d.reject(); },
                       [&] { return chooser.ChooseFile(nullptr, QStringLiteral("Select a file"), path); }));
}

}  // namespace
}  // namespace trivane
