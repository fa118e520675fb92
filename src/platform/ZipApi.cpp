#include "platform/ZipApi.h"
#include "platform/Paths.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <zip.h>

#include <new>
#include <sys/stat.h>

namespace kivro::zipapi {

namespace {

constexpr int kDefaultLevel = 6;
// How often, at the most, a long compression reports its progress (and so lets the caller's
// windows run) when the percentage has not moved.
constexpr qint64 kProgressIntervalMs = 100;

struct State {
    ZpCallbacks callbacks;
    ZpOptions options;
    QByteArray date;
    QByteArray rootDir;
};

State& state()
{
    static State s;
    return s;
}

void print(const QString& text)
{
    const ZpPrintFn fn = state().callbacks.print;
    if (!fn)
        return;
    QByteArray bytes = text.toLocal8Bit();
    const auto length = std::uint32_t(bytes.size());
    fn(bytes.data(), length); // QByteArray keeps a NUL after its data
}

QString libzipText(zip_error_t* error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

QString archiveText(zip_t* za)
{
    return libzipText(zip_get_error(za));
}

// The entry name of a full path: relative to the root when it lies under it (compared without
// regard to case), otherwise the full path without its leading "/".
QString entryNameFor(const QString& cleanPath, const QString& root)
{
    QString r = QDir::cleanPath(root);
    if (!r.isEmpty() && r != QLatin1String("/")) {
        if (!r.endsWith(QLatin1Char('/')))
            r += QLatin1Char('/');
        if (cleanPath.size() > r.size() && cleanPath.startsWith(r, Qt::CaseInsensitive))
            return cleanPath.mid(r.size());
    }
    return cleanPath.mid(1);
}

struct Progress {
    QElapsedTimer sincePrint;
    int lastPercent = -1;
    QString archive;
};

void onProgress(zip_t*, double fraction, void* ud)
{
    auto* p = static_cast<Progress*>(ud);
    const int percent = int(fraction * 100.0);
    if (percent == p->lastPercent && p->sincePrint.elapsed() < kProgressIntervalMs)
        return;
    p->lastPercent = percent;
    p->sincePrint.restart();
    print(QStringLiteral("  zipping '%1': %2%").arg(p->archive).arg(percent));
}

class Archive {
public:
    ~Archive()
    {
        if (za)
            zip_discard(za); // nothing written, no temporary file left
    }
    zip_t* za = nullptr;
};

// Adds one regular file. Returns 0 or the failure's result (its text already printed).
std::int32_t addFile(zip_t* za, const QString& path, const QString& entry, zip_flags_t flags, std::uint32_t level)
{
    const QByteArray native = QFile::encodeName(path);
    zip_source_t* src = zip_source_file(za, native.constData(), 0, -1);
    if (!src) {
        print(QStringLiteral("zip error: cannot add '%1': %2").arg(path, archiveText(za)));
        return kZpErrRead;
    }
    const QByteArray name = QFile::encodeName(entry);
    const zip_int64_t index = zip_file_add(za, name.constData(), src, flags);
    if (index < 0) {
        zip_source_free(src);
        print(QStringLiteral("zip error: cannot add '%1': %2").arg(path, archiveText(za)));
        return kZpErrWrite;
    }
    if (zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_DEFLATE, level) != 0) {
        print(QStringLiteral("zip error: cannot compress '%1': %2").arg(path, archiveText(za)));
        return kZpErrWrite;
    }
    print(QStringLiteral("  adding: %1").arg(entry));
    return kZpOk;
}

std::int32_t addFolder(zip_t* za, const QString& path, const QString& entry)
{
    const QByteArray name = QFile::encodeName(entry);
    if (zip_dir_add(za, name.constData(), ZIP_FL_ENC_GUESS) < 0
        && zip_error_code_zip(zip_get_error(za)) != ZIP_ER_EXISTS) {
        print(QStringLiteral("zip error: cannot add '%1': %2").arg(path, archiveText(za)));
        return kZpErrWrite;
    }
    print(QStringLiteral("  adding: %1/").arg(entry));
    return kZpOk;
}

enum class Kind { Missing, File, Folder, Other };

Kind kindOf(const QString& path)
{
    struct stat st {};
    if (!paths::statPath(path, &st))
        return Kind::Missing;
    if (S_ISREG(st.st_mode))
        return Kind::File;
    if (S_ISDIR(st.st_mode))
        return Kind::Folder;
    return Kind::Other;
}

std::int32_t addName(zip_t* za, const QString& path, const QString& root, bool recurse, zip_flags_t flags,
                     std::uint32_t level)
{
    const QString entry = entryNameFor(path, root);
    switch (kindOf(path)) {
    case Kind::File:
        return addFile(za, path, entry, flags, level);
    case Kind::Folder: {
        if (path == QLatin1String("/")) {
            print(QStringLiteral("zip error: cannot add the root folder '/'"));
            return kZpErrArguments;
        }
        if (const std::int32_t r = addFolder(za, path, entry); r != kZpOk)
            return r;
        if (!recurse)
            return kZpOk;
        // Folders found through links are not entered, so a link loop cannot run forever.
        QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString sub = QDir::cleanPath(it.next());
            const QString subEntry = entryNameFor(sub, root);
            const QFileInfo fi = it.fileInfo();
            std::int32_t r = kZpOk;
            if (fi.isDir() && !fi.isSymLink())
                r = addFolder(za, sub, subEntry);
            else if (kindOf(sub) == Kind::File)
                r = addFile(za, sub, subEntry, flags, level);
            else
                print(QStringLiteral("zip warning: skipping '%1' (not a regular file)").arg(sub));
            if (r != kZpOk)
                return r;
        }
        return kZpOk;
    }
    case Kind::Other:
        print(QStringLiteral("zip error: cannot add '%1': not a regular file").arg(path));
        return kZpErrRead;
    case Kind::Missing:
    default: {
        zip_error_t e;
        zip_error_init_with_code(&e, ZIP_ER_NOENT);
        print(QStringLiteral("zip error: cannot add '%1': %2").arg(path, libzipText(&e)));
        zip_error_fini(&e);
        return kZpErrRead;
    }
    }
}

std::int32_t archive(std::int32_t count, const char* zipFileName, const ZpNameList* names)
{
    if (!zipFileName || !*zipFileName) {
        print(QStringLiteral("zip error: no archive name given"));
        return kZpErrArguments;
    }
    const QString zipPath = QFile::decodeName(zipFileName);
    if (count > kZpMaxNames) {
        print(QStringLiteral("zip error: %1 names, at most %2 fit in the name list").arg(count).arg(kZpMaxNames));
        return kZpErrArguments;
    }
    if (!names || count < 2) {
        print(QStringLiteral("zip error: nothing to do for '%1'").arg(zipPath));
        return kZpErrArguments;
    }
    QStringList paths;
    for (int i = 1; i < count; ++i) {
        const char* n = names->names[i];
        const QString path = n ? QFile::decodeName(n) : QString();
        if (!path.startsWith(QLatin1Char('/'))) {
            print(QStringLiteral("zip error: '%1' is not a full path").arg(path));
            return kZpErrArguments;
        }
        paths << QDir::cleanPath(path);
    }

    const ZpOptions& o = state().options;
    const bool update = o.flags[kZpFlagUpdate] != 0;
    const bool recurse = o.flags[kZpFlagRecurse] != 0;
    const std::uint32_t level = (o.level >= 1 && o.level <= 9) ? o.level : kDefaultLevel;
    const QString root = QFile::decodeName(state().rootDir);

    int openError = 0;
    Archive a;
    a.za = zip_open(zipFileName, update ? ZIP_CREATE : (ZIP_CREATE | ZIP_TRUNCATE), &openError);
    if (!a.za) {
        zip_error_t e;
        zip_error_init_with_code(&e, openError);
        print(QStringLiteral("zip error: cannot open '%1': %2").arg(zipPath, libzipText(&e)));
        zip_error_fini(&e);
        return openError == ZIP_ER_MEMORY ? kZpErrMemory : kZpErrWrite;
    }

    const zip_flags_t flags = ZIP_FL_ENC_GUESS | (update ? ZIP_FL_OVERWRITE : 0);
    for (const QString& path : paths)
        if (const std::int32_t r = addName(a.za, path, root, recurse, flags, level); r != kZpOk)
            return r;

    Progress progress;
    progress.archive = zipPath;
    progress.sincePrint.start();
    zip_register_progress_callback_with_state(a.za, 0.0, onProgress, nullptr, &progress);
    if (zip_close(a.za) != 0) {
        const int code = zip_error_code_zip(zip_get_error(a.za));
        print(QStringLiteral("zip error: cannot write '%1': %2").arg(zipPath, archiveText(a.za)));
        return code == ZIP_ER_MEMORY                                                  ? kZpErrMemory
               : (code == ZIP_ER_READ || code == ZIP_ER_OPEN || code == ZIP_ER_NOENT) ? kZpErrRead
                                                                                      : kZpErrWrite;
    }
    a.za = nullptr;
    return kZpOk;
}

} // namespace

std::int32_t ZpInit(const ZpCallbacks* callbacks)
{
    state().callbacks = callbacks ? *callbacks : ZpCallbacks{};
    return 1;
}

std::int32_t ZpSetOptions(const ZpOptions* options)
{
    State& s = state();
    s.options = options ? *options : ZpOptions{};
    s.date = (options && options->date) ? QByteArray(options->date) : QByteArray();
    s.rootDir = (options && options->rootDir) ? QByteArray(options->rootDir) : QByteArray();
    s.options.date = nullptr;
    s.options.rootDir = nullptr;
    return 1;
}

std::int32_t ZpArchive(std::int32_t count, const char* zipFileName, const ZpNameList* names)
{
    try {
        return archive(count, zipFileName, names);
    } catch (const std::bad_alloc&) {
        print(QStringLiteral("zip error: out of memory"));
        return kZpErrMemory;
    }
}

} // namespace kivro::zipapi
