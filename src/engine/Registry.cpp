#include "engine/Registry.h"

#include <cstring>

namespace kivro::Registry {

using namespace kivro::win;

QString RegReadString(HKEY root, const QString& keyPath, const QString& valueName, const QString& defaultValue)
{
    QString result = defaultValue;
    HKEY key = 0;
    RegOpenKeyA(root, keyPath, &key); // a missing key leaves 0 and the query fails
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (RegQueryValueExA(key, valueName, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        QByteArray data;
        if (RegQueryValueExA(key, valueName, &type, &data, &size) == ERROR_SUCCESS) {
            const qsizetype nul = data.indexOf('\0');
            result = QString::fromUtf8(nul >= 0 ? data.left(nul) : data);
        }
    }
    RegCloseKey(key);
    return result;
}

void RegWriteString(HKEY root, const QString& keyPath, const QString& valueName, const QString& data)
{
    HKEY key = 0;
    RegCreateKeyA(root, keyPath, &key);
    RegSetValueExA(key, valueName, REG_SZ, data.toUtf8());
    RegCloseKey(key);
}

std::int32_t RegReadDWord(HKEY root, const QString& keyPath, const QString& valueName, std::int32_t defaultValue)
{
    std::int32_t result = defaultValue;
    HKEY key = 0;
    RegOpenKeyA(root, keyPath, &key);
    std::uint32_t type = 0;
    std::uint32_t size = 4;
    QByteArray data;
    if (RegQueryValueExA(key, valueName, &type, &data, &size) == ERROR_SUCCESS && type == REG_DWORD
        && data.size() == 4) {
        std::int32_t v = 0;
        std::memcpy(&v, data.constData(), 4);
        result = v;
    }
    RegCloseKey(key);
    return result;
}

QString readSetting(const Settings::StoredSetting& setting)
{
    const QString text = RegReadString(HKEY_CURRENT_USER, kKivroKey, setting.readName, setting.fallback);
    return setting.accepts(text) ? text : QString(setting.fallback);
}

int readOptionRow(const Settings::OptionGroup& group)
{
    return group.rowOf(readSetting(*group.setting));
}

void writeSetting(const Settings::StoredSetting& setting, const QString& text)
{
    RegWriteString(HKEY_CURRENT_USER, kKivroKey, setting.name, text);
}

} // namespace kivro::Registry
