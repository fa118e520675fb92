#include "engine/StringHelpers.h"

#include "engine/Registry.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/Twips.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>

#include <cmath>

namespace kivro {

QString gInverseSource;
QString gInverseResult;

std::int32_t LastInStr(const QString& txt, const QString& pattern)
{
    if (pattern.isEmpty())
        return 0;
    // The last start position is the last occurrence, overlapping ones included.
    return std::int32_t(txt.lastIndexOf(pattern, -1, Qt::CaseSensitive) + 1);
}

QString replaceall(QString& searchstring, const QString& findstring, const QString& replacestring)
{
    if (findstring.isEmpty() || !searchstring.contains(findstring, Qt::CaseSensitive))
        return searchstring;
    QString out;
    out.reserve(searchstring.size());
    qsizetype from = 0;
    for (;;) {
        const qsizetype p = searchstring.indexOf(findstring, from, Qt::CaseSensitive);
        if (p < 0)
            break;
        out += QStringView(searchstring).mid(from, p - from);
        out += replacestring;
        from = p + findstring.size();
    }
    out += QStringView(searchstring).mid(from);
    searchstring = out;
    return searchstring;
}

QString replaceall(const QString& searchstring, const QString& findstring, const QString& replacestring)
{
    QString copy = searchstring;
    return replaceall(copy, findstring, replacestring);
}

void inverse_string()
{
    gInverseResult.clear();
    gInverseResult.reserve(gInverseSource.size());
    for (qsizetype i = gInverseSource.size() - 1; i >= 0; --i)
        gInverseResult += gInverseSource.at(i);
}

QString AddSlash(const QString& Path)
{
    return Path;
}

std::int32_t TextWidthTwips(const QString& text)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    const QFontMetrics metrics(font);
    return pixelsToTwips(std::int32_t(metrics.horizontalAdvance(text)));
}

namespace {

// Cuts the last character (a whole surrogate pair) off a text.
void chopLastChar(QString& text)
{
    if (text.isEmpty())
        return;
    const bool pair = text.size() >= 2 && text.at(text.size() - 1).isLowSurrogate()
                      && text.at(text.size() - 2).isHighSurrogate();
    text.chop(pair ? 2 : 1);
}

// The whole path cut from the right until it fits `limit`, then "..." (no "/").
QString cutWithDots(const QString& path, std::int32_t limit, const TextWidthFunction& measure)
{
    QString head = path;
    while (!head.isEmpty() && measure(head) > limit)
        chopLastChar(head);
    return head + QStringLiteral("...");
}

} // namespace

void FormatDir(const QString& path, QString& result, std::int32_t maxWidth)
{
    FormatDir(path, result, maxWidth, TextWidthTwips);
}

void FormatDir(const QString& path, QString& result, std::int32_t maxWidth, const TextWidthFunction& measure)
{
    if (measure(path) <= maxWidth) {
        result = path;
        return;
    }
    // The last component, found by reversing the path and taking the text before the first "/".
    gInverseSource = path;
    inverse_string();
    const qsizetype slash = gInverseResult.indexOf(QLatin1Char('/'));
    if (slash < 0) {
        // No folder to keep: the path itself is cut.
        result = cutWithDots(path, maxWidth - 200, measure);
        return;
    }
    gInverseSource = gInverseResult.left(slash);
    inverse_string();
    const QString tail = QStringLiteral(".../") + gInverseResult;

    const std::int32_t room = maxWidth - measure(tail) - 175;
    if (room < 0) {
        // The last component alone is too wide.
        result = cutWithDots(path, maxWidth - 200, measure);
        return;
    }
    QString head = path;
    while (!head.isEmpty() && measure(head) > room - 175)
        chopLastChar(head);
    // An empty head that still does not fit leaves ".../" and the last component.
    result = head + tail;
}

void refresh_filesel_lst(const FileListSource& File1, QStringList& filesel_lst)
{
    filesel_lst.clear();
    const int count = File1.ListCount();
    for (int i = 0; i < count; ++i)
        if (File1.Selected(i))
            filesel_lst << File1.List(i);
}

// --- file-type filter store -----------------------------------------------------------------

