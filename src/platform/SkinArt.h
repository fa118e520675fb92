#pragma once
// The skin's pictures: our own SVG artwork in the resource file (resources/skin/, prefix
// ":/skin"), rendered for the size and device pixel ratio they are shown at, so they stay crisp
// at 100 % and 200 %. A picture is named by its file stem ("pack_up", "btn_close_over", ...).
#include <QColor>
#include <QCursor>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

class QWidget;

namespace kivro::SkinArt {

// ":/skin/<name>.svg".
QString resourcePath(const QString& name);
// Whether the resource file holds a valid picture of that name.
bool exists(const QString& name);
// The picture's own size in device-independent pixels (its SVG width and height); empty when
// the picture does not exist.
QSize defaultSize(const QString& name);
// The picture rendered to `logicalSize` at `dpr` device pixels per logical pixel (the pixmap
// carries that ratio). Rendered once per name, size and ratio. A missing picture gives a null
// pixmap.
QPixmap pixmap(const QString& name, const QSize& logicalSize, qreal dpr);
// Every picture of the skin, sorted.
QStringList names();

// The window's own hand pointer (mouse pointer 99), for the given device pixel ratio.
QCursor handCursor(qreal dpr = 1.0);

// The text style of a skinned window: "Arial" 8.25 pt, and labels in `textColor` (disabled labels
// keep the style's faded text).
void applyTextStyle(QWidget& window, QRgb textColor);
// Where the hand points (its hot spot), in the picture's logical pixels.
inline constexpr int kHandHotX = 10;
inline constexpr int kHandHotY = 3;

} // namespace kivro::SkinArt
