#pragma once
// The preview's position slider: a horizontal track from Min to Max with a gripper at Value.
// The part of the track left of the gripper is drawn in LowColor, the rest in HiColor; ColInit
// recomputes that split from the value.
#include <QColor>
#include <QWidget>
#include <cstdint>

namespace kivro {

class MSSlider : public QWidget {
    Q_OBJECT
public:
    explicit MSSlider(QWidget* parent = nullptr);

    std::int32_t Min() const { return m_min; }
    void setMin(std::int32_t value);
    std::int32_t Max() const { return m_max; }
    void setMax(std::int32_t value);
    // Kept within Min..Max.
    std::int32_t Value() const { return m_value; }
    void setValue(std::int32_t value);
    bool Enabled() const { return isEnabled(); }
    void setEnabledState(bool enabled) { setEnabled(enabled); }
    QColor LowColor() const { return m_lowColor; }
    void setLowColor(const QColor& color);
    QColor HiColor() const { return m_hiColor; }
    void setHiColor(const QColor& color);

    // Recomputes the track colours from the value.
    void ColInit();
    // The share of the track drawn in LowColor (0 to 1), as ColInit last computed it.
    double lowShare() const { return m_lowShare; }

signals:
    void ValueHasChanged(std::int32_t value);

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize sizeHint() const override { return QSize(200, 16); }

private:
    std::int32_t m_min = 0;
    std::int32_t m_max = 10;
    std::int32_t m_value = 0;
    double m_lowShare = 0.0;
    QColor m_lowColor{0, 0, 128};
    QColor m_hiColor{192, 192, 192};
};

} // namespace kivro
