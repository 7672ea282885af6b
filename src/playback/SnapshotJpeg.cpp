#include "playback/SnapshotJpeg.h"

#include <QImage>
#include <QString>

namespace trivane {

bool ConvertPngToJpeg(const std::string& pngPath, const std::string& jpegPath)
{
    QImage image;
    if (!image.load(QString::fromStdString(pngPath), "PNG")) {
        return false;
    }
    return image.save(QString::fromStdString(jpegPath), "JPEG", 90);
}

}  // namespace trivane
