#include "platform/Icon32bit.h"

#include <QFile>
#include <QWidget>

namespace kivro::Icon32bit {

QIcon LoadIconGroup(const QString& iconName)
{
    QIcon icon;
    for (int size : {16, 32, 48}) {
        const QString file = QStringLiteral(":/icons/%1-%2.png").arg(iconName).arg(size);
        if (QFile::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

void SetFormIcons(QWidget* window, const QString& iconName, bool setOwner)
{
    if (!window)
        return;
    const QIcon icon = LoadIconGroup(iconName);
    if (icon.isNull())
        return;
    if (setOwner) {
        QWidget* owner = window->window();
        while (owner->parentWidget())
            owner = owner->parentWidget()->window();
        if (owner != window)
            owner->setWindowIcon(icon);
    }
    window->setWindowIcon(icon);
}

} // namespace kivro::Icon32bit
