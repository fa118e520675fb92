#include "engine/UnpackAction.h"

#include <memory>

#include "engine/ActionFrame.h"
#include "engine/CGZipFiles.h"
#include "engine/CopyLoop.h"
#include "engine/DeleteAfterAction.h"
#include "engine/EngineGlobals.h"
#include "engine/File64.h"
#include "engine/FreeSpace.h"
#include "engine/JoinBatch.h"
#include "engine/MainWindowLink.h"
#include "engine/Mpeg.h"
#include "platform/NumberFormat.h"
#include "engine/PackListModel.h"
#include "engine/StringHelpers.h"
#include "platform/DiskApi.h"
#include "platform/FileApi.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kivro {

QStringList gSourcePaths;
QVector<std::int32_t> gSourceHandles;

SplitSettings CurrentSplitSettings()
{
    SplitSettings s;
    s.unpackSize = gUnpackSize;
    s.files = gSplitFiles;
    s.percent = gSplitPercent;
    s.modeFiles = gSplitModeFiles;
    s.modePercent = gSplitModePercent;
    s.modeFirst = gSplitModeFirst;
    s.modeLast = gSplitModeLast;
    return s;
}

std::int64_t PercentPieceSize(std::int64_t S, std::int32_t percent)
{
    const double fraction = double(percent) / 100.0;
    const double piece = std::floor(double(S) * fraction);
    return piece > 0.0 ? std::int64_t(piece) : 0;
}

std::int64_t SmallestPercentSource(std::int32_t percent)
{
    if (percent <= 0)
        return 0;
    std::int64_t s = 1;
    while (PercentPieceSize(s, percent) < 1)
        ++s;
    return s;
}

namespace {

int decimalDigits(std::int64_t n)
{
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

} // namespace

PiecePlan PlanPieces(std::int64_t S, const SplitSettings& settings)
{
    PiecePlan plan;
    std::int64_t P = settings.unpackSize;
    if (settings.modeFiles) {
        if (settings.files <= 0)
            return plan;
        const std::int64_t q = S / settings.files;
        P = q + (S - q * settings.files);
    } else if (settings.modePercent) {
        P = PercentPieceSize(S, settings.percent);
    }
    if (P <= 0 || S <= 0)
        return plan;
    plan.pieceSize = P;
    plan.digits = std::max(3, decimalDigits(S / P + 1));
    if (settings.onePiece()) {
        plan.fullPieces = 1;
        plan.firstOffset = settings.modeLast ? S - P : 0;
    } else {
        plan.fullPieces = S / P;
        plan.remainder = S - plan.fullPieces * P;
    }
    return plan;
}

QString FormatPieceNumber(std::int64_t n, int digits)
{
    return QStringLiteral("%1").arg(qlonglong(n), std::max(3, digits), 10, QLatin1Char('0'));
}

QString PieceStem(UnpackTarget target, const QString& saveAsText, const QString& splitFile, const QString& customDir)
{
    switch (target) {
    case UnpackTarget::SaveFile:
        return saveAsText;
    case UnpackTarget::WhereFile:
        return splitFile;
    case UnpackTarget::Custom:
        return paths::joinPath(customDir, paths::nameOf(splitFile));
    }
    return splitFile;
}

QString PieceName(const QString& stem, std::int64_t n, int digits, bool emh)
{
    return stem + QLatin1Char('.') + FormatPieceNumber(n, digits) + (emh ? QStringLiteral(".mpg") : QString());
}

namespace {

const QString kReadOnly = QStringLiteral("READ_ONLY");
const QString kReadWrite = QStringLiteral("READ_WRITE");
constexpr int kCritical = vbCritical | vbOKOnly | vbTopMost;
constexpr int kInformation = vbInformation | vbOKOnly | vbTopMost;

// Thrown once the run has ended (its messages shown and the window reset, or a cancel that did
// both): the run unwinds without another file step or window change.
struct RunEnded {};

struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool valid = false;
    bool operator==(const FileId& o) const { return valid && o.valid && device == o.device && inode == o.inode; }
    // For a hash of the files met: only a valid identity has one.
    QPair<quint64, quint64> key() const { return {device, inode}; }
};

FileId identityOf(const QString& path)
{
    FileId id;
    struct stat st {};
    if (paths::statPath(path, &st)) {
        id.device = std::uint64_t(st.st_dev);
        id.inode = std::uint64_t(st.st_ino);
        id.valid = true;
    }
    return id;
}

// The keys two output names share exactly when they name the same file. A folder is resolved
// (links, "." and ".." spellings) once, however many names of the run lie in it.
class OutputKeys {
public:
    // A folder as one text whatever way it was spelled (links resolved when it exists).
    QString folder(const QString& folder)
    {
        auto it = m_folders.constFind(folder);
        if (it == m_folders.cend()) {
            const QString canonical = QFileInfo(folder.isEmpty() ? QStringLiteral(".") : folder).canonicalFilePath();
            it = m_folders.insert(folder, canonical.isEmpty() ? QDir::cleanPath(folder) : canonical);
        }
        return *it;
    }
    QString of(const QString& path) { return folder(paths::folderOf(path)) + QLatin1Char('/') + paths::nameOf(path); }

private:
    QHash<QString, QString> m_folders;
};

struct Source {
    QString folder; // ends in "/"
    QString name;
    QString path;          // folder + name
    std::int64_t size = 0; // as the size check measured it
    FileId id;
    int sameAs = -1; // an earlier entry that is the same file
    bool zipFirst = false;
    QString archive; // the archive it is zipped into (zip first)
    QString splitFile;
    QString stem;
    QString batch; // empty without a batch file
    bool countKnown = false;
    std::int64_t pieceCount = 0;
    int digits = 3;
    std::int64_t emhHeader = 0; // the EMH header's length; 0 without EMH or without a sequence header
};

class UnpackRun {
public:
    UnpackRun(MainWindowLink& form, ActionFrame& frame) : m_form(form), m_frame(frame), m_file(form.file64()) {}
    UnpackRun(const UnpackRun&) = delete;
    UnpackRun& operator=(const UnpackRun&) = delete;

