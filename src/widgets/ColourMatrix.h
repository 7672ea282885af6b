#pragma once

#include <QImage>

namespace trivane {

// Colour transforms applied to a picture before it is drawn. Both keep alpha as it is and work on
// straight (not premultiplied) colour values, clamping to 0..255.

// Each of red, green and blue becomes 0.3 red + 0.59 green + 0.11 blue.
QImage GreyImage(const QImage& image);

// Each of red, green and blue becomes 1.05 times itself plus 5 % of full scale.
QImage HoverImage(const QImage& image);

}  // namespace trivane
