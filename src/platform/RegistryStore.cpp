#include "platform/RegistryStore.h"

#include "platform/MsgBox.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSettings>

#include <cstring>
#include <memory>

#include <algorithm>
#include <map>
#include <vector>

namespace kivro::win {

namespace {

const QString kProgramKey = QStringLiteral("Software\\Tesma\\Kivro");
const QString kDefaultValueName = QStringLiteral("@");

// ---- the INI format of our own -------------------------------------------------------------

QString escapeText(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case 0:
            out += QStringLiteral("\\0");
            break;
        default:
            out += c;
        }
    }
    if (out.startsWith(QLatin1Char('"')) || out.startsWith(QStringLiteral("dword:")))
        out = QLatin1Char('"') + out + QLatin1Char('"');
    return out;
}

QString unescapeText(const QString& raw)
{
    QString text = raw;
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        text = text.mid(1, text.size() - 2);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar n = text[i + 1];
            if (n == QLatin1Char('\\')) {
                out += QLatin1Char('\\');
                ++i;
                continue;
            }
            if (n == QLatin1Char('n')) {
                out += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (n == QLatin1Char('r')) {
                out += QLatin1Char('\r');
                ++i;
                continue;
            }
            if (n == QLatin1Char('0')) {
                out += QChar(0);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

bool readIni(QIODevice& device, QSettings::SettingsMap& map)
{
    QString section = QStringLiteral("General");
    const QString all = QString::fromUtf8(device.readAll());
    const QStringList lines = all.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            section = trimmed.mid(1, trimmed.size() - 2).trimmed();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString name = line.left(eq).trimmed();
        const QString raw = line.mid(eq + 1);
        if (name.isEmpty())
            continue;
        QVariant value;
        static const QRegularExpression dword(QStringLiteral("^dword:([0-9A-Fa-f]{8})$"));
        const auto m = dword.match(raw);
        if (m.hasMatch())
            value = QVariant::fromValue<uint>(m.captured(1).toUInt(nullptr, 16));
        else
            value = unescapeText(raw);
        map.insert(section + QLatin1Char('/') + name, value);
    }
    return true;
}

std::uint64_t& fileWrites()
{
    static std::uint64_t count = 0;
    return count;
}

bool writeIni(QIODevice& device, const QSettings::SettingsMap& map)
{
    // QSettings calls this once for every replacement of the file.
    ++fileWrites();
    // Sections in a stable order, [General] first.
    std::map<QString, QStringList> sections;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const qsizetype slash = it.key().lastIndexOf(QLatin1Char('/'));
        const QString section = slash < 0 ? QStringLiteral("General") : it.key().left(slash);
        const QString name = slash < 0 ? it.key() : it.key().mid(slash + 1);
        QString text;
        if (it.value().typeId() == QMetaType::UInt)
            text = QStringLiteral("dword:%1").arg(it.value().toUInt(), 8, 16, QLatin1Char('0'));
        else
            text = escapeText(it.value().toString());
        sections[section] << name + QLatin1Char('=') + text;
    }
    QByteArray out;
    auto emitSection = [&](const QString& section, const QStringList& lines) {
        if (!out.isEmpty())
            out += '\n';
        out += '[' + section.toUtf8() + "]\n";
        for (const QString& l : lines)
            out += l.toUtf8() + '\n';
    };
    if (auto g = sections.find(QStringLiteral("General")); g != sections.end())
        emitSection(g->first, g->second);
    for (const auto& [section, lines] : sections)
        if (section != QLatin1String("General"))
            emitSection(section, lines);
    return device.write(out) == out.size();
}

QSettings::Format iniFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("ini"), readIni, writeIni);
    return format;
}

// ---- keys -------------------------------------------------------------------------------------

struct OpenKey {
    QString group; // QSettings group ("General", "Filter", ...)
};

std::map<HKEY, OpenKey>& openKeys()
{
    static std::map<HKEY, OpenKey> keys;
    return keys;
}

HKEY nextHandle()
{
    static HKEY next = 1;
    return next++;
}

// The section that stands for a key path under HKEY_CURRENT_USER.
QString groupFor(QString subKey)
{
    subKey.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (subKey.endsWith(QLatin1Char('\\')))
        subKey.chop(1);
    while (subKey.startsWith(QLatin1Char('\\')))
        subKey.remove(0, 1);
    if (subKey.compare(kProgramKey, Qt::CaseInsensitive) == 0)
        return QStringLiteral("General");
    if (subKey.startsWith(kProgramKey + QLatin1Char('\\'), Qt::CaseInsensitive)) {
        QString rest = subKey.mid(kProgramKey.size() + 1);
        rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return rest;
    }
    QString other = QStringLiteral("HKCU/") + subKey;
    other.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return other;
}

// ---- values the file did not take ------------------------------------------------------------

// The values written this run that the settings file did not take, by section and name, both in
// lower case (names compare without regard to case); an invalid value marks one deleted.
using KeptSection = std::map<QString, QVariant>;

