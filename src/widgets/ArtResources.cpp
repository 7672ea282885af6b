#include "widgets/ArtResources.h"

#include <QFile>

#include <mutex>

// Q_INIT_RESOURCE declares the registration function at block scope, which must not be inside
// our namespace.
static void RegisterArt() { Q_INIT_RESOURCE(art); }

namespace trivane {

void InitArtResources() {
    static std::once_flag once;
    std::call_once(once, RegisterArt);
}

QString PngResourcePath(std::uint16_t id) {
    return QStringLiteral(":/png/%1.png").arg(id);
}

QString BitmapResourcePath(std::uint16_t id) {
    return QStringLiteral(":/bmp/%1.png").arg(id);
}

QImage LoadBitmapResource(std::uint16_t id) {
    InitArtResources();
    const QString path = BitmapResourcePath(id);
    if (!QFile::exists(path)) return {};
    return QImage(path);
}

QImage MagentaToTransparent(const QImage& image) {
    if (image.isNull()) return {};
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb px = line[x];
            line[x] = (qRed(px) == 255 && qGreen(px) == 0 && qBlue(px) == 255) ? 0u
                                                                               : (px | 0xFF000000u);
        }
    }
    return out;
}

}  // namespace trivane
