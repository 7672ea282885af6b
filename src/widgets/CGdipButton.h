#pragma once

#include <QAbstractButton>
#include <QImage>

#include <array>
#include <cstdint>
#include <memory>

#include "widgets/CGdiPlusBitmapResource.h"

namespace trivane {

// Push button whose face is a PNG picture. Up to seven state pictures are prepared from the
// pictures once per size and then only chosen between: normal, pressed (shifted one pixel right
// and down), hover (brighter) and grey, and normal, pressed and hover of the alternate picture.
// Transparent parts show the parent behind the button.
class CGdipButton : public QAbstractButton {
    Q_OBJECT

public:
    enum Picture { Normal, Pressed, Hover, Grey, AltNormal, AltPressed, AltHover, PictureCount };

    explicit CGdipButton(QWidget* parent = nullptr);
    ~CGdipButton() override;

    bool SetStandardImage(std::uint16_t pngId);
    // Also makes the button a two-state one: each press flips between the two pictures.
    bool SetAlternateImage(std::uint16_t pngId);

    void SetAlternateShown(bool shown);
    bool AlternateShown() const { return m_alternateShown; }
    void SetGrey(bool grey);
    bool IsGrey() const { return m_grey; }
    bool IsHover() const { return m_hover; }
    bool IsTwoState() const { return m_twoState; }
    bool HasStandardImage() const { return m_standard != nullptr; }

    // The state picture a paint would show now, or PictureCount when the button has no picture.
    Picture CurrentPicture() const;
    // Prepares the pictures for the current size when needed and returns one (null when absent).
    const QImage& PreparedPicture(Picture which);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Prepare();
    void BeginPress(bool wasDown);
    void EndPress();

    std::unique_ptr<CGdiPlusBitmapResource> m_standard;
    std::unique_ptr<CGdiPlusBitmapResource> m_alternate;
    bool m_hasAlternate = false;
    bool m_twoState = false;
    bool m_alternateShown = false;
    bool m_grey = false;
    bool m_hover = false;
    std::array<QImage, PictureCount> m_pictures;
    QSize m_preparedSize;
    bool m_flippedThisPress = false;
    bool m_clickedThisPress = false;
};

}  // namespace trivane