struct RunState {
    std::map<QString, KeptSection> kept;
    bool writeFailed = false;
    bool warned = false;
};

RunState& run()
{
    static RunState state;
    return state;
}

KeptSection& keptSection(const QString& group)
{
    return run().kept[group.toLower()];
}

const QVariant* keptValue(const QString& group, const QString& name)
{
    const auto section = run().kept.find(group.toLower());
    if (section == run().kept.end())
        return nullptr;
    const auto value = section->second.find(name.toLower());
    return value == section->second.end() ? nullptr : &value->second;
}

// The store could not write: the first time in a run the user learns that settings are lost.
long writeFailed()
{
    run().writeFailed = true;
    if (!run().warned) {
        run().warned = true;
        MsgBox(RegStoreWarningText(paths::settingsFile()), vbExclamation | vbOKOnly | vbTopMost);
    }
    return ERROR_WRITE_FAULT;
}

std::unique_ptr<QSettings> openStore()
{
    const QString file = paths::settingsFile();
    QDir().mkpath(QFileInfo(file).absolutePath());
    auto s = std::make_unique<QSettings>(file, iniFormat());
    s->sync(); // pick up what another process wrote since our last look
    return s;
}

// A group of writes that belong together: one look at the file when it begins, every read and
// write of the group on that one view, and one replacement of the file when it ends. Until then
// the group's values are held as values the file has not taken yet, so that every read sees them;
// the end forgets them again once the file took them.
struct GroupWrite {
    int depth = 0;
    std::unique_ptr<QSettings> store;
    std::vector<std::pair<QString, QString>> touched; // group and value name, as kept
};

GroupWrite& groupWrite()
{
    static GroupWrite group;
    return group;
}

bool inGroupWrite()
{
    return groupWrite().depth > 0;
}

// The store a call works on: the group's view during a group of writes, else a fresh look held
// in `own`.
QSettings& storeFor(std::unique_ptr<QSettings>& own)
{
    if (inGroupWrite())
        return *groupWrite().store;
    own = openStore();
    return *own;
}

// Keeps a value of a group of writes until the group is written (an invalid value: deleted).
void keepForGroup(const QString& group, const QString& name, const QVariant& value)
{
    keptSection(group)[name.toLower()] = value;
    groupWrite().touched.emplace_back(group, name.toLower());
}

// The stored spelling of a section, found without regard to case; `group` when none exists yet.
QString storedGroup(QSettings& s, const QString& group)
{
    const QStringList parts = group.split(QLatin1Char('/'));
    QString resolved;
    for (const QString& part : parts) {
        const QString prefix = resolved.isEmpty() ? QString() : resolved + QLatin1Char('/');
        QString match = part;
        s.beginGroup(resolved);
        const QStringList groups = resolved.isEmpty() ? s.childGroups() : s.childGroups();
        s.endGroup();
        for (const QString& g : groups)
            if (g.compare(part, Qt::CaseInsensitive) == 0) {
                match = g;
                break;
            }
        resolved = prefix + match;
    }
    return resolved;
}

// The stored spelling of a value name in `group`, or the empty text when there is none.
QString storedName(QSettings& s, const QString& group, const QString& name)
{
    s.beginGroup(group);
    const QStringList keys = s.childKeys();
    s.endGroup();
    for (const QString& k : keys)
        if (k.compare(name, Qt::CaseInsensitive) == 0)
            return k;
    return QString();
}

QString valueKey(const QString& valueName)
{
    QString n = valueName.isEmpty() ? kDefaultValueName : valueName;
    n.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return n;
}

long openKey(HKEY root, const QString& subKey, HKEY* result)
{
    if (result)
        *result = 0;
    if (root != HKEY_CURRENT_USER)
        return ERROR_FILE_NOT_FOUND;
    const HKEY h = nextHandle();
    openKeys()[h] = OpenKey{groupFor(subKey)};
    if (result)
        *result = h;
    return ERROR_SUCCESS;
}

} // namespace

long RegOpenKeyA(HKEY root, const QString& subKey, HKEY* result)
{
    return openKey(root, subKey, result);
}

long RegCreateKeyA(HKEY root, const QString& subKey, HKEY* result)
{
    return openKey(root, subKey, result);
}

