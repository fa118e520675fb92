#include "engine/CustomSize.h"

#include "engine/SettingNames.h"

#include "platform/NumberFormat.h"

#include <QLocale>

#include <cmath>

namespace kivro::CustomSizes {

namespace {

// "#,###" of a value: the whole number (halves away from zero) grouped, 0 empty.
QString groupedWhole(double value)
{
    return FormatThousands(std::int64_t(std::round(value)));
}

bool inRange(const std::optional<double>& v, double low, double high)
{
    return v && *v >= low && *v <= high;
}

QString sizeCaption(const QString& prefix, double kilobytes)
{
    return prefix + groupedWhole(kilobytes) + QStringLiteral("K (Custom...)");
}

QString prefixOf(CustomSizeMode mode)
{
    if (mode == CustomSizeMode::First)
        return QStringLiteral("First ");
    if (mode == CustomSizeMode::Last)
        return QStringLiteral("Last ");
    return {};
}

} // namespace

std::optional<double> NumericSetting(const QString& text)
{
    bool ok = false;
    const double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool IsCustomSizeText(const QString& sSize)
{
    for (CustomSizeMode m : {CustomSizeMode::Size, CustomSizeMode::First, CustomSizeMode::Last, CustomSizeMode::Percent,
                             CustomSizeMode::Files})
        if (sSize == SSizeText(m))
            return true;
    return false;
}

QString SSizeText(CustomSizeMode mode)
{
    switch (mode) {
    case CustomSizeMode::Size:
        return QStringLiteral("customfs");
    case CustomSizeMode::First:
        return QStringLiteral("customffs");
    case CustomSizeMode::Last:
        return QStringLiteral("customlfs");
    case CustomSizeMode::Percent:
        return QStringLiteral("custompfs");
    case CustomSizeMode::Files:
        return QStringLiteral("customnof");
    }
    return {};
}

const Settings::StoredSetting& CompanionValueName(const QString& sSize)
{
    if (sSize == QLatin1String("custompfs"))
        return Settings::cPfs;
    if (sSize == QLatin1String("customnof"))
        return Settings::cNof;
    return Settings::cSize;
}

CustomSize CustomSizeFor(const QString& sSize, const QString& companionText)
{
    CustomSize c;
    c.companionName = CompanionValueName(sSize).name;
    const std::optional<double> value = NumericSetting(companionText);
    // The percentage and the number of pieces keep their stored text in the caption.
    struct Counted {
        const char* text;
        CustomSizeMode mode;
        double low, high;
        std::int32_t fallback;
        std::int32_t CustomSize::*field;
    };
    static constexpr Counted kCounted[] = {
        {"custompfs", CustomSizeMode::Percent, 1, 99, 50, &CustomSize::splitPercent},
        {"customnof", CustomSizeMode::Files, 2, 99999, 2, &CustomSize::splitFiles},
    };
    for (const Counted& k : kCounted) {
        if (sSize != QLatin1String(k.text))
            continue;
        c.mode = k.mode;
        if (inRange(value, k.low, k.high)) {
            c.*k.field = std::int32_t(std::nearbyint(*value));
            c.caption = Caption(k.mode, 0).replace(0, 1, companionText);
        } else {
            c.*k.field = k.fallback;
            c.caption = Caption(k.mode, k.fallback);
            c.repairedCompanion = QString::number(k.fallback);
        }
        return c;
    }
    if (sSize == QLatin1String("customffs"))
        c.mode = CustomSize::Mode::First;
    else if (sSize == QLatin1String("customlfs"))
        c.mode = CustomSize::Mode::Last;
    else
        c.mode = CustomSize::Mode::Size;
    if (inRange(value, 1, 1048576000)) {
        c.unpackSize = std::int64_t(std::nearbyint(*value));
        c.caption = sizeCaption(prefixOf(c.mode), *value / 1024);
    } else {
        // The default caption shows 1,440 (K) for the 1,440,000 bytes it sets.
        c.unpackSize = Settings::kDefaultPieceSize;
        c.caption = Caption(c.mode, Settings::kDefaultPieceSize / 1000);
        c.repairedCompanion = QString::number(Settings::kDefaultPieceSize);
    }
    return c;
}

QString Caption(CustomSizeMode mode, std::int64_t number)
{
    switch (mode) {
    case CustomSizeMode::Percent:
        return QString::number(number) + QStringLiteral("% (Custom...)");
    case CustomSizeMode::Files:
        return QString::number(number) + QStringLiteral(" Files (Custom...)");
    default:
        return sizeCaption(prefixOf(mode), double(number));
    }
}

} // namespace kivro::CustomSizes
