#pragma once
// An image control of a skinned window: it shows one of three pictures (up, over, down) and
// reports the mouse the way the windows' handlers expect it.
//
// - mouseDown, mouseMove and mouseUp carry the position relative to the picture in logical
//   pixels (toTwips() converts). Moves are reported with and without a button held (mouse
//   tracking), and while a button is held they keep coming to the pressed picture even outside
//   it, as does the release.
// - clicked follows a left-button press and release both on the picture; a release elsewhere
//   gives mouseUp only.
// - The second press of a double-click is not a press: it gives doubleClicked only (no
//   mouseDown), and the release after it puts the up picture back and gives mouseUp but no
//   click, so a quick double-click acts once.
// - With autoStates (the default) the picture follows the small skin buttons' rule before each
//   signal: press -> down, move -> over, release -> up. The picture then stays until something
//   changes it (there is no change when the pointer leaves). Pictures whose handlers choose the
//   picture themselves (Pack, Unpack, Cancel) turn autoStates off and call showUp()/showDown().
#include "platform/Twips.h"

#include <QPointF>
#include <QString>
#include <QWidget>

namespace kivro {

class SkinImage : public QWidget {
    Q_OBJECT
public:
    enum class Picture { Up, Over, Down };

    explicit SkinImage(QWidget* parent = nullptr);
    // Pictures "<stem>_up", "<stem>_over" and "<stem>_down"; a stem without state pictures
    // (a plain picture) is used for all three.
    explicit SkinImage(const QString& stem, QWidget* parent = nullptr);

    void setPictures(const QString& up, const QString& over, const QString& down);
    // Sets the three pictures from a stem, as the constructor does.
    void setPictureStem(const QString& stem);
    QString pictureName(Picture which) const;

    Picture picture() const { return m_picture; }
    void setPicture(Picture which);
    void showUp() { setPicture(Picture::Up); }
    void showOver() { setPicture(Picture::Over); }
    void showDown() { setPicture(Picture::Down); }

    bool autoStates() const { return m_autoStates; }
    void setAutoStates(bool on) { m_autoStates = on; }

    QSize sizeHint() const override;

    // The pointer's global position at the last mouse event (a window drag computes positions
    // from it, so a move of the window between two events cannot make the step jump).
    QPointF lastGlobalPosition() const { return m_lastGlobal; }

    // How strongly a disabled picture is drawn (it takes no mouse input and looks faded).
    static constexpr qreal kDisabledOpacity = 0.4;

    static QPointF toTwips(const QPointF& pixels) { return pixels * double(kTwipsPerPixel); }
    // The picture's width and height in twips, as the round hit test takes them.
    QSizeF sizeTwips() const { return QSizeF(pixelsToTwips(double(width())), pixelsToTwips(double(height()))); }

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF pos);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF pos);
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QString m_names[3];
    Picture m_picture = Picture::Up;
    bool m_autoStates = true;
    bool m_leftPressedHere = false;
    bool m_releaseEndsDoubleClick = false;
    QPointF m_lastGlobal;
};

} // namespace kivro