    void run();
    void handle(const RuntimeError& e);

private:
    bool askWhereToSave();
    void checkSizes();
    void checkFreeSpace();
    std::int64_t headerPieces(const PiecePlan& plan) const;
    void checkFileSizeLimit();
    void planNames();
    void checkNames();
    void prepareSources();
    void zipSource(Source& source);
    void showCopyDisplay();
    void splitSource(int k);
    void writePiece(const Source& source, const PiecePlan& plan, std::int64_t n, std::int64_t length);
    void writePieceBytes(const Source& source, std::int64_t n, std::int64_t length);
    std::int32_t openFile(const QString& path, const QString& mode);
    void copyOneBlock(std::int64_t count, const RuntimeError* failed);
    void reopenPiece(std::int64_t at);
    void finish();

    [[noreturn]] void refuse(const QString& message);
    void endRun();
    void progress();
    void stopIfCancelled() const
    {
        if (m_frame.cancelled())
            throw RunEnded{};
    }
    // Runs a step that writes `output`; a failure 75 asks "Cannot overwrite" with Retry and
    // Cancel, and Retry runs the step again (with `retrying` set). With `failed`, the step's first
    // run has already failed with that error: it is answered first, and a Retry runs the step.
    void withRetry(const QString& output, bool zipping, const std::function<void(bool retrying)>& step,
                   const RuntimeError* failed = nullptr);
    QString smallerThanText(const QString& path, std::int64_t bytes) const;
    QString entryPath() const;

    MainWindowLink& m_form;
    ActionFrame& m_frame;
    File64& m_file;
    ActionOptions m_opts;
    SplitSettings m_split;
    QString m_customDir;
    QVector<Source> m_sources;
    QStringList m_listed; // the pack list as the run began, for the Trash
    JoinList m_join;
    std::unique_ptr<CopyBuffer> m_buffer;
    bool m_emh = false;
    QSet<int> m_headerMissing; // entries whose missing sequence header has been reported

    // Where the run is, for the error handler.
    int m_entry = 0;
    QString m_archive;
    QString m_output;

