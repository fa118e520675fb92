#include "preview/MciIni.h"

#include "engine/StringHelpers.h"
#include "platform/Paths.h"
#include "platform/ProfileString.h"

namespace kivro {

namespace {
const QString kSection = QStringLiteral("MCI");
}

QString MciIniPath()
{
    const QString folder = paths::GetWinPath();
    return folder.isEmpty() ? QString() : paths::joinPath(folder, QStringLiteral("system.ini"));
}

QString ReadMciIniEntry(const QString& entryName)
{
    QString text;
    win::GetPrivateProfileStringA(kSection, entryName, QStringLiteral("None"), &text, 255, MciIniPath());
    return text;
}

void WriteMciIniEntry(const QString& entryName, const QString& text)
{
    const QString path = MciIniPath();
    if (!path.isEmpty())
        win::WritePrivateProfileStringA(kSection, entryName, text, path);
}

} // namespace kivro