QString FileFilter::displayForm() const
{
    return description + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

QString FileFilter::listPatterns() const
{
    return replaceall(patterns, QStringLiteral(","), QStringLiteral(";"));
}

void ResetFileFilter()
{
    using namespace Registry;
    GroupWrite group;
    Registry::writeSetting(Settings::fCheck, QStringLiteral("fPass"));
    Registry::writeSetting(Settings::NoOfFilter, QStringLiteral("3"));
    win::RegDeleteKeyA(HKEY_CURRENT_USER, kFilterKey);
    win::RegDeleteKeyA(HKEY_CURRENT_USER, kFilterInfoKey);
    RegWriteString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("1"), QStringLiteral("*.mpg,*.mpeg,*.mpe"));
    RegWriteString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("2"), QStringLiteral("*.mp3"));
    RegWriteString(HKEY_CURRENT_USER, kFilterKey, QStringLiteral("3"), QStringLiteral("*.*"));
    RegWriteString(HKEY_CURRENT_USER, kFilterInfoKey, QStringLiteral("1"), QStringLiteral("Mpeg"));
    RegWriteString(HKEY_CURRENT_USER, kFilterInfoKey, QStringLiteral("2"), QStringLiteral("Mp3"));
    RegWriteString(HKEY_CURRENT_USER, kFilterInfoKey, QStringLiteral("3"), QStringLiteral("All Files"));
}

std::int64_t LeadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    QString number;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        number += text.at(i++);
    bool point = false;
    bool digits = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            number += c;
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            number += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    const double value = number.toDouble();
    if (!std::isfinite(value) || std::fabs(value) > 9.0e18)
        return value < 0 ? INT64_MIN : INT64_MAX;
    return std::int64_t(std::nearbyint(value));
}

FileFilterStore ReadFileFilterStore()
{
    using namespace Registry;
    // The editor counts filters with 16-bit numbers: no store holds more.
    constexpr std::int64_t kMostFilters = 32767;

    FileFilterStore store;
    store.count = Registry::readSetting(Settings::NoOfFilter);
    if (store.count.isEmpty() || store.count == QLatin1String("0")) {
        MsgBoxResult(kFilterStoreDamagedText, vbExclamation | vbOKOnly | vbTopMost);
        ResetFileFilter();
        store.count = QStringLiteral("3");
        store.repaired = true;
    }
    const std::int64_t passes = std::min(LeadingNumber(store.count), kMostFilters);
    for (std::int64_t i = 1; i <= passes; ++i) {
        const QString name = QString::number(i);
        FileFilter f;
        f.number = int(i);
        f.description = RegReadString(HKEY_CURRENT_USER, kFilterInfoKey, name);
        f.patterns = RegReadString(HKEY_CURRENT_USER, kFilterKey, name);
        if (!f.description.isEmpty() || !f.patterns.isEmpty()) {
            store.entries << f;
            continue;
        }
        bool plain = false;
        const qlonglong n = store.count.toLongLong(&plain);
        if (plain)
            store.count = QString::number(n - 1);
        else
            store.countNotNumber = true;
    }
    return store;
}

QStringList WriteFileFilterStore(const QVector<FileFilter>& filters)
{
    using namespace Registry;
    // The whole list goes to the settings file in one write: hundreds of types, each written on
    // its own, rewrote the file hundreds of times.
    GroupWrite group;
    Registry::writeSetting(Settings::NoOfFilter, QString::number(filters.size()));
    win::RegDeleteKeyA(HKEY_CURRENT_USER, kFilterKey);
    win::RegDeleteKeyA(HKEY_CURRENT_USER, kFilterInfoKey);
    QStringList stored;
    for (qsizetype i = 0; i < filters.size(); ++i) {
        const QString name = QString::number(i + 1);
        RegWriteString(HKEY_CURRENT_USER, kFilterKey, name, filters.at(i).patterns);
        RegWriteString(HKEY_CURRENT_USER, kFilterInfoKey, name, filters.at(i).description);
        FileFilter back;
        back.number = int(i) + 1;
        back.patterns = RegReadString(HKEY_CURRENT_USER, kFilterKey, name);
        back.description = RegReadString(HKEY_CURRENT_USER, kFilterInfoKey, name);
        stored << back.displayForm();
    }
    return stored;
}

} // namespace kivro