    // The piece being written.
    std::int32_t m_source = -1;
    std::int32_t m_piece = -1;
    std::int64_t m_sourcePos = 0;
    std::int64_t m_piecePos = 0;
};

QString UnpackRun::entryPath() const
{
    return m_entry >= 0 && m_entry < m_sources.size() ? m_sources[m_entry].path : QString();
}

QString UnpackRun::smallerThanText(const QString& path, std::int64_t bytes) const
{
    return QStringLiteral("Cannot unpack '") + path + QStringLiteral("' because it is a smaller than ")
           + FormatThousands(bytes) + QStringLiteral(" bytes. Unpacking aborted!");
}

void UnpackRun::endRun()
{
    m_frame.HideZipDisplay();
    m_frame.ErrorResumeProgram();
    m_form.setTimeRemainingCaption(QString());
}

void UnpackRun::refuse(const QString& message)
{
    MsgBoxResult(message, kCritical);
    stopIfCancelled();
    endRun();
    throw RunEnded{};
}

void UnpackRun::progress()
{
    if (!m_frame.ProgressFeedback())
        throw RunEnded{};
}

void UnpackRun::withRetry(const QString& output, bool zipping, const std::function<void(bool)>& step,
                          const RuntimeError* failed)
{
    // A failure other than 75 and 64 (or after a Cancel) goes on to the run's error handler; a 75
    // asks, and returns only for a Retry; a 64 (a name too long) says so and ends the run.
    const auto answer = [&](const RuntimeError& e) {
        if (e.number() == 64 && !m_frame.cancelled()) {
            // A name the file system cannot hold: no Retry can change that.
            MsgBoxResult(QStringLiteral("'") + output
                             + QStringLiteral("' cannot be written: the name is too long. Unpacking aborted!"),
                         kCritical);
            stopIfCancelled();
            endRun();
            throw RunEnded{};
        }
        if (e.number() != 75 || m_frame.cancelled())
            throw e;
        const int choice = MsgBoxResult(QStringLiteral("Cannot overwrite '") + output
                                            + QStringLiteral("'. Disk full/write-protected or file is in use."),
                                        vbRetryCancel | vbCritical | vbTopMost);
        stopIfCancelled();
        if (choice != vbRetry) {
            MsgBoxResult(zipping ? QStringLiteral("Packing aborted by user")
                                 : QStringLiteral("Unpacking aborted by user"),
                         kInformation);
            stopIfCancelled();
            endRun();
            throw RunEnded{};
        }
    };
    bool retrying = false;
    if (failed) {
        answer(*failed);
        retrying = true;
    }
    for (;;) {
        try {
            step(retrying);
            return;
        } catch (const RuntimeError& e) {
            answer(e);
            retrying = true;
        }
    }
}

void UnpackRun::handle(const RuntimeError& e)
{
    if (m_frame.cancelled())
        return;
    const bool zipping = m_frame.mZipStepRunning;
    QString message;
    switch (e.number()) {
    case 9:
        message = QStringLiteral("This error may be due to the missing of 'Zip32.dll' in your Windows "
                                 "System or Kivro directory. If you are very sure this file exists, please email us.");
        break;
    case 13:
    case 52:
        // A file that could not be opened has had its own message.
        endRun();
        return;
    case 53:
        message = zipping ? QStringLiteral("'") + m_archive + QStringLiteral("' was not found! Zipping aborted!")
                          : QStringLiteral("'") + entryPath() + QStringLiteral("' was not found! Unpacking aborted!");
        break;
    case 55:
        message = zipping ? QStringLiteral("You are trying to zip and unpack a file that already exist in the "
                                           "Pack List. Packing aborted!")
                          : QStringLiteral("The requested file was not closed properly! Try again later!");
        break;
    case kErrOutputRemoved:
        message = QStringLiteral("'") + m_output
                  + QStringLiteral("' was removed while it was being written. Unpacking aborted!");
        break;
    case 67:
        message = QStringLiteral("Kivro cannot unpack '") + entryPath()
                  + QStringLiteral("' due to excess number of file handling. Possible solution is to move the "
                                   "file elsewhere other than the root directory.");
        break;
    default:
        m_frame.HideZipDisplay();
        m_frame.UnexpectedError(e.number(), e.description());
        m_form.setTimeRemainingCaption(QString());
        return;
    }
    MsgBoxResult(message, kCritical);
    if (!m_frame.cancelled())
        endRun();
}

bool UnpackRun::askWhereToSave()
{
    const int answer = MsgBoxResult(
        QStringLiteral("You are trying to unpack 2 or more files. Kivro cannot save them as the same "
                       "filename. Specify a custom directory now?"),
        vbYesNoCancel | vbExclamation | vbTopMost);
    if (answer == vbYes) {
        m_form.UnpackCustomDirMnu_Click();
        // Nothing is split; the next run needs a new press.
        m_frame.ResetAfterAction();
        return false;
    }
    if (answer == vbNo) {
        MsgBoxResult(QStringLiteral("Kivro will save the unpacked files in the directory where the file is."),
                     kInformation);
        m_form.UnpackWhereFileDirMnu_Click();
        m_opts.unpackTarget = UnpackTarget::WhereFile;
        return true;
    }
    m_frame.ResetAfterAction();
    return false;
}

void UnpackRun::run()
{
    PackListModel& list = m_form.packList();
    const int count = list.count();
    if (count == 0) {
        MsgBoxResult(QStringLiteral("Nothing to unpack."), vbExclamation | vbOKOnly | vbTopMost);
        m_frame.ResetAfterAction();
        return;
    }
    m_opts = m_form.actionOptions();
    m_opts.saveAsFile = m_form.saveAsNewFilename();
    if (count > 1 && m_opts.unpackTarget == UnpackTarget::SaveFile && !askWhereToSave())
        return;

    // The run works on what was listed and set when it started.
    m_split = CurrentSplitSettings();
    m_customDir = gUnpackCustomDir;
    m_emh = m_opts.unpackType == UnpackType::EMH && !m_opts.zip;
    for (int k = 0; k < count; ++k) {
        Source s;
        s.folder = list.folder(k);
        s.name = list.name(k);
        s.path = list.fullPath(k);
        m_sources << s;
        m_listed << s.path;
    }

    m_frame.mActionWord = QStringLiteral("unpack");
    m_frame.DisableControlsWhileBusy();
    m_form.setMousePointer(MainWindowLink::kPointerHourglass);
    m_frame.mTotalBytes = 0;
    m_frame.mBytesDone = 0;

    checkSizes();
    checkFreeSpace();
    planNames();
    checkFileSizeLimit();
    checkNames();
    prepareSources();
    showCopyDisplay();
    for (int k = 0; k < m_sources.size(); ++k)
        splitSource(k);
    finish();
}

void UnpackRun::checkSizes()
{
    for (m_entry = 0; m_entry < m_sources.size(); ++m_entry) {
        const QString& path = m_sources[m_entry].path;
        const std::int64_t s = GetFileLen(path);
        if (s == 0)
            refuse(QStringLiteral("Cannot unpack '") + path
                   + QStringLiteral("' which is a 0 byte file. Unpacking aborted!"));
        if (m_split.modePercent) {
            // The piece size this file will have; a file too small for one byte of it is refused.
            if (PercentPieceSize(s, m_split.percent) == 0)
                refuse(smallerThanText(path, SmallestPercentSource(m_split.percent)));
        } else if (!m_split.modeFiles && s < m_split.unpackSize) {
            refuse(smallerThanText(path, m_split.unpackSize));
        }
        m_sources[m_entry].size = s;
        m_frame.mTotalBytes += s;
    }
    m_entry = 0;
}

// The pieces of a plan that begin with the EMH header: every piece after the first, and the one
// piece of the last part.
std::int64_t UnpackRun::headerPieces(const PiecePlan& plan) const
{
    if (m_split.modeLast)
        return 1;
    if (m_split.modeFirst)
        return 0;
    return std::max<std::int64_t>(plan.pieceCount() - 1, 0);
}

void UnpackRun::checkFreeSpace()
{
    QVector<SpaceNeed> needs;
    for (m_entry = 0; m_entry < m_sources.size(); ++m_entry) {
        Source& s = m_sources[m_entry];
        QString target;
        switch (m_opts.unpackTarget) {
        case UnpackTarget::SaveFile:
            target = m_opts.saveAsFile;
            break;
        case UnpackTarget::WhereFile:
            target = s.folder;
            break;
        case UnpackTarget::Custom:
            target = m_customDir;
            break;
        }
        std::int64_t bytes = s.size;
        // Every EMH piece but the first carries a copy of the source's start as well.
        const std::int64_t withHeader = m_emh ? headerPieces(PlanPieces(s.size, m_split)) : 0;
        if (withHeader > 0) {
            s.emhHeader = EmhHeaderLength(m_form, s.path).value_or(0);
            bytes += s.emhHeader * withHeader;
        }
        needs << SpaceNeed{target, bytes};
    }
    m_entry = 0;
    if (!EnoughFreeSpace(MeasureSpaceNeeds(needs)))
        refuse(QStringLiteral("Not enough free diskspace. Unpacking aborted!"));
}

void UnpackRun::checkFileSizeLimit()
{
    for (m_entry = 0; m_entry < m_sources.size(); ++m_entry) {
        const Source& s = m_sources[m_entry];
        // An archive's size is known only once it is made.
        if (!s.countKnown)
            continue;
        const std::optional<std::int64_t> limit = win::MaxFileSizeOf(paths::folderOf(s.stem));
        if (!limit)
            continue;
        const PiecePlan plan = PlanPieces(s.size, m_split);
        for (std::int64_t n = 1; n <= plan.pieceCount(); ++n) {
            const std::int64_t data = n <= plan.fullPieces ? plan.pieceSize : plan.remainder;
            const std::int64_t header = m_split.modeLast || n > 1 ? s.emhHeader : 0;
            if (data + header > *limit)
                refuse(QStringLiteral("'") + PieceName(s.stem, n, plan.digits, m_emh)
                       + QStringLiteral("' cannot be written: its file system holds files of at most ")
                       + FormatThousands(*limit) + QStringLiteral(" bytes. Unpacking aborted!"));
        }
    }
    m_entry = 0;
}

void UnpackRun::planNames()
{
    // The first entry of every file listed.
    QHash<QPair<quint64, quint64>, int> firstWithId;
    for (int k = 0; k < m_sources.size(); ++k) {
        Source& s = m_sources[k];
        s.id = identityOf(s.path);
        if (s.id.valid) {
            const auto first = firstWithId.constFind(s.id.key());
            if (first != firstWithId.cend())
                s.sameAs = *first;
            else
                firstWithId.insert(s.id.key(), k);
        }
        s.zipFirst = m_opts.zip && !IsZip(s.path);
        s.archive = s.zipFirst ? ZipArchiveName(s.path) : QString();
        s.splitFile = s.zipFirst ? s.archive : s.path;
        s.stem = PieceStem(m_opts.unpackTarget, m_opts.saveAsFile, s.splitFile, m_customDir);
        if (m_opts.joinBatch != JoinBatch::None)
            s.batch = JoinBatchFileName(m_opts.unpackTarget, m_opts.saveAsFile, s.folder, s.name, m_customDir);
        // The pieces of an archive are known only once it is made.
        s.countKnown = !s.zipFirst;
        if (s.countKnown) {
            const PiecePlan plan = PlanPieces(s.size, m_split);
            s.pieceCount = plan.pieceCount();
            s.digits = plan.digits;
        }
    }
}

void UnpackRun::checkNames()
{
    // Every entry's names are looked up in hashes of what earlier entries and the folders hold,
    // so that thousands of files are checked in a moment.
    QSet<QPair<quint64, quint64>> listedIds;
    for (const Source& s : m_sources)
        if (s.id.valid)
            listedIds.insert(s.id.key());
    auto isListed = [&](const QString& path) {
        const FileId id = identityOf(path);
        return id.valid && listedIds.contains(id.key());
    };
    OutputKeys keys;
    const QString mpg = QStringLiteral(".mpg");
    // Per folder, the files already there whose names are a piece name (a stem, "." and a number
    // of 3 to 18 digits, and ".mpg" for EMH pieces), by their stem's name, in the folder's order.
    QHash<QString, QHash<QString, QStringList>> piecesByFolder;
    auto existingPieces = [&](const QString& folder) -> const QHash<QString, QStringList>& {
        const QString key = keys.folder(folder);
        auto it = piecesByFolder.find(key);
        if (it != piecesByFolder.end())
            return *it;
        QHash<QString, QStringList> byStem;
        const QStringList names = QDir(folder.isEmpty() ? QStringLiteral(".") : folder)
                                      .entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& existing : names) {
            QStringView rest(existing);
            if (m_emh) {
                if (!rest.endsWith(mpg))
                    continue;
                rest.chop(mpg.size());
            }
            const qsizetype dot = rest.lastIndexOf(QLatin1Char('.'));
            const QStringView number = dot < 0 ? QStringView() : rest.mid(dot + 1);
            if (number.size() < 3 || number.size() > 18 || !std::all_of(number.cbegin(), number.cend(), [](QChar c) {
                    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
                }))
                continue;
            byStem[rest.left(dot).toString()] << existing;
        }
        return *piecesByFolder.insert(key, byStem);
    };
    // The first entry whose pieces (or whose batch file) have this key. All later entries with the
    // same key are the same file as that one (any other would have been refused).
    QHash<QString, int> stemOwners;
    QHash<QString, int> batchOwners;

