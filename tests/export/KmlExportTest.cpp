#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "TestCard.h"
#include "XmlCheck.h"
#include "export/CKmlFile.h"
#include "export/KmlExport.h"
#include "library/CRecordingManager.h"
#include "telemetry/LocalTime.h"

namespace trivane {
namespace {

using test::Fix;
using test::TempDir;

std::string Document(const std::string& name, const std::string& car, const std::string& coordinates) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
           "  <Document>\n"
           "    <name>" + name + "</name>\n"
           "\t<description></description>\n"
           "    <Style id=\"blueLine\">\n"
           "      <LineStyle>\n"
           "        <color>ffff0000</color>\n"
           "        <width>4</width>\n"
           "      </LineStyle>\n"
           "    </Style>\n"
           "    <Placemark>\n"
           "      <name>CAR PATH</name>\n"
           "      <description>GPS Path of Car DV " + car + "</description>\n"
           "      <styleUrl>#blueLine</styleUrl>\n"
           "      <LineString>\n"
           "        <altitudeMode>relative</altitudeMode>\n"
           "        <coordinates>\n" + coordinates + "\n"
           "        </coordinates>\n"
           "      </LineString>\n"
           "    </Placemark>\n"
           "  </Document>\n"
           "</kml>\n";
}

class KmlTest : public ::testing::Test {
protected:
    void Open(const std::string& folder, const std::string& name) {
        ASSERT_EQ(m.OpenSource(folder, name), 1);
        ASSERT_EQ(m.Entries().size(), 1u);
        ASSERT_EQ(m.SelectCurrent(0), 1);
        ASSERT_TRUE(m.LoadTelemetry(0));
    }
    std::string Out() const { return out.Path() + "/"; }
    TempDir dir;
    TempDir out;
    CRecordingManager m;
};

TEST_F(KmlTest, WritesTheDocumentWithConvertedCoordinates) {
    writer::Telemetry t;
    t.fixes = {Fix(2233.81, 11357.34, 0, true, 12), Fix(2233.81, 11357.34, 0, false, 1),
               Fix(19999.99, 1000, 0, true, 2),  // 200.6665 degrees after conversion: left out
               Fix(1000, 2000, 0, true, -5)};
    test::MakeFolder(dir / "DCIM");
    test::WriteMov(dir / "DCIM/20200601_100000F.MOV", "2020-06-01 10:00:00", 60, t);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    ASSERT_EQ(m.SelectCurrent(0), 1);
    ASSERT_TRUE(m.LoadTelemetry(0));

    const KmlExportResult result = ExportKml(m, Out());
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.path, Out() + "20200601_100000F_2020_06_01_10-00-00.KML");
    EXPECT_EQ(test::ReadText(result.path),
              Document("20200601_100000F.MOV", "\"DCIM/20200601_100000F.MOV\" 2020/06/01 10:00:00",
                       "113.955667,22.563500,12\n20.000000,10.000000,-5\n"));

    // A second export replaces the first and leaves nothing else behind.
    ASSERT_TRUE(ExportKml(m, Out()).ok);
    EXPECT_EQ(test::FolderEntries(out.Path()), std::vector<std::string>{"20200601_100000F_2020_06_01_10-00-00.KML"});
}

TEST_F(KmlTest, TsNamesLoseTheirLastBaseCharacterAndEmptyRoutesStayValid) {
    test::WriteText(dir / "20200601_100000F.TS", "");
    Open(dir.Path(), "20200601_100000F.TS");
    m.MutableEntries()[0].info.startTime = *LocalToUnix(2020, 6, 1, 10, 0, 0);
    const KmlExportResult result = ExportKml(m, Out());
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.path, Out() + "20200601_100000_2020_06_01_10-00-00.KML");
    EXPECT_EQ(test::ReadText(result.path), Document("20200601_100000F.TS", "\"20200601_100000F.TS\" 2020/06/01 10:00:00", ""));
}

TEST_F(KmlTest, AviNamesLoseTheirExtension) {
    test::WriteAvi(dir / "20200601_100000F.AVI", "2020-06-01 10:00:00");
    Open(dir.Path(), "20200601_100000F.AVI");
    EXPECT_EQ(ExportKml(m, Out()).path, Out() + "20200601_100000F_2020_06_01_10-00-00.KML");
}

