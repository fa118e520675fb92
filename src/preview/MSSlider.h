#pragma once
// The preview's position slider: a track and a gripper that the user drags, or places by
// pressing the track. All geometry is in twips (15 per pixel): the track sits 5 twips in from the
// left and 60 from the top, the gripper's centre travels from half its width to the track's
// width minus half its width, and Value follows the gripper's place between Min and Max.
//
// Value is stored as written (no clamping); between moves the gripper's place, not Value, is what
// counts: every layout, drag, track press and gripper release recomputes Value from it. With
// ColorShift on, the track's colour runs from LowColor to HiColor with the gripper.
//
// Enabled (the control's own property) swaps the enabled and disabled pictures and makes the
// control ignore the mouse; the widget itself stays enabled. The four signals carry no arguments.
#include <QPixmap>
#include <QWidget>
#include <array>
#include <cstdint>

namespace kivro {

class MSSlider : public QWidget {
    Q_OBJECT
public:
    explicit MSSlider(QWidget* parent = nullptr);

    std::int32_t Min() const { return m_min; }
    void setMin(std::int32_t lMinimun) { m_min = lMinimun; }
    std::int32_t Max() const { return m_max; }
    void setMax(std::int32_t lMaximum) { m_max = lMaximum; }
    std::int32_t Value() const { return m_value; }
    // Stores the value, places the gripper for it and raises ValueHasChanged; with Max equal to
    // Min only the value is stored.
    void setValue(std::int32_t lCurrentPos);
    // Colours as 0x00BBGGRR.
    void setLowColor(std::uint32_t lS) { m_lowColor = lS; }
    void setHiColor(std::uint32_t lE) { m_hiColor = lE; }
    // Loads the gripper's picture from a file and lays the control out again. A missing or
    // unreadable file raises a RuntimeError (53 or 481).
    void setGripperPic(const QString& strFilename);
    void setColorShift(bool bShift) { m_colorShift = bShift; }
    // The control's Enabled property (hides QWidget::setEnabled on purpose: the widget stays
    // enabled, only the pictures and the mouse handling change).
    bool Enabled() const { return m_enabledCtrl; }
    void setEnabled(bool EnableCtrl);
    // Recomputes the track colour for the gripper's current place.
    void ColInit();

    // The layout, in twips.
    double gripperLeft() const { return m_gripperLeft; }
    double gripperWidth() const { return m_gripperW; }
    double trackWidth() const { return m_groveW; }
    // The track's back colour as 0x00BBGGRR, or the system button-face reference 0x8000000F.
    std::uint32_t trackBackColor() const { return m_groveBackColor; }

    static constexpr std::uint32_t kButtonFace = 0x8000000F;

signals:
    void ValueHasChanged();
    void OnClick();
    void MouseUp();
    void MouseDown();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    QSize sizeHint() const override { return QSize(117, 14); }

private:
    enum class Part { None, Grove, Gripper };

    void layOut();
    void ensureLaidOut();
    void CalcValueFromPosition();
    void UpdateGroveColor();
    void PositionGripper();
    void moveGripper(double left, bool fitsStart, bool fitsEnd);
    void placeGripperOnGrove(double x);
    Part partAt(double xTwips, double yTwips) const;
    double h() const;

    bool m_bGroveDrag = false;
    std::array<std::uint32_t, 101> m_lColors{};
    std::int32_t m_min = 0;
    std::int32_t m_max = 100;
    std::int32_t m_value = 0;
    double m_lTravelWidth = 0;
    double m_lTravelStart = 0;
    double m_lTravelEnd = 0;
    std::uint32_t m_lowColor = 0;
    std::uint32_t m_hiColor = 0;
    double m_dRatio = 0;
    bool m_colorShift = false;
    bool m_enabledCtrl = true;

    // Track (picGrove) and gripper (picGripper), twips.
    double m_groveLeft = 5, m_groveTop = 60, m_groveW = 0, m_groveH = 0;
    double m_gripperLeft = 0, m_gripperTop = 0, m_gripperW = 90, m_gripperH = 180;
    std::uint32_t m_groveBackColor = kButtonFace;
    QPixmap m_gripperPicture; // a picture loaded by GripperPic, until Enabled swaps it out
    Part m_captured = Part::None;
    QSize m_laidOutSize;
};

} // namespace kivro
