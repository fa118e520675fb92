#include "SkinImage.h"

#include "SkinArt.h"

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>

namespace kivro {

SkinImage::SkinImage(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
}

SkinImage::SkinImage(const QString& stem, QWidget* parent) : SkinImage(parent)
{
    setPictureStem(stem);
}

void SkinImage::setPictures(const QString& up, const QString& over, const QString& down)
{
    m_names[0] = up;
    m_names[1] = over;
    m_names[2] = down;
    update();
}

void SkinImage::setPictureStem(const QString& stem)
{
    const QString up = stem + QStringLiteral("_up");
    if (!SkinArt::exists(up)) {
        setPictures(stem, stem, stem);
        return;
    }
    const QString over = stem + QStringLiteral("_over");
    const QString down = stem + QStringLiteral("_down");
    setPictures(up, SkinArt::exists(over) ? over : up, SkinArt::exists(down) ? down : up);
}

QString SkinImage::pictureName(Picture which) const
{
    return m_names[int(which)];
}

void SkinImage::setPicture(Picture which)
{
    if (m_picture == which)
        return;
    m_picture = which;
    update();
}

QSize SkinImage::sizeHint() const
{
    const QSize s = SkinArt::defaultSize(m_names[0]);
    return s.isEmpty() ? QSize(16, 16) : s;
}

void SkinImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // The ratio of what is painted on (the screen's, or an image's when the window is rendered
    // into one), so the picture is drawn pixel for pixel.
    const QPaintDevice* device = p.paintEngine() && p.paintEngine()->paintDevice() ? p.paintEngine()->paintDevice()
                                                                                   : p.device();
    const QPixmap pm = SkinArt::pixmap(m_names[int(m_picture)], size(), device->devicePixelRatioF());
    if (pm.isNull())
        return;
    // A picture that takes no clicks looks faded.
    if (!isEnabled())
        p.setOpacity(kDisabledOpacity);
    p.drawPixmap(0, 0, pm);
}

void SkinImage::mousePressEvent(QMouseEvent* event)
{
    m_lastGlobal = event->globalPosition();
    if (event->button() == Qt::LeftButton)
        m_leftPressedHere = true;
    if (m_autoStates)
        showDown();
    emit mouseDown(event->button(), event->modifiers(), event->position());
}

void SkinImage::mouseMoveEvent(QMouseEvent* event)
{
    m_lastGlobal = event->globalPosition();
    if (m_autoStates)
        showOver();
    emit mouseMove(event->buttons(), event->modifiers(), event->position());
}

void SkinImage::mouseReleaseEvent(QMouseEvent* event)
{
    m_lastGlobal = event->globalPosition();
    if (m_releaseEndsDoubleClick) {
        // The end of a double-click: the up picture again, and no click.
        m_releaseEndsDoubleClick = false;
        showUp();
        emit mouseUp(event->button(), event->modifiers(), event->position());
        return;
    }
    const bool click = event->button() == Qt::LeftButton && m_leftPressedHere
                       && QRectF(rect()).contains(event->position());
    if (event->button() == Qt::LeftButton)
        m_leftPressedHere = false;
    if (m_autoStates)
        showUp();
    emit mouseUp(event->button(), event->modifiers(), event->position());
    if (click)
        emit clicked();
}

void SkinImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Not a second press: a double-click on Pack would otherwise arm and click the Cancel picture
    // that stands there by then, and Add would add the selection twice.
    m_lastGlobal = event->globalPosition();
    m_leftPressedHere = false;
    m_releaseEndsDoubleClick = true;
    emit doubleClicked();
}

} // namespace kivro
