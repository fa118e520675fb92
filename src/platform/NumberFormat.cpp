#include "platform/NumberFormat.h"

#include <QLocale>

namespace kivro {

QString FormatGrouped(std::int64_t value)
{
    if (value == 0)
        return QString();
    return QLocale().toString(qlonglong(value));
}

} // namespace kivro
