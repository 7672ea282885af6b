// The snapshot JPEG conversion with Qt's real codecs.
#include "app/SnapshotJpeg.h"

#include <gtest/gtest.h>

#include "FileText.h"
#include "TempDir.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

using trivane::ConvertPngToJpeg;
using trivane::test::TempDir;
using Names = std::vector<std::string>;

namespace {

// Lets no file grow past 100 bytes, so writing the JPEG fails partway through, and exits 0 only
// if the conversion reported it and left the older file as it was, with nothing beside it.
[[noreturn]] void ConvertBeyondFileSizeLimit(const TempDir& dir)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100, 100};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        std::_Exit(3);
    }
    if (ConvertPngToJpeg(dir / "good.png", dir / "old.jpg")) {
        std::_Exit(1);
    }
    const bool untouched = trivane::test::ReadText(dir / "old.jpg") == "older picture" &&
                           trivane::test::FolderEntries(dir.Path()) == Names{"cut.png", "good.png", "old.jpg"};
    std::_Exit(untouched ? 0 : 2);
}

}  // namespace

TEST(SnapshotJpeg, ConvertsAPngIntoAJpegWithTheModeOfANewFile)
{
    TempDir dir;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(30, 160, 60));
    ASSERT_TRUE(picture.save(QString::fromStdString(dir / "snap.png"), "PNG"));

    const mode_t savedMask = ::umask(027);
    const bool converted = ConvertPngToJpeg(dir / "snap.png", dir / "snap.jpg");
    ::umask(savedMask);
    ASSERT_TRUE(converted);
    QImage back;
    ASSERT_TRUE(back.load(QString::fromStdString(dir / "snap.jpg"), "JPEG"));
    EXPECT_EQ(back.size(), picture.size());
    EXPECT_NEAR(back.pixelColor(32, 24).green(), 160, 8);
    struct stat info {};
    ASSERT_EQ(::stat((dir / "snap.jpg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(trivane::test::FolderEntries(dir.Path()), (Names{"snap.jpg", "snap.png"}));
}

TEST(SnapshotJpeg, FailedConversionLeavesNothingAndKeepsAnOlderFile)
{
    TempDir dir;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    ASSERT_TRUE(picture.save(QString::fromStdString(dir / "good.png"), "PNG"));
    trivane::test::WriteText(dir / "cut.png", trivane::test::ReadText(dir / "good.png").substr(0, 40));
    trivane::test::WriteText(dir / "old.jpg", "older picture");

    EXPECT_FALSE(ConvertPngToJpeg(dir / "cut.png", dir / "old.jpg"));
    EXPECT_FALSE(ConvertPngToJpeg(dir / "cut.png", dir / "new.jpg"));
    EXPECT_FALSE(ConvertPngToJpeg(dir / "missing.png", dir / "new.jpg"));
    EXPECT_FALSE(ConvertPngToJpeg(dir / "good.png", dir / "missing/new.jpg"));
    EXPECT_EQ(trivane::test::ReadText(dir / "old.jpg"), "older picture");
    EXPECT_EQ(trivane::test::FolderEntries(dir.Path()), (Names{"cut.png", "good.png", "old.jpg"}));
    EXPECT_EXIT(ConvertBeyondFileSizeLimit(dir), ::testing::ExitedWithCode(0), "") << "a failed write touched the older file";
}
