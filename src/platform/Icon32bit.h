#pragma once
// The program icon on every window.
#include <QIcon>
#include <QString>

class QWidget;

namespace kivro::Icon32bit {

// The icon group `iconName` of the program's resources ("AAA": the program icon at 16, 32 and
// 48 pixels). A name without pictures gives the null icon.
QIcon LoadIconGroup(const QString& iconName);

// Sets the icon group on `window` and, when `setOwner` is true, also on the window at the end of
// its chain of owners (the window itself when it has none). A missing group changes nothing.
void SetFormIcons(QWidget* window, const QString& iconName, bool setOwner);

} // namespace kivro::Icon32bit
