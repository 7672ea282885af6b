#include "export/CKmlFile.h"

#include "export/XmlText.h"
#include "library/MapScripts.h"

namespace trivane {

bool CKmlFile::OpenForWrite(const std::string& path) { return file_.Open(path); }

bool CKmlFile::WriteHeader(const std::string& name, const std::string& description, const std::string& carText) {
    if (!file_.IsOpen()) return false;
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
        "  <Document>\n"
        "    <name>";
    text += EscapeXmlText(name);
    text += "</name>\n\t<description>";
    text += EscapeXmlText(description);
    text +=
        "</description>\n"
        "    <Style id=\"blueLine\">\n"
        "      <LineStyle>\n"
        "        <color>ffff0000</color>\n"
        "        <width>4</width>\n"
        "      </LineStyle>\n"
        "    </Style>\n"
        "    <Placemark>\n"
        "      <name>CAR PATH</name>\n"
        "      <description>GPS Path of Car DV ";
    text += EscapeXmlText(carText);
    text +=
        "</description>\n"
        "      <styleUrl>#blueLine</styleUrl>\n"
        "      <LineString>\n"
        "        <altitudeMode>relative</altitudeMode>\n"
        "        <coordinates>\n";
    return file_.Write(text);
}

bool CKmlFile::WriteCoordinate(double longitude, double latitude, std::int32_t altitude) {
    std::string line = FormatFixed6(longitude);
    line += ',';
    line += FormatFixed6(latitude);
    line += ',';
    line += std::to_string(altitude);
    line += '\n';
    return file_.Write(line);
}

bool CKmlFile::WriteFooter() {
    if (!file_.IsOpen()) return false;
    const bool written = file_.Write(
        "\n"
        "        </coordinates>\n"
        "      </LineString>\n"
        "    </Placemark>\n"
        "  </Document>\n"
        "</kml>\n");
    if (!written) {
        file_.Discard();
        return false;
    }
    return file_.Commit();
}

}  // namespace trivane