    for (m_entry = 0; m_entry < m_sources.size(); ++m_entry) {
        const Source& s = m_sources[m_entry];
        if (s.zipFirst && s.sameAs < 0 && isListed(s.archive))
            refuse(QStringLiteral("You are trying to zip and unpack a file that already exist in the Pack List. "
                                  "Packing aborted!"));

        // The earliest other file whose pieces or batch file would be this one's.
        int clash = -1;
        const auto meet = [&](QHash<QString, int>& owners, const QString& key) {
            const auto owner = owners.constFind(key);
            if (owner == owners.cend())
                owners.insert(key, m_entry);
            else if (!(m_sources[*owner].id == s.id) && (clash < 0 || *owner < clash))
                clash = *owner;
        };
        meet(stemOwners, keys.of(s.stem));
        if (!s.batch.isEmpty())
            meet(batchOwners, keys.of(s.batch));
        if (clash >= 0)
            refuse(QStringLiteral("Cannot unpack '") + s.path
                   + QStringLiteral("' because its pieces would replace those of '") + m_sources[clash].path
                   + QStringLiteral("'. Unpacking aborted!"));

        // Existing files that the pieces would replace: none may be a listed file.
        const QString stemFolder = paths::folderOf(s.stem);
        const qsizetype prefix = paths::nameOf(s.stem).size() + 1;
        for (const QString& existing : existingPieces(stemFolder).value(paths::nameOf(s.stem))) {
            const qsizetype digits = existing.size() - prefix - (m_emh ? mpg.size() : 0);
            const std::int64_t n = existing.mid(prefix, digits).toLongLong();
            if (n < 1 || (s.countKnown && (digits != s.digits || n > s.pieceCount)))
                continue;
            const QString piece = paths::joinPath(stemFolder, existing);
            if (isListed(piece))
                refuse(QStringLiteral("Cannot unpack '") + s.path + QStringLiteral("' because '") + piece
                       + QStringLiteral("' is a file in the Pack List. Unpacking aborted!"));
        }
        if (!s.batch.isEmpty() && isListed(s.batch))
            refuse(QStringLiteral("Cannot unpack '") + s.path + QStringLiteral("' because '") + s.batch
                   + QStringLiteral("' is a file in the Pack List. Unpacking aborted!"));

        // Every text that goes into the batch lines: the source's name and the piece entries.
        const QString entries = m_opts.joinBatch == JoinBatch::WithInfo ? s.stem : paths::nameOf(s.stem);
        if (!s.batch.isEmpty() && (!BatchCanCarry(s.name) || !BatchCanCarry(entries)))
            refuse(QStringLiteral("Cannot unpack '") + s.path
                   + QStringLiteral("' because its name holds a character that a batch file cannot carry. "
                                    "Unpacking aborted!"));
    }
    m_entry = 0;
}