TEST_F(KmlTest, MarkupInNamesIsEscapedAndReadableByAnXmlParser) {
    test::WriteMov(dir / "R&D <1>.MOV", "2020-06-01 10:00:00");
    Open(dir.Path(), "R&D <1>.MOV");
    const KmlExportResult result = ExportKml(m, Out());
    ASSERT_TRUE(result.ok);
    const std::string text = test::ReadText(result.path);
    EXPECT_NE(text.find("<name>R&amp;D &lt;1&gt;.MOV</name>"), std::string::npos);
    const std::string command = "/usr/bin/python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' '" +
                                result.path + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST(KmlFile, AnyNameGivesAWellFormedDocument) {
    TempDir dir;
    const test::NamePiece name = test::HostileName();
    CKmlFile kml;
    ASSERT_TRUE(kml.OpenForWrite(dir / "x.KML"));
    ASSERT_TRUE(kml.WriteHeader(name.bytes, name.bytes, name.bytes));
    ASSERT_TRUE(kml.WriteCoordinate(1, 2, 3));
    ASSERT_TRUE(kml.WriteFooter());
    test::ParsedXml parsed = test::ParseXml(test::ReadText(dir / "x.KML"));
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.texts["name"], (std::vector<std::string>{name.text, "CAR PATH"}));
    EXPECT_EQ(parsed.texts["description"], (std::vector<std::string>{name.text, "GPS Path of Car DV " + name.text}));
}

TEST_F(KmlTest, FileAndFolderNamesWithAnyBytesGiveWellFormedDocuments) {
    // Names hold any byte but '/' and NUL, at most 255 of them: the bytes go into two recordings.
    const std::string r = "\xEF\xBF\xBD";
    std::string low;
    std::string lowText;
    for (int b = 0x01; b < 0x80; ++b) {
        if (b == '/') continue;
        low += static_cast<char>(b);
        lowText += b < 0x20 && b != '\t' && b != '\n' && b != '\r' ? r : std::string(1, static_cast<char>(b));
    }
    std::string high;
    std::string highText;
    for (int b = 0x80; b <= 0xFF; ++b) {
        high += static_cast<char>(b);  // no byte here starts a sequence the next one continues
        highText += r;
    }
    high += " \xC3\xA9\xF0\x9F\x98\x80 \xED\xA0\x80 \xE2\x82";
    highText += " \xC3\xA9\xF0\x9F\x98\x80 " + r + r + r + " " + r;
    const std::string folder = "SUB\x01\xC3(\xE2\x82";
    const std::string folderText = "SUB" + r + r + "(" + r;
    test::MakeFolder(dir / folder);
    writer::Telemetry t;
    t.fixes = {Fix(2233.81, 11357.34, 0, true, 12)};
    const std::vector<std::pair<std::string, std::string>> names = {{"FILE0001" + low, "FILE0001" + lowText},
                                                                    {"FILE0002" + high, "FILE0002" + highText}};
    for (const auto& [name, text] : names) test::WriteMov(dir / (folder + "/" + name + ".MOV"), "2020-06-01 10:00:00", 60, t);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    ASSERT_EQ(m.Entries().size(), 2u);

    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto& [name, text] = names[i];
        ASSERT_EQ(m.SelectCurrent(static_cast<int>(i)), 1);
        ASSERT_TRUE(m.LoadTelemetry(static_cast<int>(i)));
        const KmlExportResult result = ExportKml(m, Out());
        ASSERT_TRUE(result.ok) << i;
        EXPECT_EQ(result.path, Out() + name + "_2020_06_01_10-00-00.KML");
        test::ParsedXml parsed = test::ParseXml(test::ReadText(result.path));
        ASSERT_TRUE(parsed.ok) << i << ": " << parsed.error;
        EXPECT_EQ(parsed.texts["name"], (std::vector<std::string>{text + ".MOV", "CAR PATH"}));
        EXPECT_EQ(parsed.texts["description"],
                  (std::vector<std::string>{"", "GPS Path of Car DV \"" + folderText + "/" + text +
                                                    ".MOV\" 2020/06/01 10:00:00"}));
        EXPECT_EQ(parsed.texts["coordinates"], std::vector<std::string>{"\n113.955667,22.563500,12\n\n        "});
    }
}

TEST_F(KmlTest, CoordinatesUseAPointUnderADecimalCommaLocale) {
    writer::Telemetry t;
    t.fixes = {Fix(2233.81, 11357.34, 0, true, 12)};
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00", 60, t);
    Open(dir.Path(), "FILE0001.MOV");
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 locale missing";
    const KmlExportResult result = ExportKml(m, Out());
    std::setlocale(LC_ALL, previous.c_str());
    ASSERT_TRUE(result.ok);
    EXPECT_NE(test::ReadText(result.path).find("\n113.955667,22.563500,12\n"), std::string::npos);
}

