#include "dialogs/MouseDownLabel.h"

#include <QMouseEvent>

namespace kivro {

MouseDownLabel::MouseDownLabel(QWidget* parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
}

int MouseDownLabel::buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return vbLeftButton;
    case Qt::RightButton:
        return vbRightButton;
    case Qt::MiddleButton:
        return vbMiddleButton;
    default:
        return 0;
    }
}

void MouseDownLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit mouseDown(buttonCode(event->button()));
}

} // namespace kivro
