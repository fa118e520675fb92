#include "engine/Zip.h"

#include "engine/EngineGlobals.h"

#include <QByteArray>
#include <QCoreApplication>

#include <cstring>
#include <vector>

namespace kivro {

QString gZipMessage;

namespace Zip {

namespace {

// The longest text the print routine takes from the library's buffer.
constexpr std::uint64_t kPrintBufferSize = 4097;

const ZipLibrary kRealLibrary{&zipapi::ZpInit, &zipapi::ZpSetOptions, &zipapi::ZpArchive};
const ZipLibrary* g_library = &kRealLibrary;

} // namespace

void SetZipLibrary(const ZipLibrary* library)
{
    g_library = library ? library : &kRealLibrary;
}

std::int32_t ZipPrint(char* buffer, std::uint32_t length)
{
    if (buffer) {
        const auto span = std::size_t(std::min<std::uint64_t>(std::uint64_t(length) + 1, kPrintBufferSize));
        const void* nul = std::memchr(buffer, 0, span);
        const auto size = nul ? std::size_t(static_cast<const char*>(nul) - buffer) : span;
        gZipMessage = QString::fromLocal8Bit(buffer, qsizetype(size));
    } else {
        gZipMessage.clear();
    }
    QCoreApplication::processEvents();
    return 0;
}

std::int32_t ZipPassword(char*, std::int32_t, const char*, const char*)
{
    return 1;
}

char* ZipComment(char* buffer)
{
    return buffer;
}

std::int32_t RunZip(std::int32_t nameCount, const QString& zipFileName, const ZipNameRecord& names,
                    std::int16_t recurse, std::int16_t update, const QString& rootDir)
{
    // Nothing in a run may escape to the caller; the result and gZipMessage tell what happened.
    std::int32_t result = zipapi::kZpErrMemory;
    try {
        gZipMessage.clear();

        zipapi::ZpCallbacks callbacks;
        callbacks.print = &ZipPrint;
        callbacks.password = &ZipPassword;
        callbacks.comment = &ZipComment;
        callbacks.reserved = nullptr;
        g_library->init(&callbacks);

        const QByteArray root = rootDir.toUpper().toLocal8Bit();
        zipapi::ZpOptions options;
        options.flags[13] = 0;
        options.flags[zipapi::kZpFlagRecurse] = recurse;
        options.flags[zipapi::kZpFlagUpdate] = update;
        options.flags[20] = 0;
        options.level = 0;
        options.date = nullptr;
        options.rootDir = root.constData();
        g_library->setOptions(&options);

        std::vector<QByteArray> texts(names.size());
        zipapi::ZpNameList list;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i].isEmpty())
                continue;
            texts[i] = names[i].toLocal8Bit();
            list.names[i] = texts[i].constData();
        }
        const QByteArray archive = zipFileName.toLocal8Bit();
        result = g_library->archive(nameCount, archive.constData(), &list);
    } catch (...) {
        result = zipapi::kZpErrMemory;
    }
    if (result != zipapi::kZpOk && gZipMessage.isEmpty())
        gZipMessage = QStringLiteral("zip error: '%1' could not be made (error %2)").arg(zipFileName).arg(result);
    return result;
}

} // namespace Zip
} // namespace kivro
