#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <deque>
#include <filesystem>

#include "TempDir.h"
#include "app/CSettingsFile.h"
#include "library/qt/CFolderDialog.h"
#include "library/qt/CMediaOpenDialog.h"
#include "library/qt/IPathChooser.h"

namespace trivane {
namespace {

// Answers from a script (nothing left: cancelled) and remembers how it was asked.
class FakeChooser final : public IPathChooser {
public:
    std::deque<std::pair<bool, std::string>> answers;
    std::vector<QString> captions;
    std::vector<std::string> initialFolders;

    bool ChooseFile(QWidget*, const QString& caption, std::string& path) override { return Next(caption, path); }
    bool ChooseFolder(QWidget*, const QString& caption, const std::string& initial, std::string& path) override {
        initialFolders.push_back(initial);
        return Next(caption, path);
    }

private:
    bool Next(const QString& caption, std::string& path) {
        captions.push_back(caption);
        if (answers.empty()) return false;
        const auto [ok, chosen] = answers.front();
        answers.pop_front();
        if (ok) path = chosen;
        return ok;
    }
};

class SourceDialogTest : public ::testing::Test {
protected:
    SourceDialogTest() : settings(dir / "Qen.ini") { std::filesystem::create_directory(dcim); }

    std::unique_ptr<CMediaOpenDialog> Open() {
        const TextLookup lookup = [](int id) { return std::to_string(id); };
        return std::make_unique<CMediaOpenDialog>(nullptr, settings, lookup, chooser);
    }
    static void Press(CMediaOpenDialog& d, const char* name) { d.findChild<QPushButton*>(name)->click(); }
    static bool On(CMediaOpenDialog& d, const char* name) { return d.findChild<QRadioButton*>(name)->isChecked(); }
    static std::string Box(CMediaOpenDialog& d, const char* name) {
        return d.findChild<QLineEdit*>(name)->text().toStdString();
    }
    static SourceChoice Confirm(CMediaOpenDialog& d) {
        Press(d, "1");
        SourceChoice choice{SourceKind::Disk, "unset"};
        EXPECT_TRUE(d.Result(choice));
        return choice;
    }

    test::TempDir dir;
    CSettingsFile settings;
    FakeChooser chooser;
    const std::string dcim = dir / "DCIM";
    const std::string clip = dir / "a.MOV";
};

TEST_F(SourceDialogTest, FileThenFolderConfirmsTheFolderWithBothPathsKept) {
    auto d = Open();
    EXPECT_EQ(d->windowTitle(), "104");
    EXPECT_TRUE(On(*d, "1030"));
    chooser.answers = {{true, clip}, {true, dcim}};
    Press(*d, "1036");
    EXPECT_EQ(Box(*d, "1034"), clip);
    Press(*d, "1037");
    EXPECT_EQ(Box(*d, "1035"), dcim);
    EXPECT_TRUE(On(*d, "1031"));
    EXPECT_EQ(chooser.captions, (std::vector<QString>{"104", "130"}));

    const SourceChoice choice = Confirm(*d);
    EXPECT_EQ(d->SourceChoiceIndex(), CMediaOpenDialog::kFolder);
    EXPECT_EQ(choice.kind, SourceKind::Folder);
    EXPECT_EQ(choice.path, dcim);
    EXPECT_EQ(d->FilePath(), clip);
}

TEST_F(SourceDialogTest, CancelledOrPathlessChoicesChangeNothing) {
    auto d = Open();
    chooser.answers = {{true, dcim}, {true, clip}, {false, ""}, {true, ""}};
    Press(*d, "1037");
    Press(*d, "1036");
    Press(*d, "1037");  // cancelled
    Press(*d, "1037");  // no file-system path
    Press(*d, "1036");  // cancelled
    EXPECT_TRUE(On(*d, "1030"));
    EXPECT_EQ(Box(*d, "1035"), dcim);
    EXPECT_EQ(d->FolderPath(), dcim);
    const SourceChoice choice = Confirm(*d);
    EXPECT_EQ(choice.kind, SourceKind::File);
    EXPECT_EQ(choice.path, clip);

    // OK alone gives an empty file; Cancel gives nothing.
    d = Open();
    EXPECT_EQ(Confirm(*d).path, "");
    d = Open();
    Press(*d, "2");
    SourceChoice untouched{SourceKind::Disk, "x"};
    EXPECT_FALSE(d->Result(untouched));
    EXPECT_EQ(untouched.path, "x");
}

TEST_F(SourceDialogTest, FolderBrowsingStartsAtTheLastConfirmedFolderWhileItExists) {
    const std::string gone = dir / "gone";
    chooser.answers = {{true, dcim}, {false, ""}, {true, gone}};
    Open()->findChild<QPushButton*>("1037")->click();
    auto d = Open();
    Press(*d, "1037");
    std::filesystem::remove(dcim);
    Press(*d, "1037");
    EXPECT_EQ(chooser.initialFolders, (std::vector<std::string>{"", dcim, ""}));

    // A confirmed folder that does not exist is shown but stored and returned empty.
    EXPECT_EQ(Box(*d, "1035"), gone);
    EXPECT_EQ(settings.ReadFolder(), "");
    const SourceChoice choice = Confirm(*d);
    EXPECT_EQ(choice.kind, SourceKind::Folder);
    EXPECT_EQ(choice.path, "");
}

TEST_F(SourceDialogTest, NamesThatAreNotUtf8KeepTheirBytes) {
    const std::string folder = dir / "caf\xE9";
    const std::string file = folder + "/\xC9T\xC9.MOV";
    std::filesystem::create_directory(folder);
    chooser.answers = {{true, file}, {true, folder}};
    auto d = Open();
    Press(*d, "1036");
    Press(*d, "1037");
    EXPECT_TRUE(d->findChild<QLineEdit*>("1035")->text().contains(QChar::ReplacementCharacter));
    EXPECT_EQ(Confirm(*d).path, folder);
    EXPECT_EQ(d->FilePath(), file);
    EXPECT_EQ(settings.ReadFolder(), folder);
}

TEST(FolderDialog, ResultsAndTheLengthLimitOfTheInitialFolder) {
    FakeChooser chooser;
    chooser.answers = {{true, "/media/card"}, {false, ""}, {true, ""}};
    CFolderDialog ok(QStringLiteral("Pick"), std::string(1023, 'a'), nullptr, chooser);
    EXPECT_EQ(ok.DoModal(), CFolderDialog::kOk);
    EXPECT_EQ(ok.Path(), "/media/card");
    EXPECT_EQ(CFolderDialog(QStringLiteral("Pick"), std::string(1024, 'a'), nullptr, chooser).DoModal(),
              CFolderDialog::kCancelled);
    EXPECT_EQ(CFolderDialog(QStringLiteral("Pick"), "/", nullptr, chooser).DoModal(), CFolderDialog::kNoPath);
    EXPECT_EQ(chooser.initialFolders[0].size(), 1023u);
    EXPECT_EQ(chooser.initialFolders[1], "");
}

}  // namespace
}  // namespace trivane