long RegQueryValueExA(HKEY key, const QString& valueName, std::uint32_t* type, QByteArray* data,
                      std::uint32_t* dataSize)
{
    const auto it = openKeys().find(key);
    if (it == openKeys().end())
        return ERROR_INVALID_HANDLE;
    QVariant v;
    if (const QVariant* kept = keptValue(it->second.group, valueKey(valueName))) {
        if (!kept->isValid())
            return ERROR_FILE_NOT_FOUND;
        v = *kept;
    } else {
        std::unique_ptr<QSettings> own;
        QSettings& s = storeFor(own);
        const QString group = storedGroup(s, it->second.group);
        const QString name = storedName(s, group, valueKey(valueName));
        if (name.isEmpty())
            return ERROR_FILE_NOT_FOUND;
        v = s.value(group + QLatin1Char('/') + name);
    }
    QByteArray bytes;
    std::uint32_t t = REG_SZ;
    if (v.typeId() == QMetaType::UInt) {
        t = REG_DWORD;
        const quint32 n = v.toUInt();
        bytes = QByteArray(reinterpret_cast<const char*>(&n), 4);
    } else {
        bytes = v.toString().toUtf8();
    }
    if (type)
        *type = t;
    const auto size = std::uint32_t(bytes.size());
    if (data) {
        const std::uint32_t room = dataSize ? *dataSize : 0;
        if (room < size) {
            if (dataSize)
                *dataSize = size;
            return ERROR_MORE_DATA;
        }
        *data = bytes;
    }
    if (dataSize)
        *dataSize = size;
    return ERROR_SUCCESS;
}

long RegSetValueExA(HKEY key, const QString& valueName, std::uint32_t type, const QByteArray& data)
{
    const auto it = openKeys().find(key);
    if (it == openKeys().end())
        return ERROR_INVALID_HANDLE;
    std::unique_ptr<QSettings> own;
    QSettings& s = storeFor(own);
    const QString group = storedGroup(s, it->second.group);
    QString name = storedName(s, group, valueKey(valueName));
    if (name.isEmpty())
        name = valueKey(valueName);
    QVariant v;
    if (type == REG_DWORD && data.size() >= 4) {
        quint32 n = 0;
        std::memcpy(&n, data.constData(), 4);
        v = QVariant::fromValue<uint>(n);
    } else {
        v = QString::fromUtf8(data);
    }
    s.setValue(group + QLatin1Char('/') + name, v);
    if (inGroupWrite()) {
        keepForGroup(it->second.group, name, v);
        return ERROR_SUCCESS;
    }
    s.sync();
    auto& kept = keptSection(it->second.group);
    if (s.status() == QSettings::NoError) {
        kept.erase(name.toLower());
        return ERROR_SUCCESS;
    }
    kept[name.toLower()] = v;
    return writeFailed();
}

long RegCloseKey(HKEY key)
{
    return openKeys().erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

long RegDeleteKeyA(HKEY root, const QString& subKey)
{
    if (root != HKEY_CURRENT_USER)
        return ERROR_FILE_NOT_FOUND;
    const QString wanted = groupFor(subKey);
    if (wanted == QLatin1String("General"))
        return ERROR_ACCESS_DENIED; // the program's own key is never deleted whole
    std::unique_ptr<QSettings> own;
    QSettings& s = storeFor(own);
    const QString group = storedGroup(s, wanted);
    s.beginGroup(group);
    const QStringList onDisk = s.allKeys();
    s.endGroup();
    auto& kept = keptSection(wanted);
    const bool keptAny = std::any_of(kept.begin(), kept.end(), [](const auto& v) { return v.second.isValid(); });
    if (onDisk.isEmpty() && !keptAny)
        return ERROR_FILE_NOT_FOUND;
    if (inGroupWrite()) {
        s.remove(group);
        kept.clear();
        for (const QString& name : onDisk)
            keepForGroup(wanted, name, QVariant());
        return ERROR_SUCCESS;
    }
    if (!onDisk.isEmpty()) {
        s.remove(group);
        s.sync();
        if (s.status() != QSettings::NoError) {
            // What the file still holds reads as deleted for the rest of the run.
            for (const QString& name : onDisk)
                kept[name.toLower()] = QVariant();
            return writeFailed();
        }
    }
    kept.clear();
    return ERROR_SUCCESS;
}

void RegBeginGroupWrite()
{
    GroupWrite& group = groupWrite();
    if (group.depth++ == 0) {
        group.store = openStore();
        group.touched.clear();
    }
}

long RegEndGroupWrite()
{
    GroupWrite& group = groupWrite();
    if (group.depth == 0 || --group.depth > 0)
        return ERROR_SUCCESS;
    std::unique_ptr<QSettings> store = std::move(group.store);
    std::vector<std::pair<QString, QString>> touched = std::move(group.touched);
    group.touched.clear();
    store->sync();
    if (store->status() != QSettings::NoError)
        return writeFailed(); // what the group wrote stays kept for the run
    for (const auto& [section, name] : touched)
        keptSection(section).erase(name);
    return ERROR_SUCCESS;
}

std::uint64_t RegStoreFileWrites()
{
    return fileWrites();
}

bool RegStoreWriteFailed()
{
    return run().writeFailed;
}

QString RegStoreWarningText(const QString& settingsFile)
{
    return QStringLiteral("Settings cannot be saved to '%1'. Changes will not be kept.").arg(settingsFile);
}

void RegStoreResetRun()
{
    run() = RunState{};
}

} // namespace kivro::win
