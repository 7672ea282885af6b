#include "widgets/CGdiPlusBitmapResource.h"

#include <QFile>

#include "widgets/ArtResources.h"

namespace trivane {

bool CGdiPlusBitmapResource::LoadPng(std::uint16_t id) {
    Release();
    InitArtResources();
    QFile file(PngResourcePath(id));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) return false;
    QImage decoded;
    if (!decoded.loadFromData(bytes, "PNG")) return false;
    m_bitmap = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return !m_bitmap.isNull();
}

}  // namespace trivane