void UnpackRun::zipSource(Source& s)
{
    if (s.sameAs >= 0 && m_sources[s.sameAs].zipFirst) {
        // The same file listed again: its archive is made already.
        return;
    }
    m_archive = s.archive;
    m_frame.ShowZipDisplay(QStringLiteral("Zipping '") + s.path + QLatin1Char('\''));

    withRetry(s.archive, true, [&](bool) { DeleteOldOutput(s.archive); });
    std::int32_t result = 0;
    QString lastMessage;
    withRetry(s.archive, true, [&](bool) {
        CGZipFiles job;
        job.setZipFileName(s.archive);
        job.setUpdatingZip(false);
        job.AddFile(s.path);
        result = job.MakeZipFile();
        lastMessage = job.GetLastMessage();
    });
    stopIfCancelled();
    if (result != 0) {
        // Nothing is split after a failed zip; archives made so far stay.
        refuse(lastMessage + QStringLiteral("\n\nZipping aborted."));
    }
    MsgBoxResult(QStringLiteral("'") + s.path + QStringLiteral("'") + QStringLiteral(" successfully zipped as '")
                     + s.archive + QStringLiteral("'."),
                 kInformation);
    stopIfCancelled();
    m_form.setZipAnimVisible(false);

    if (m_split.onePiece()) {
        // A first or last part needs an archive of at least the piece size.
        const std::int64_t size = GetFileLen(s.archive);
        if (size < m_split.unpackSize)
            refuse(smallerThanText(s.archive, m_split.unpackSize));
    }
}

