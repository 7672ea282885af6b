#include "app/SnapshotJpeg.h"

#include "files/AtomicFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>

#include <string_view>

namespace trivane {

bool ConvertPngToJpeg(const std::string& pngPath, const std::string& jpegPath)
{
    QImage image;
    if (!image.load(QString::fromStdString(pngPath), "PNG")) {
        return false;
    }
    // Encoded in memory first: QImage writing straight to the target would leave half a file
    // behind when it fails.
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "JPEG", 90) || jpeg.isEmpty()) {
        return false;
    }
    return WriteFileAtomically(jpegPath,
                               std::string_view(jpeg.constData(), static_cast<std::size_t>(jpeg.size())));
}

}  // namespace trivane
