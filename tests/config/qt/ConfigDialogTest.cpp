#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRect>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FileText.h"
#include "TempDir.h"
#include "app/CSettingsFile.h"
#include "config/qt/CTeskConfigDlg.h"
#include "widgets/WindowMessage.h"

namespace trivane {
namespace {

using Message = std::pair<int, std::uintptr_t>;

// Stands in for the main window: keeps the window messages posted to it.
class Recorder : public QWidget {
public:
    std::vector<Message> messages;

    std::vector<Message> Delivered()
    {
        QCoreApplication::sendPostedEvents(this);
        return messages;
    }

protected:
    bool event(QEvent* e) override
    {
        if (const auto* m = dynamic_cast<CWindowMessageEvent*>(e)) {
            messages.emplace_back(m->Message(), m->WParam());
            return true;
        }
        return QWidget::event(e);
    }
};

QString Utf8(const char* text) { return QString::fromUtf8(text); }

class ConfigDialogTest : public ::testing::Test {
protected:
    void Open(const std::string& ini)
    {
        dialog.reset();
        test::WriteText(path, ini);
        settings = std::make_unique<CSettingsFile>(path);
        dialog = std::make_unique<CTeskConfigDlg>(*settings, &parent);
    }

    template <class T>
    T* Child(const char* id) const
    {
        auto* w = dialog->findChild<T*>(QString::fromLatin1(id));
        EXPECT_NE(w, nullptr) << id;
        return w;
    }
    QComboBox* MapList() const { return Child<QComboBox>("1038"); }
    QComboBox* LanguageList() const { return Child<QComboBox>("1042"); }
    void Click(const char* id) const { Child<QPushButton>(id)->click(); }

    // What another reader of the file sees.
    int FileMap() const { return CSettingsFile(path).GetInt("UI", "MAP", -1); }
    std::string FileLanguage() const { return CSettingsFile(path).GetString("UI", "LANGID", "", 63); }

    void ExpectTexts(const char* caption, const char* ok, const char* cancel, const char* apply,
                     const char* mapGroup, const char* languageGroup) const
    {
        EXPECT_EQ(dialog->windowTitle(), Utf8(caption));
        EXPECT_EQ(Child<QPushButton>("1")->text(), Utf8(ok));
        EXPECT_EQ(Child<QPushButton>("2")->text(), Utf8(cancel));
        EXPECT_EQ(Child<QPushButton>("1039")->text(), Utf8(apply));
        EXPECT_EQ(Child<QPushButton>("1043")->text(), Utf8(apply));
        EXPECT_EQ(Child<QGroupBox>("1040")->title(), Utf8(mapGroup));
        EXPECT_EQ(Child<QGroupBox>("1041")->title(), Utf8(languageGroup));
    }

    // Long translations widen the buttons; the bottom row stays inside the dialog without overlap.
    void ExpectButtonsFit() const
    {
        for (const char* id : {"1", "2", "1039", "1043"}) {
            const auto* button = Child<QPushButton>(id);
            EXPECT_GE(button->width(), button->sizeHint().width()) << id;
        }
        const QRect ok = Child<QPushButton>("1")->geometry();
        const QRect cancel = Child<QPushButton>("2")->geometry();
        EXPECT_LT(ok.right(), cancel.left());
        EXPECT_GE(ok.left(), Child<QGroupBox>("1041")->geometry().left());
        EXPECT_LE(cancel.right(), dialog->width() - 1);
    }