void UnpackRun::prepareSources()
{
    gSourcePaths.clear();
    gSourceHandles.clear();
    for (m_entry = 0; m_entry < m_sources.size(); ++m_entry) {
        Source& s = m_sources[m_entry];
        if (m_opts.zip) {
            if (!s.zipFirst) {
                MsgBoxResult(QStringLiteral("Cannot zip '") + s.path
                                 + QStringLiteral("' because it is already a zip file. Zipping aborted."),
                             kCritical);
                stopIfCancelled();
            } else {
                zipSource(s);
            }
        }
        const std::int32_t handle = openFile(s.splitFile, kReadOnly);
        if (handle == -1) {
            // File64 has said "Error opening"; no piece is written.
            stopIfCancelled();
            endRun();
            throw RunEnded{};
        }
        gSourcePaths << s.splitFile;
        gSourceHandles << handle;
    }
    m_entry = 0;
    m_frame.HideZipDisplay();

    // Progress counts what is actually split: the archives under zip first.
    if (!m_split.onePiece()) {
        m_frame.mTotalBytes = 0;
        for (const Source& s : m_sources)
            m_frame.mTotalBytes += GetFileLen(s.splitFile);
    }
}

void UnpackRun::showCopyDisplay()
{
    m_form.setCancelPictureShown(m_frame.mActionWord, true);
    m_frame.ShowProgressBar();
    m_form.setPercentDoneCaption(QStringLiteral("0%"));
    m_form.setPercentDoneVisible(true);
    m_form.setTimeRemainingVisible(true);
    m_frame.StartClock();
    m_join.clear();
    m_buffer = std::make_unique<CopyBuffer>();
}

