#pragma once

#include <QImage>

#include <cstdint>

namespace trivane {

// Holds one decoded picture, or none.
class CGdiPlusBitmap {
public:
    CGdiPlusBitmap() = default;
    CGdiPlusBitmap(const CGdiPlusBitmap&) = delete;
    CGdiPlusBitmap& operator=(const CGdiPlusBitmap&) = delete;
    virtual ~CGdiPlusBitmap() = default;

    // Null when no picture is held.
    const QImage* Bitmap() const { return m_bitmap.isNull() ? nullptr : &m_bitmap; }
    int Width() const { return m_bitmap.width(); }
    int Height() const { return m_bitmap.height(); }
    bool IsEmpty() const { return m_bitmap.isNull(); }

protected:
    void Release() { m_bitmap = QImage(); }

    QImage m_bitmap;  // 32-bit with alpha
};

// A PNG picture from the program's compiled-in resources, looked up by numeric id.
class CGdiPlusBitmapResource : public CGdiPlusBitmap {
public:
    // Replaces whatever was held; returns whether a picture is held afterwards.
    bool LoadPng(std::uint16_t id);
};

}  // namespace trivane
