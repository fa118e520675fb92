#pragma once
// A label that reports mouse presses with the button as the forms number it (left 1, right 2,
// middle 4): the link labels and mail images of the information windows act on the left button
// only. Links show a hand pointer while the mouse is over them.
#include <QLabel>

namespace kivro {

constexpr int vbLeftButton = 1;
constexpr int vbRightButton = 2;
constexpr int vbMiddleButton = 4;

class MouseDownLabel : public QLabel {
    Q_OBJECT
public:
    explicit MouseDownLabel(QWidget* parent = nullptr);

    // The form's number for a Qt button (0 for any other button).
    static int buttonCode(Qt::MouseButton button);

signals:
    void mouseDown(int button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace kivro