void UnpackRun::splitSource(int k)
{
    m_entry = k;
    const Source& s = m_sources[k];
    m_source = gSourceHandles[k];
    const std::int64_t S = GetFileLen(s.splitFile);
    if (S == 0)
        refuse(QStringLiteral("Cannot unpack '") + s.splitFile
               + QStringLiteral("' which is a 0 byte file. Unpacking aborted!"));
    const PiecePlan plan = PlanPieces(S, m_split);
    if (plan.pieceSize <= 0)
        raiseError(11); // Division by zero: no piece size
    if (m_split.modeFiles || m_split.modePercent)
        gUnpackSize = plan.pieceSize;
    if (m_split.onePiece()) {
        m_frame.mTotalBytes = plan.pieceSize * m_sources.size();
        if (S < plan.pieceSize)
            refuse(smallerThanText(s.splitFile, plan.pieceSize));
    }

    m_sourcePos = plan.firstOffset;
    if (plan.firstOffset > 0 && !m_file.SeekHandle(m_source, m_sourcePos))
        raiseError(errnoToErrorNumber(win::GetLastError()));

    for (std::int64_t n = 1; n <= plan.fullPieces; ++n)
        writePiece(s, plan, n, plan.pieceSize);
    if (plan.remainder > 0)
        writePiece(s, plan, plan.fullPieces + 1, plan.remainder);

    if (m_opts.joinBatch != JoinBatch::None) {
        m_output = s.batch;
        const QStringList lines = JoinBatchLines(m_form.CopyrightStamping_lst(), m_join, s.name,
                                                 JoinExtension(s.name, s.archive));
        withRetry(s.batch, false, [&](bool) {
            WriteJoinBatchFile(s.batch, lines, m_form.deleteAfterAction() != DeleteAfterAction::No);
        });
    }
    m_join.clear();
    m_file.CloseFile(m_source);
    m_source = -1;
}

void UnpackRun::writePiece(const Source& s, const PiecePlan& plan, std::int64_t n, std::int64_t length)
{
    const QString name = PieceName(s.stem, n, plan.digits, m_emh);
    m_output = name;
    if (m_opts.joinBatch != JoinBatch::None)
        m_join.add(JoinEntry(m_opts.joinBatch, name));

    // A failed close leaves a piece that does not hold what was written: Retry writes the whole
    // piece again, from the source offset where it began.
    const std::int64_t sourceStart = m_sourcePos;
    const std::int64_t doneStart = m_frame.mBytesDone;
    withRetry(name, false, [&](bool rewriting) {
        if (rewriting) {
            m_sourcePos = sourceStart;
            m_frame.mBytesDone = doneStart;
            if (!m_file.SeekHandle(m_source, m_sourcePos))
                raiseError(errnoToErrorNumber(win::GetLastError()));
        }
        writePieceBytes(s, n, length);
        const std::int32_t piece = m_piece;
        m_piece = -1;
        // The sources may go to the Trash at the end: every piece must be on the disk first.
        CloseOutputFile(m_file, piece, m_form.deleteAfterAction() != DeleteAfterAction::No, name);
    });
}

