#include "mainwindow/MainLoad.h"

#include "platform/NumberFormat.h"
#include "engine/Registry.h"
#include "engine/StringHelpers.h"
#include "platform/RegistryStore.h"
#include "preview/MciIni.h"

#include <QFileInfo>
#include <QLocale>

#include <cmath>

namespace kivro::MainLoad {

namespace {

using namespace Registry;

// "#,###" of a value: the whole number (halves away from zero) grouped, 0 empty.
QString groupedWhole(double value)
{
    return FormatThousands(std::int64_t(std::round(value)));
}

bool inRange(const std::optional<double>& v, double low, double high)
{
    return v && *v >= low && *v <= high;
}

} // namespace

QString CaptionText(int major, int minor, int revision)
{
    return QStringLiteral("Tesma Kivro Pro v%1.%2%3").arg(major).arg(minor).arg(revision);
}

std::optional<double> NumericSetting(const QString& text)
{
    bool ok = false;
    const double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> StoredPosition(const QString& text)
{
    const std::optional<double> value = NumericSetting(text);
    if (!inRange(value, -kMostPositionTwips, kMostPositionTwips))
        return std::nullopt;
    return value;
}

bool FolderExists(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

bool IsCustomSizeText(const QString& sSize)
{
    return sSize == QLatin1String("customfs") || sSize == QLatin1String("customffs")
           || sSize == QLatin1String("customlfs") || sSize == QLatin1String("custompfs")
           || sSize == QLatin1String("customnof");
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
    if (sSize == QLatin1String("custompfs")) {
        c.mode = CustomSize::Mode::Percent;
        if (inRange(value, 1, 99)) {
            c.splitPercent = std::int32_t(std::nearbyint(*value));
            c.caption = companionText + QStringLiteral("% (Custom...)");
        } else {
            c.splitPercent = 50;
            c.caption = QStringLiteral("50% (Custom...)");
            c.repairedCompanion = QStringLiteral("50");
        }
        return c;
    }
    if (sSize == QLatin1String("customnof")) {
        c.mode = CustomSize::Mode::Files;
        if (inRange(value, 2, 99999)) {
            c.splitFiles = std::int32_t(std::nearbyint(*value));
            c.caption = companionText + QStringLiteral(" Files (Custom...)");
        } else {
            c.splitFiles = 2;
            c.caption = QStringLiteral("2 Files (Custom...)");
            c.repairedCompanion = QStringLiteral("2");
        }
        return c;
    }
    QString prefix;
    if (sSize == QLatin1String("customffs")) {
        c.mode = CustomSize::Mode::First;
        prefix = QStringLiteral("First ");
    } else if (sSize == QLatin1String("customlfs")) {
        c.mode = CustomSize::Mode::Last;
        prefix = QStringLiteral("Last ");
    } else {
        c.mode = CustomSize::Mode::Size;
    }
    if (inRange(value, 1, 1048576000)) {
        c.unpackSize = std::int64_t(std::nearbyint(*value));
        c.caption = prefix + groupedWhole(*value / 1024) + QStringLiteral("K (Custom...)");
    } else {
        // The default caption shows 1,440 (K) for the 1,440,000 bytes it sets.
        c.unpackSize = 1440000;
        c.caption = prefix + groupedWhole(1440) + QStringLiteral("K (Custom...)");
        c.repairedCompanion = QStringLiteral("1440000");
    }
    return c;
}

QStringList LoadFileFilterList()
{
    const FileFilterStore store = ReadFileFilterStore();

    bool interiorGap = false;
    for (qsizetype i = 0; i < store.entries.size(); ++i) {
        if (store.entries.at(i).number != int(i) + 1)
            interiorGap = true;
    }
    QStringList items;
    for (const FileFilter& f : store.entries)
        items << f.displayForm();

    if (interiorGap || store.countNotNumber) {
        // Renumber 1..N, so that the type box's n-th item reads entry n and the last entry is
        // not lost to a lowered count.
        WriteFileFilterStore(store.entries);
        return items;
    }
    Registry::writeSetting(Settings::NoOfFilter, store.count);
    return items;
}

void CorrectMciDrivers()
{
    for (const MciDriver& d : kMciDrivers) {
        const QString entry = QString::fromLatin1(d.entry);
        const QString driver = QString::fromLatin1(d.driver);
        if (ReadMciIniEntry(entry) != driver)
            WriteMciIniEntry(entry, driver);
    }
}

} // namespace kivro::MainLoad
