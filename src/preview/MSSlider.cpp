#include "preview/MSSlider.h"

#include <QPainter>
#include <algorithm>

namespace kivro {

MSSlider::MSSlider(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MSSlider"));
}

void MSSlider::setMin(std::int32_t value)
{
    m_min = value;
    if (m_max < m_min)
        m_max = m_min;
    setValue(m_value);
}

void MSSlider::setMax(std::int32_t value)
{
    m_max = value;
    if (m_min > m_max)
        m_min = m_max;
    setValue(m_value);
}

void MSSlider::setValue(std::int32_t value)
{
    const std::int32_t v = std::clamp(value, m_min, m_max);
    if (v == m_value)
        return;
    m_value = v;
    update();
    emit ValueHasChanged(m_value);
}

void MSSlider::setLowColor(const QColor& color)
{
    m_lowColor = color;
    update();
}

void MSSlider::setHiColor(const QColor& color)
{
    m_hiColor = color;
    update();
}

void MSSlider::ColInit()
{
    const double span = double(m_max) - double(m_min);
    m_lowShare = span > 0 ? (double(m_value) - double(m_min)) / span : 0.0;
    update();
}

void MSSlider::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect track = rect().adjusted(0, height() / 2 - 2, 0, -(height() / 2 - 2));
    const int split = track.left() + int(track.width() * m_lowShare);
    p.fillRect(QRect(track.left(), track.top(), split - track.left(), track.height()),
               isEnabled() ? m_lowColor : m_lowColor.lighter(150));
    p.fillRect(QRect(split, track.top(), track.right() - split + 1, track.height()), m_hiColor);
    p.fillRect(QRect(split - 3, 0, 6, height()), isEnabled() ? palette().button() : palette().window());
}

} // namespace kivro
