#pragma once
// The three settings routines every window uses. They know nothing of particular settings and
// never report failure: a value that cannot be read gives the caller's default, a failed write is
// lost without a word.
#include "platform/RegistryStore.h"

#include <QString>
#include <cstdint>

namespace kivro::Registry {

using win::HKEY;
using win::HKEY_CURRENT_CONFIG;
using win::HKEY_CURRENT_USER;
using win::HKEY_LOCAL_MACHINE;

// The program's key under HKEY_CURRENT_USER and its filter sub-keys.
inline const QString kKivroKey = QStringLiteral("Software\\Tesma\\Kivro");
inline const QString kFilterKey = QStringLiteral("Software\\Tesma\\Kivro\\Filter");
inline const QString kFilterInfoKey = QStringLiteral("Software\\Tesma\\Kivro\\FilterInfo");

QString RegReadString(HKEY root, const QString& keyPath, const QString& valueName,
                      const QString& defaultValue = QString());
void RegWriteString(HKEY root, const QString& keyPath, const QString& valueName, const QString& data);
std::int32_t RegReadDWord(HKEY root, const QString& keyPath, const QString& valueName,
                          std::int32_t defaultValue = 0);

} // namespace kivro::Registry
