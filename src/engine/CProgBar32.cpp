#include "engine/CProgBar32.h"

#include "platform/EventsWaiting.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <chrono>

namespace kivro {

namespace {
std::int32_t nextBarId()
{
    static std::int32_t last = 0;
    return ++last;
}

QString cssColor(const QColor& c)
{
    return c.name(QColor::HexRgb);
}
} // namespace

QColor colorFromBgr(std::uint32_t value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void CProgBar32::SetBackColor(std::uint32_t NewBackColor)
{
    if (!m_bar)
        return;
    m_backColor = colorFromBgr(NewBackColor);
    applyLook();
}

void CProgBar32::SetBarColor(std::uint32_t NewBarColor)
{
    if (!m_bar)
        return;
    m_barColor = colorFromBgr(NewBarColor);
    applyLook();
}

void CProgBar32::SetProgVert(bool Vertical)
{
    m_vertical = Vertical ? kStyleVertical : 0;
}

bool CProgBar32::Create(std::optional<int> Left, std::optional<int> Top, std::optional<int> Width,
                        std::optional<int> Height, std::optional<bool> Smooth)
{
    QWidget* parent = m_parentHandle ? m_parentHandle.data() : m_parentForm.data();
    if (!parent)
        return false;

    DestroyProgBar();
    m_style = kStyleChildVisible | m_vertical | (Smooth.value_or(false) ? kStyleSmooth : 0);

    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QStringLiteral("CProgBar32"));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setOrientation((m_style & kStyleVertical) ? Qt::Vertical : Qt::Horizontal);
    m_bar = bar;
    m_barId = nextBarId();
    m_backColor.reset();
    m_barColor.reset();
    applyLook();

    // The form's width in twips over the twips per pixel is its outer width in pixels.
    bar->setGeometry(Left.value_or(0), Top.value_or(0), Width.value_or(parent->frameGeometry().width()),
                     Height.value_or(20));
    bar->show();
    return true;
}

void CProgBar32::applyLook()
{
    if (!m_bar)
        return;
    // Drawn by a style sheet so that the colours hold under every widget style: a plain
    // background and a solid bar (smooth) or a bar of small blocks.
    const QColor back = m_backColor.value_or(m_bar->palette().color(QPalette::Window));
    const QColor fill = m_barColor.value_or(m_bar->palette().color(QPalette::Highlight));
    QString chunk = QStringLiteral("background-color: %1;").arg(cssColor(fill));
    if (!(m_style & kStyleSmooth)) {
        chunk += (m_style & kStyleVertical) ? QStringLiteral(" height: 6px; margin: 1px;")
                                            : QStringLiteral(" width: 6px; margin: 1px;");
    }
    m_bar->setStyleSheet(QStringLiteral("QProgressBar { border: none; background-color: %1; }"
                                        " QProgressBar::chunk { %2 }")
                             .arg(cssColor(back), chunk));
}

void CProgBar32::DestroyProgBar()
{
    if (m_bar)
        delete m_bar.data();
}

void CProgBar32::ClearProgBar()
{
    if (m_bar)
        m_bar->setValue(0);
}

void CProgBar32::SetProgBarPos(int ProgPos)
{
    const int pos = std::clamp(ProgPos, 0, 100);
    const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
    bool pump = pos != m_pumpedPos || now - m_pumpedAtNs >= std::int64_t(kPumpIntervalMs) * 1000000;
    if (!pump && now - m_checkedAtNs >= std::int64_t(kInputCheckUs) * 1000) {
        m_checkedAtNs = now;
        pump = EventsWaiting();
    }
    if (pump) {
        m_checkedAtNs = now;
        m_pumpedPos = pos;
        m_pumpedAtNs = now;
        QCoreApplication::processEvents();
    }
    // A handler that ran above may have destroyed the bar (a cancel does). Setting the position
    // it already has changes nothing on the screen, but is not free: most blocks leave it as is.
    if (m_bar && m_bar->value() != pos)
        m_bar->setValue(pos);
    if (pump)
        QCoreApplication::processEvents();
}

void CProgBar32::DelayProgBar(int itime)
{
    QCoreApplication::processEvents();
    if (itime > 0)
        QThread::msleep(static_cast<unsigned long>(itime));
    QCoreApplication::processEvents();
}

} // namespace kivro