    test::TempDir dir;
    std::string path = dir / "Qen.ini";
    Recorder parent;
    std::unique_ptr<CSettingsFile> settings;
    std::unique_ptr<CTeskConfigDlg> dialog;
};

TEST_F(ConfigDialogTest, OpensWithTheFilesChoicesAndClampsTheMapValue)
{
    Open("[UI]\nLANGID=RUS\nMAP=5\n");
    EXPECT_EQ(LanguageList()->currentIndex(), 4);
    EXPECT_EQ(LanguageList()->itemText(6), Utf8("日本語"));
    EXPECT_EQ(MapList()->currentIndex(), 1);
    EXPECT_EQ(dialog->AppliedMap(), 1);
    EXPECT_EQ(settings->MapProvider(), 1);
    ExpectTexts("Конфигурация", "подтверждения", "отменить", "Применить", "Выбрать карту", "Выбрать язык");
    ExpectButtonsFit();

    Open("[UI]\nLANGID=ENG\nMAP=-3\n");
    EXPECT_EQ(LanguageList()->currentIndex(), 0);
    EXPECT_EQ(MapList()->currentIndex(), 0);
    EXPECT_EQ(MapList()->itemText(0), Utf8("Google Maps"));
    EXPECT_EQ(MapList()->itemText(1), Utf8("China Map"));
    EXPECT_EQ(dialog->AppliedMap(), 0);
    ExpectTexts("Config", "OK", "Cancel", "Apply", "Select map", "Select language");
    EXPECT_TRUE(parent.Delivered().empty());
}

TEST_F(ConfigDialogTest, MapApplyWritesAndAnnouncesAtOnce)
{
    Open("[UI]\nLANGID=ENG\nMAP=0\n");
    MapList()->setCurrentIndex(1);
    Click("1039");
    EXPECT_EQ(FileMap(), 1);
    EXPECT_EQ(settings->MapProvider(), 1);
    EXPECT_EQ(dialog->AppliedMap(), 1);
    EXPECT_EQ(parent.Delivered(), (std::vector<Message>{{0xC0B, 1}}));
}

TEST_F(ConfigDialogTest, LanguageApplyRetitlesTheDialogButKeepsTheMapList)
{
    Open("[UI]\nLANGID=ENG\nMAP=0\n");
    MapList()->setCurrentIndex(1);  // chosen, not applied
    LanguageList()->setCurrentIndex(6);
    Click("1043");

    EXPECT_EQ(FileLanguage(), "JPN");
    EXPECT_EQ(parent.Delivered(), (std::vector<Message>{{0xC02, 6}}));
    ExpectTexts("構成", "開く(o)", "キャンセル", "適用", "マップの選択", "言語の選択");
    EXPECT_EQ(MapList()->currentIndex(), 1);
    EXPECT_EQ(MapList()->itemText(1), Utf8("China Map"));
    EXPECT_EQ(FileMap(), 0);
}

TEST_F(ConfigDialogTest, OkAppliesBothBeforeClosing)
{
    Open("[UI]\nLANGID=ENG\nMAP=0\n");
    MapList()->setCurrentIndex(1);
    LanguageList()->setCurrentIndex(4);
    Click("1");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(FileMap(), 1);
    EXPECT_EQ(FileLanguage(), "RUS");
    EXPECT_EQ(dialog->AppliedMap(), 1);
    EXPECT_EQ(parent.Delivered(), (std::vector<Message>{{0xC0B, 1}, {0xC02, 4}}));
}

TEST_F(ConfigDialogTest, CancelKeepsWhatWasAppliedAndDropsTheRest)
{
    Open("[UI]\nLANGID=ENG\nMAP=0\n");
    MapList()->setCurrentIndex(1);
    Click("1039");
    MapList()->setCurrentIndex(0);
    LanguageList()->setCurrentIndex(3);
    Click("2");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(FileMap(), 1);
    EXPECT_EQ(FileLanguage(), "ENG");
    EXPECT_EQ(settings->LanguageIndex(), 0u);
    EXPECT_EQ(dialog->AppliedMap(), 1);
    EXPECT_EQ(parent.Delivered(), (std::vector<Message>{{0xC0B, 1}}));
}

// The lists are pick lists: a letter picks the item it starts, Return is OK and Escape Cancel.
TEST_F(ConfigDialogTest, ListsTakeNoTypedTextAndTheKeyboardWorksTheDialog)
{
    Open("[UI]\nLANGID=ENG\nMAP=1\n");
    EXPECT_FALSE(MapList()->isEditable());
    EXPECT_FALSE(LanguageList()->isEditable());
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    QTest::keyClick(LanguageList(), Qt::Key_T);
    EXPECT_EQ(LanguageList()->currentIndex(), 7);
    QTest::keyClick(LanguageList(), Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(FileLanguage(), "GER");
    EXPECT_EQ(parent.Delivered(), (std::vector<Message>{{0xC0B, 1}, {0xC02, 7}}));
    ExpectTexts("Konfig", "ยืนยัน", "ยกเลิก", "Übernehmen", "Karte wählen", "Sprache wählen");
    ExpectButtonsFit();

    Open("[UI]\nLANGID=ENG\nMAP=0\n");
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    MapList()->setCurrentIndex(1);
    QTest::keyClick(MapList(), Qt::Key_Escape);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(FileMap(), 0);
}

// A read-only settings file does not swallow the user's choice: it applies until the player
// closes, the window is told, the user learns it was not saved, and the file stays as it was.
TEST_F(ConfigDialogTest, FailedWritesApplyForThisRunAndSaySo)
{
    const std::string ini = "[UI]\nLANGID=ENG\nMAP=0\n";
    Open(ini);
    std::vector<QString> reports;
    dialog->SetSaveFailureReporter([&reports](const QString& text) { reports.push_back(text); });
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);

    MapList()->setCurrentIndex(1);
    Click("1039");
    EXPECT_EQ(dialog->AppliedMap(), 1);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].contains(QString::fromStdString(path))) << reports[0].toStdString();

    LanguageList()->setCurrentIndex(4);
    Click("1043");
    EXPECT_NE(dialog->windowTitle(), Utf8("Config"));
    EXPECT_EQ(settings->LanguageIndex(), 4u);
    EXPECT_EQ(reports.size(), 2u);

    Click("1");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(reports.size(), 3u);  // one report for OK, though both writes failed
    const std::vector<Message> expected = {{WM_MAP_PROVIDER_CHANGED, 1}, {WM_LANGUAGE_CHANGED, 4},
                                           {WM_MAP_PROVIDER_CHANGED, 1}, {WM_LANGUAGE_CHANGED, 4}};
    EXPECT_EQ(parent.Delivered(), expected);
    EXPECT_EQ(test::ReadText(path), ini);
}

}  // namespace
}  // namespace trivane
