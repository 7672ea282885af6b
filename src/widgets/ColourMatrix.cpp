#include "widgets/ColourMatrix.h"

#include <algorithm>
#include <cmath>

namespace trivane {
namespace {

int ClampChannel(double v) {
    return static_cast<int>(std::clamp(std::floor(v + 0.5), 0.0, 255.0));
}

template <typename F>
QImage MapPixels(const QImage& image, F&& f) {
    if (image.isNull()) return {};
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) line[x] = f(line[x]);
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

QImage GreyImage(const QImage& image) {
    return MapPixels(image, [](QRgb px) {
        const int g = ClampChannel(0.3 * qRed(px) + 0.59 * qGreen(px) + 0.11 * qBlue(px));
        return qRgba(g, g, g, qAlpha(px));
    });
}

QImage HoverImage(const QImage& image) {
    return MapPixels(image, [](QRgb px) {
        const auto lift = [](int c) { return ClampChannel(c * 1.05 + 0.05 * 255.0); };
        return qRgba(lift(qRed(px)), lift(qGreen(px)), lift(qBlue(px)), qAlpha(px));
    });
}

}  // namespace trivane