void UnpackRun::writePieceBytes(const Source& s, std::int64_t n, std::int64_t length)
{
    const QString& name = m_output;
    withRetry(name, false, [&](bool) { DeleteOldOutput(name); });

    // A failure of the header or of the piece's open goes to the caller's Retry, which writes
    // the piece again from the deletion on: something put at the name after the deletion (a
    // link, which the open does not follow) is deleted then too, and the header written again.
    gEmhHeaderWritten = false;
    if (m_emh && !m_headerMissing.contains(m_entry)) {
        const bool found = EmbedMpegHeader(m_form, s.path, name, n - 1, m_split.modeLast);
        stopIfCancelled();
        // Said once: the source's other pieces are written without a header, without asking again.
        if (!found)
            m_headerMissing.insert(m_entry);
    }
    const std::int64_t dataStart = gEmhHeaderWritten ? std::int64_t(gEmhDataStart) - 1 : 0;

    m_piece = -1;
    reopenPiece(dataStart);
    m_piecePos = dataStart;

    const BlockPlan blocks = PlanBlocks(length, m_opts.blockSize, m_opts.blockDigits);
    const std::int64_t blockSize = m_opts.blockSize;
    const auto copy = [&](std::int64_t bytes, std::int64_t* blocksDone) {
        CopyBlock(m_file, m_source, m_piece, m_buffer->data(), bytes, m_sources[m_entry].splitFile, blockSize,
                  blocksDone);
    };
    const auto failed = [&](const RuntimeError& e) {
        copyOneBlock(blockSize, &e);
        return true;
    };
    const auto blockDone = [&] {
        m_sourcePos += blockSize;
        m_piecePos += blockSize;
        m_frame.mBytesDone += blockSize;
        progress();
        return true;
    };
    CopyWholeBlocks(blocks.blocks, blockSize, copy, failed, blockDone);
    if (blocks.tail > 0) {
        copyOneBlock(blocks.tail, nullptr);
        m_sourcePos += blocks.tail;
        m_piecePos += blocks.tail;
        m_frame.mBytesDone += blocks.tail;
        progress();
    }

    // The piece holds exactly its bytes, whatever an older file of its name held.
    const std::int64_t end = m_piecePos;
    withRetry(name, false, [&](bool retrying) {
        if (retrying)
            reopenPiece(end);
        if (!m_file.SetEndOfFile(m_piece))
            raiseError(errnoToErrorNumber(m_file.lastErrno()));
    });
}

void UnpackRun::reopenPiece(std::int64_t at)
{
    if (m_piece != -1) {
        // The piece is opened again by its name to go on where it failed: a file that is no
        // longer this one (removed while the Retry box was up) would get the rest of the piece
        // after a hole of zeros.
        const bool there = win::IsOpenFileAtPath(m_piece, m_output);
        m_file.CloseFile(m_piece);
        m_piece = -1;
        if (!there)
            raiseError(kErrOutputRemoved);
    }
    m_piece = openFile(m_output, kReadWrite);
    if (m_piece == -1)
        raiseError(75); // after File64's own "Error opening"
    if (at > 0 && !m_file.SeekHandle(m_piece, at))
        raiseError(errnoToErrorNumber(win::GetLastError()));
}

std::int32_t UnpackRun::openFile(const QString& path, const QString& mode)
{
    m_file.OpenFile(path, mode);
    if (gFileOpenError == 0)
        return m_file.FileHandle();
    // Out of handles (the table's or the system's): the handler has its own message for that.
    if (gFileOpenError != 75 || errnoToErrorNumber(m_file.lastErrno()) == 67)
        raiseError(67);
    return -1;
}

// Copies `count` bytes, the source at m_sourcePos to the piece at m_piecePos, as one block (the
// positions are left for the caller to advance). A failure 75 asks Retry/Cancel, and Retry copies
// the same block again at the same offsets. With `failed`, the block's first copy has already
// failed with that error (a call of several blocks failed in this one).
void UnpackRun::copyOneBlock(std::int64_t count, const RuntimeError* failed)
{
    withRetry(
        m_output, false,
        [&](bool retrying) {
            if (retrying) {
                // The block again: the piece at the failed write's offset, the source block re-read.
                reopenPiece(m_piecePos);
                if (!m_file.SeekHandle(m_source, m_sourcePos))
                    raiseError(errnoToErrorNumber(win::GetLastError()));
            }
            CopyBlock(m_file, m_source, m_piece, m_buffer->data(), count, m_sources[m_entry].splitFile);
        },
        failed);
}

void UnpackRun::finish()
{
    // Every handle is closed by now; this also drops the entries failed opens left in the table.
    m_file.CloseAllFilesQuietly();
    m_frame.mProgressBar.DestroyProgBar();
    m_form.setPercentDoneCaption(QString());
    m_form.setTimeRemainingCaption(QString());
    m_frame.ResetAfterAction();
    QStringList kept;
    DeleteFilesAfterAction(m_form.deleteAfterAction(), m_listed, &kept);
    const int n = int(m_sources.size());
    MsgBoxResult(QString::number(n)
                     + (n == 1 ? QStringLiteral(" file successfully unpacked!")
                               : QStringLiteral(" files successfully unpacked!")),
                 kInformation);
    ReportFilesKept(kept);
    m_form.setMousePointer(MainWindowLink::kPointerDefault);
}

} // namespace

void RunUnpack(MainWindowLink& form, ActionFrame& frame)
{
    auto guard = frame.BeginArmedRun();
    if (!guard)
        return;
    UnpackRun run(form, frame);
    try {
        run.run();
    } catch (const RunEnded&) {
    } catch (const RuntimeError& e) {
        run.handle(e);
    } catch (const std::bad_alloc&) {
        run.handle(RuntimeError(7));
    }
}

} // namespace kivro
