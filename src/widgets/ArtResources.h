#pragma once

#include <QImage>
#include <QString>

#include <cstdint>

namespace trivane {

// Makes the compiled-in artwork reachable under ":/png" and ":/bmp"; safe to call repeatedly.
void InitArtResources();

// Resource path of a PNG picture and of a bitmap picture with the given id.
QString PngResourcePath(std::uint16_t id);
QString BitmapResourcePath(std::uint16_t id);

// A bitmap resource by id (null image when absent), in its own format: 24-bit bitmaps come back
// without an alpha channel.
QImage LoadBitmapResource(std::uint16_t id);

// Pixels of exactly (255, 0, 255) become fully transparent; everything else is kept opaque.
QImage MagentaToTransparent(const QImage& image);

}  // namespace trivane
