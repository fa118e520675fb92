#include "engine/CGZipFiles.h"

#include "engine/EngineGlobals.h"
#include "engine/Zip.h"
#include "platform/Paths.h"
#include "platform/RuntimeError.h"

#include <new>

namespace kivro {

CGZipFiles::CGZipFiles()
{
    m_files << kPlaceholder;
}

int CGZipFiles::indexOf(const QString& key) const
{
    for (int i = 0; i < m_files.size(); ++i)
        if (QString::compare(m_files.at(i), key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void CGZipFiles::AddFile(const QString& sFileName)
{
    if (indexOf(sFileName) >= 0)
        raiseError(kErrFileAlreadyInList, QStringLiteral("File is already in Zip List"),
                   QStringLiteral("CGZip::AddFile"));
    m_files << sFileName;
}

void CGZipFiles::RemoveFile(const QString& sFileName)
{
    const int i = indexOf(sFileName);
    if (i < 0)
        raiseError(kErrFileNotInList, QStringLiteral("File is not in Zip List"), QStringLiteral("CGZip::RemoveFile"));
    m_files.removeAt(i);
}

std::int32_t CGZipFiles::MakeZipFile()
{
    const QString source = QStringLiteral("CGZipFiles::MakeZipFile");
    try {
        Zip::ZipNameRecord record;
        std::int32_t count = 0;
        for (const QString& entry : m_files) {
            if (count >= std::int32_t(record.size()))
                raiseError(9); // Subscript out of range
            record[std::size_t(count++)] = entry;
        }
        return Zip::RunZip(count, m_zipFileName, record, m_recurse, m_update, m_rootDirectory);
    } catch (const RuntimeError& e) {
        throw RuntimeError(e.number(), e.description(), source);
    } catch (const std::bad_alloc&) {
        throw RuntimeError(7, QString(), source);
    }
}

QString CGZipFiles::GetLastMessage() const
{
    return gZipMessage;
}

bool IsZip(const QString& path)
{
    return paths::extensionOf(path).compare(QLatin1String("zip"), Qt::CaseInsensitive) == 0;
}

QString ZipArchiveName(const QString& path)
{
    const qsizetype dot = paths::extensionDot(path);
    return dot < 0 ? path + QStringLiteral(".zip") : path.left(dot + 1) + QStringLiteral("zip");
}

} // namespace kivro
