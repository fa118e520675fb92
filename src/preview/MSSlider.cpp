#include "preview/MSSlider.h"

#include "platform/RuntimeError.h"
#include "platform/SkinArt.h"
#include "platform/Twips.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace kivro {

namespace {

double SafeDivide(double a, double b)
{
    return b == 0 ? 0.0 : a / b;
}

// The gradient from `first` to `last` in `steps` steps: steps + 1 colours, the ends exact.
template <std::size_t N>
void BuildColorGradient(std::uint32_t first, std::uint32_t last, int steps, std::array<std::uint32_t, N>& colors)
{
    const auto channel = [](std::uint32_t c, int shift) { return int((c >> shift) & 0xFF); };
    const int r1 = channel(first, 0), g1 = channel(first, 8), b1 = channel(first, 16);
    const float stepR = float(SafeDivide(channel(last, 0) - r1, steps));
    const float stepG = float(SafeDivide(channel(last, 8) - g1, steps));
    const float stepB = float(SafeDivide(channel(last, 16) - b1, steps));
    colors[0] = first;
    colors[std::size_t(steps)] = last;
    for (int i = 1; i < steps; ++i) {
        const auto at = [i](int start, float step) {
            return std::uint32_t(std::nearbyint(float(start) + step * float(i))) & 0xFF;
        };
        colors[std::size_t(i)] = at(r1, stepR) + 256 * at(g1, stepG) + 65536 * at(b1, stepB);
    }
}

std::int32_t toInt32(double v)
{
    const double r = std::nearbyint(v);
    return std::int32_t(
        std::clamp<double>(r, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

MSSlider::MSSlider(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MSSlider"));
    resize(sizeHint());
    layOut();
}

double MSSlider::h() const
{
    return std::nearbyint(m_gripperW / 2);
}

// A hidden widget gets its resize event only when it is shown: lay out as soon as the size is
// new, so that a value written before the first show is not undone by it.
void MSSlider::ensureLaidOut()
{
    if (size() != m_laidOutSize)
        layOut();
}

void MSSlider::resizeEvent(QResizeEvent*)
{
    ensureLaidOut();
}

void MSSlider::layOut()
{
    m_laidOutSize = size();
    m_groveLeft = 5;
    m_groveTop = 60;
    m_groveH = pixelsToTwips(double(height())) - 120;
    m_groveW = pixelsToTwips(double(width())) - 5;
    m_gripperLeft = m_groveLeft;
    m_gripperTop = m_groveTop + (m_groveH - m_gripperH) / 2;
    m_lTravelStart = std::nearbyint(m_gripperW / 2);
    m_lTravelEnd = std::nearbyint(m_groveW - m_gripperW / 2);
    m_lTravelWidth = m_lTravelEnd - m_lTravelStart;
    CalcValueFromPosition();
    UpdateGroveColor();
    update();
}

void MSSlider::CalcValueFromPosition()
{
    m_dRatio = SafeDivide(m_gripperW / 2 + m_gripperLeft - m_lTravelStart, m_lTravelWidth);
    // The offset from Min is a 32-bit whole number, so any range of values works.
    const double offset = std::nearbyint((double(m_max) - double(m_min)) * m_dRatio);
    m_value = toInt32(double(m_min) + offset);
}

void MSSlider::PositionGripper()
{
    m_gripperLeft = m_lTravelWidth * m_dRatio + m_lTravelStart - m_gripperW / 2;
}

void MSSlider::setValue(std::int32_t lCurrentPos)
{
    ensureLaidOut();
    m_value = lCurrentPos;
    if (m_max == m_min)
        return; // no place stands for a value: the gripper stays, nothing is raised
    m_dRatio = (double(m_value) - double(m_min)) / (double(m_max) - double(m_min));
    PositionGripper();
    update();
    emit ValueHasChanged();
}

void MSSlider::ColInit()
{
    ensureLaidOut();
    UpdateGroveColor();
}

void MSSlider::UpdateGroveColor()
{
    if (!m_colorShift)
        return;
    const double ratio = SafeDivide(m_gripperW / 2 + m_gripperLeft - m_lTravelStart, m_lTravelWidth);
    BuildColorGradient(m_lowColor, m_hiColor, 100, m_lColors);
    // A gripper placed beyond either end (a value outside Min..Max) takes the colour of that end.
    const int index = std::clamp(toInt32(ratio * 100), 0, 100);
    m_groveBackColor = m_lColors[std::size_t(index)];
    update();
}

void MSSlider::setGripperPic(const QString& strFilename)
{
    if (!QFileInfo(strFilename).isFile())
        raiseError(53, errorDescription(53), strFilename);
    QPixmap picture(strFilename);
    if (picture.isNull())
        raiseError(481, errorDescription(481), strFilename);
    m_gripperPicture = picture;
    m_gripperW = pixelsToTwips(double(picture.width()));
    m_gripperH = pixelsToTwips(double(picture.height()));
    layOut();
}

void MSSlider::setEnabled(bool EnableCtrl)
{
    m_enabledCtrl = EnableCtrl;
    m_gripperPicture = QPixmap(); // the stored picture of the state takes its place
    if (!EnableCtrl) {
        m_captured = Part::None;
        m_bGroveDrag = false;
    }
    update();
}

MSSlider::Part MSSlider::partAt(double x, double y) const
{
    const auto inside = [x, y](double left, double top, double w, double hgt) {
        return x >= left && x < left + w && y >= top && y < top + hgt;
    };
    if (inside(m_gripperLeft, m_gripperTop, m_gripperW, m_gripperH))
        return Part::Gripper;
    if (inside(m_groveLeft, m_groveTop, m_groveW, m_groveH))
        return Part::Grove;
    return Part::None;
}

// Moves the gripper's left edge to `left` when it fits on both sides; past the end it stops at
// the end of the track, before the start at 0. The value follows and is reported.
void MSSlider::moveGripper(double left, bool fitsStart, bool fitsEnd)
{
    if (fitsStart && fitsEnd)
        m_gripperLeft = left;
    else if (fitsStart)
        m_gripperLeft = m_groveW - m_gripperW;
    else
        m_gripperLeft = 0;
    CalcValueFromPosition();
    UpdateGroveColor();
    update();
    emit ValueHasChanged();
}

// Centres the gripper on x (twips within the track).
void MSSlider::placeGripperOnGrove(double x)
{
    moveGripper(x - h(), m_groveLeft + x - h() >= 0, x + h() <= m_groveW);
}

void MSSlider::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    ensureLaidOut();
    if (!m_enabledCtrl)
        return;
    const double x = pixelsToTwips(event->position().x());
    const double y = pixelsToTwips(event->position().y());
    if (m_captured == Part::None)
        m_captured = partAt(x, y);
    if (m_captured == Part::Gripper) {
        emit MouseDown();
    } else if (m_captured == Part::Grove && event->button() == Qt::LeftButton) {
        placeGripperOnGrove(x - m_groveLeft);
        m_bGroveDrag = true;
        emit MouseDown();
    }
}

void MSSlider::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    ensureLaidOut();
    if (!m_enabledCtrl || event->buttons() != Qt::LeftButton)
        return;
    const double x = pixelsToTwips(event->position().x());
    if (m_captured == Part::Gripper) {
        const double newLeft = x - h(); // the gripper's left edge plus the pointer's place in it, less h
        moveGripper(newLeft, newLeft >= 0, newLeft + m_gripperW <= m_groveW);
    } else if (m_captured == Part::Grove && m_bGroveDrag) {
        placeGripperOnGrove(x - m_groveLeft);
    }
}

void MSSlider::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    ensureLaidOut();
    const Part part = m_captured;
    if (event->buttons() == Qt::NoButton)
        m_captured = Part::None;
    if (!m_enabledCtrl)
        return;
    if (part == Part::Gripper) {
        CalcValueFromPosition();
        UpdateGroveColor();
        emit ValueHasChanged();
        emit MouseUp();
        emit OnClick();
    } else if (part == Part::Grove) {
        m_bGroveDrag = false;
        emit MouseUp();
        emit OnClick();
    }
}

void MSSlider::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const qreal dpr = devicePixelRatioF();
    const QRectF grove(twipsToPixelsExact(m_groveLeft), twipsToPixelsExact(m_groveTop), twipsToPixelsExact(m_groveW),
                       twipsToPixelsExact(m_groveH));
    const QRectF gripper(twipsToPixelsExact(m_gripperLeft), twipsToPixelsExact(m_gripperTop),
                         twipsToPixelsExact(m_gripperW), twipsToPixelsExact(m_gripperH));
    const std::uint32_t c = m_groveBackColor;
    const QColor back = (c & 0x80000000u) ? palette().color(QPalette::Button)
                                          : QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
    p.fillRect(grove, back);
    const QString state = m_enabledCtrl ? QStringLiteral("enabled") : QStringLiteral("disabled");
    const QSize groveSize = grove.size().toSize().expandedTo(QSize(1, 1));
    p.drawPixmap(grove, SkinArt::pixmap(QStringLiteral("slider_track_") + state, groveSize, dpr),
                 QRectF(QPointF(0, 0), QSizeF(groveSize) * dpr));
    if (!m_gripperPicture.isNull()) {
        p.drawPixmap(gripper, m_gripperPicture, QRectF(m_gripperPicture.rect()));
    } else {
        const QSize gripSize = gripper.size().toSize().expandedTo(QSize(1, 1));
        p.drawPixmap(gripper, SkinArt::pixmap(QStringLiteral("slider_gripper_") + state, gripSize, dpr),
                     QRectF(QPointF(0, 0), QSizeF(gripSize) * dpr));
    }
}

} // namespace kivro
