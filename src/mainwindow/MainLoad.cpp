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

bool inRange(const std::optional<double>& v, double low, double high)
{
    return v && *v >= low && *v <= high;
}

} // namespace

QString CaptionText(int major, int minor, int revision)
{
    return QStringLiteral("Tesma Kivro Pro v%1.%2%3").arg(major).arg(minor).arg(revision);
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
