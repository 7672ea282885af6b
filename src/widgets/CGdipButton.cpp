#include "widgets/CGdipButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/ColourMatrix.h"

namespace trivane {
namespace {

QImage Blank(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage DrawnAt(const QImage& face, QSize size, QPoint at) {
    QImage out = Blank(size);
    QPainter(&out).drawImage(at, face);
    return out;
}

}  // namespace

CGdipButton::CGdipButton(QWidget* parent) : QAbstractButton(parent) {
    setAutoFillBackground(false);
    connect(this, &QAbstractButton::clicked, this, [this] { m_clickedThisPress = true; });
}

CGdipButton::~CGdipButton() = default;

bool CGdipButton::SetStandardImage(std::uint16_t pngId) {
    auto image = std::make_unique<CGdiPlusBitmapResource>();
    const bool ok = image->LoadPng(pngId);
    m_standard = ok ? std::move(image) : nullptr;
    m_preparedSize = QSize();
    update();
    return ok;
}

bool CGdipButton::SetAlternateImage(std::uint16_t pngId) {
    auto image = std::make_unique<CGdiPlusBitmapResource>();
    if (!image->LoadPng(pngId)) return false;
    m_alternate = std::move(image);
    m_hasAlternate = true;
    m_twoState = true;
    m_preparedSize = QSize();
    update();
    return true;
}

void CGdipButton::SetAlternateShown(bool shown) {
    m_alternateShown = shown;
    update();
}

void CGdipButton::SetGrey(bool grey) {
    m_grey = grey;
    update();
}

QSize CGdipButton::sizeHint() const {
    return m_standard ? QSize(m_standard->Width(), m_standard->Height()) : QSize(32, 32);
}

// The pictures follow the button's size: one prepared for another size would be clipped or
// leave part of the face empty.
void CGdipButton::Prepare() {
    if (!m_standard || size().isEmpty() || m_preparedSize == size()) return;
    const QSize s = size();
    const QImage face = m_standard->Bitmap()->scaled(s, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_pictures[Normal] = DrawnAt(face, s, QPoint(0, 0));
    m_pictures[Pressed] = DrawnAt(face, s, QPoint(1, 1));
    m_pictures[Hover] = HoverImage(m_pictures[Normal]);
    m_pictures[Grey] = GreyImage(m_pictures[Normal]);
    if (m_hasAlternate && m_alternate) {
        const QImage alt = m_alternate->Bitmap()->scaled(s, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_pictures[AltNormal] = DrawnAt(alt, s, QPoint(0, 0));
        m_pictures[AltPressed] = DrawnAt(alt, s, QPoint(1, 1));
        m_pictures[AltHover] = HoverImage(m_pictures[AltNormal]);
    } else {
        m_pictures[AltNormal] = m_pictures[AltPressed] = m_pictures[AltHover] = QImage();
    }
    m_preparedSize = s;
}

CGdipButton::Picture CGdipButton::CurrentPicture() const {
    if (!m_standard) return PictureCount;
    if (m_grey) return Grey;
    const bool alt = m_alternateShown && m_hasAlternate;
    if (isDown()) return alt ? AltPressed : Pressed;
    if (m_hover) return alt ? AltHover : Hover;
    return alt ? AltNormal : Normal;
}

const QImage& CGdipButton::PreparedPicture(Picture which) {
    static const QImage none;
    Prepare();
    if (which < 0 || which >= PictureCount) return none;
    return m_pictures[static_cast<std::size_t>(which)];
}

void CGdipButton::paintEvent(QPaintEvent*) {
    const Picture which = CurrentPicture();
    if (which == PictureCount) return;  // no picture: the face stays empty
    const QImage& picture = PreparedPicture(which);
    if (!picture.isNull()) QPainter(this).drawImage(0, 0, picture);
}

// A two-state button shows its new state as soon as it is pressed. The flip is undone when the
// press does not end in a click (released outside), so picture and command never disagree.
void CGdipButton::BeginPress(bool wasDown) {
    if (wasDown || !isDown()) return;
    m_clickedThisPress = false;
    m_flippedThisPress = false;
    if (m_twoState) {
        m_alternateShown = !m_alternateShown;
        m_flippedThisPress = true;
        update();
    }
}

void CGdipButton::EndPress() {
    if (isDown()) return;
    if (m_flippedThisPress && !m_clickedThisPress) {
        m_alternateShown = !m_alternateShown;
        update();
    }
    m_flippedThisPress = false;
}

void CGdipButton::mousePressEvent(QMouseEvent* event) {
    const bool wasDown = isDown();
    QAbstractButton::mousePressEvent(event);
    BeginPress(wasDown);
}

void CGdipButton::mouseReleaseEvent(QMouseEvent* event) {
    QAbstractButton::mouseReleaseEvent(event);
    EndPress();
}

// Quick successive clicks each count as a click.
void CGdipButton::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CGdipButton::keyPressEvent(QKeyEvent* event) {
    const bool wasDown = isDown();
    QAbstractButton::keyPressEvent(event);
    BeginPress(wasDown);
}

void CGdipButton::keyReleaseEvent(QKeyEvent* event) {
    QAbstractButton::keyReleaseEvent(event);
    EndPress();
}

void CGdipButton::enterEvent(QEnterEvent* event) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CGdipButton::leaveEvent(QEvent* event) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

}  // namespace trivane
