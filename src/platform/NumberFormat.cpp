#include "platform/NumberFormat.h"

#include <QLocale>

namespace kivro {

QString FormatThousands(std::int64_t value)
{
    if (value == 0)
        return QString();
    QLocale locale;
    // The C locale omits its separator by default; the pattern always groups.
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(qlonglong(value));
}

} // namespace kivro