TEST_F(KmlTest, WriteErrorsFailWithoutLeavingADocument) {
    writer::Telemetry t;
    t.fixes.assign(2000, Fix(2233.81, 11357.34, 0, true, 12));  // about 50 KB of coordinates
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00", 60, t);
    Open(dir.Path(), "FILE0001.MOV");

    // A file-size limit makes a write fail part-way, as a full card would.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const KmlExportResult result = ExportKml(m, Out());
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.path.empty());
    EXPECT_TRUE(test::FolderEntries(out.Path()).empty());

    EXPECT_FALSE(ExportKml(m, out / "missing/").ok);
}

TEST_F(KmlTest, NoCurrentRecordingWritesNothingAndAStaleIndexFallsBack) {
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00");
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    EXPECT_FALSE(ExportKml(m, Out()).ok);
    EXPECT_TRUE(test::FolderEntries(out.Path()).empty());

    test::WriteMov(dir / "FILE0002.MOV", "2020-06-01 11:00:00");
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    ASSERT_EQ(m.SelectCurrent(1), 1);
    m.MutableEntries().pop_back();  // as after deleting the current recording
    EXPECT_TRUE(ExportKml(m, Out()).ok);
    EXPECT_EQ(m.CurrentIndex(), 0);
}

TEST_F(KmlTest, RouteIsReloadedWhenTheTrackBelongsToAnotherRecording) {
    writer::Telemetry first;
    writer::Telemetry second;
    first.fixes = {Fix(2233.81, 11357.34, 0, true, 12)};
    second.fixes = {Fix(3540.8740, 13946.0275, 0, true, 7)};
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00", 60, first);
    test::WriteMov(dir / "FILE0002.MOV", "2020-06-01 11:00:00", 60, second);
    test::RecordingMapHost map;
    m.SetMapHost(&map);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    ASSERT_EQ(m.SelectCurrent(0), 1);
    ASSERT_TRUE(m.LoadTelemetry(0));
    map.scripts.clear();
    ASSERT_TRUE(ExportKml(m, Out()).ok);
    EXPECT_TRUE(map.scripts.empty());  // the loaded route is the current one: no reload

    // Deleting the current recording makes the next one current while the old route is loaded.
    m.MutableEntries().erase(m.MutableEntries().begin());
    m.MarkGroups();
    m.ClampCurrentIndex();
    ASSERT_EQ(m.CurrentIndex(), 0);
    const KmlExportResult result = ExportKml(m, Out());
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.path, Out() + "FILE0002_2020_06_01_11-00-00.KML");
    EXPECT_EQ(test::ReadText(result.path), Document("FILE0002.MOV", "\"FILE0002.MOV\" 2020/06/01 11:00:00",
                                                    "139.767125,35.681233,7\n"));

    // A source opened again may hold other recordings under the same names (another card).
    second.fixes = {Fix(1000, 2000, 0, true, -5)};
    test::WriteMov(dir / "FILE0002.MOV", "2020-06-01 11:00:00", 60, second);
    ASSERT_EQ(m.OpenSource(dir.Path(), "FILE0002.MOV"), 1);
    ASSERT_EQ(m.SelectCurrent(0), 1);
    ASSERT_TRUE(ExportKml(m, Out()).ok);
    EXPECT_NE(test::ReadText(result.path).find("\n20.000000,10.000000,-5\n"), std::string::npos);

    // A recording that can no longer be read has no route to write, not even the previous one.
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    ASSERT_EQ(m.SelectCurrent(0), 1);
    ASSERT_EQ(::unlink((dir / "FILE0001.MOV").c_str()), 0);
    const std::string earlier = test::ReadText(Out() + "FILE0001_2020_06_01_10-00-00.KML");
    EXPECT_FALSE(ExportKml(m, Out()).ok);
    EXPECT_EQ(test::ReadText(Out() + "FILE0001_2020_06_01_10-00-00.KML"), earlier);
}

TEST(KmlFolder, DocumentsFolderFromUserDirsOrHome) {
    TempDir home;
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome != nullptr ? oldHome : "";
    ::setenv("HOME", home.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);

    KmlFolderResult folder = GetKmlFolder();
    EXPECT_TRUE(folder.ok);
    EXPECT_EQ(folder.folder, home / "Documents/QEN/KML/");
    EXPECT_TRUE(std::filesystem::is_directory(folder.folder));

    test::MakeFolder(home / "config");
    test::WriteText(home / "config/user-dirs.dirs", "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    folder = GetKmlFolder();
    EXPECT_TRUE(folder.ok);
    EXPECT_EQ(folder.folder, home / "Dokumente/QEN/KML/");

    ::unsetenv("XDG_CONFIG_HOME");
    if (oldHome != nullptr) ::setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
}  // namespace trivane
