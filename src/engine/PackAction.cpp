#include "engine/PackAction.h"

#include "engine/ActionFrame.h"
#include "engine/ActionOptions.h"
#include "engine/CGZipFiles.h"
#include "engine/CopyLoop.h"
#include "engine/DeleteAfterAction.h"
#include "engine/EngineGlobals.h"
#include "engine/File64.h"
#include "engine/FreeSpace.h"
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
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kivro {

namespace {

constexpr int kCriticalOK = vbCritical | vbOKOnly | vbTopMost;
constexpr int kExclamationOK = vbExclamation | vbOKOnly | vbTopMost;
constexpr int kInformationOK = vbInformation | vbOKOnly | vbTopMost;

// The width the zip label shortens the save-as path to.
constexpr std::int32_t kZipLabelWidthTwips = 4200;

QString quoted(const QString& path)
{
    return QLatin1Char('\'') + path + QLatin1Char('\'');
}

bool pathExists(const QString& path)
{
    struct stat st {};
    return paths::statPath(path, &st);
}

// Something other than a link stands at a name that starts with "." (a link there is deleted
// and replaced like any old output, so it is not a hidden file that stays).
bool isHiddenFile(const QString& path)
{
    struct stat st {};
    return paths::nameOf(path).startsWith(QLatin1Char('.')) && paths::lstatPath(path, &st) && !S_ISLNK(st.st_mode);
}

// Whether two paths name one file, as the system decides it: two existing files by their
// identity (links, "./" or "../" spellings, and a volume that ignores case all come out right),
// anything else by the exact text. Never without regard to case: "A.BIN" and "a.bin" are two
// files on a file system that tells them apart.
bool sameFile(const QString& a, const QString& b)
{
    struct stat sa {};
    struct stat sb {};
    const bool aExists = paths::statPath(a, &sa);
    const bool bExists = paths::statPath(b, &sb);
    if (aExists && bExists)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return !aExists && !bExists && a == b;
}

// The failing step a run-time error comes from; the handler's rows depend on it.
enum class Step {
    Check,      // the check loop (MPEG check of a source)
    OpenOutput, // the save-as folder test and the open of the output
    DeleteOld,  // deleting the old save-as file
    Source,     // opening a source
    Write,      // copying a block from a source to the output
    Close,      // closing the output (a delayed write may fail only there)
    Zip,        // the zip step (deleting an old archive, making the archive)
};

class PackRun {
public:
    PackRun(MainWindowLink& link, ActionFrame& frame) : m_link(link), m_frame(frame), m_file(link.file64()) {}
    void run();

private:
    void body();
    bool checkList();
    bool applyOverwriteRule();
    bool sourcesReadable();
    bool writeOutput();
    bool openOutputFile();
    bool copySources();
    bool zipStep();
    void finish();
    void abortTail();
    void outputRemoved();
    int box(const QString& text, int style);

    bool isSaveAsFile(const QString& entry) const;
    bool isListedSource(const QString& path) const;

    void testOutputFolder();
    void openOutput();
    void closeOutput();
    void openSource(int index);

    StepOutcome handle(const RuntimeError& e, Step step);
    auto handler(Step step)
    {
        return [this, step](const RuntimeError& e) { return handle(e, step); };
    }

    MainWindowLink& m_link;
    ActionFrame& m_frame;
    File64& m_file;

    // The snapshot of the run.
    ActionOptions m_options;
    QString m_saveAs;
    QStringList m_sources;
    // Each source's size as the check loop measured it: exactly these bytes are copied.
    std::vector<std::int64_t> m_sizes;
    // Mcheck_Lst: the MPEG signature of the first source checked in this run.
    QStringList m_mcheck;

    std::int64_t m_freeBytes = 0;
    std::int32_t m_out = -1;
    // The output as it was at its close: the zip step reads it after that, while events run.
    win::BY_HANDLE_FILE_INFORMATION m_closedOutput;
    std::int32_t m_in = -1;
    // The entry being processed (check loop or copy loop), named by the "was not found" message.
    QString m_entry;
    // The copy loop's position (0 before copying starts), named by the too-many-files message.
    int m_copyIndex = 0;
    // The archive of the zip step; while the step runs (mZipStepRunning) the handler speaks of it.
    QString m_zipName;
};

void PackRun::run()
{
    auto guard = m_frame.BeginArmedRun();
    if (!guard)
        return;
    try {
        body();
    } catch (const RuntimeError& e) {
        // A failure outside every step the handler covers (there should be none).
        m_frame.UnexpectedError(e.number(), e.description());
    } catch (const std::bad_alloc&) {
        m_frame.UnexpectedError(7, errorDescription(7));
    }
    // A run that ended inside its zip step leaves no zip display behind: the guard hides it.
}

void PackRun::body()
{
    // The snapshot: what this run packs, into what, and how.
    m_options = m_link.actionOptions();
    m_saveAs = m_link.saveAsNewFilename();
    m_sources = m_link.packList().fullPaths();
    const int count = int(m_sources.size());

    if (count == 0) {
        box(QStringLiteral("Nothing to pack."), kExclamationOK);
        m_frame.ResetAfterAction();
        return;
    }
    if (count == 1) {
        box(QStringLiteral("At least 2 files are required for packing."), kExclamationOK);
        m_frame.ResetAfterAction();
        return;
    }

    // Busy state.
    m_frame.mActionWord = QStringLiteral("pack");
    m_frame.DisableControlsWhileBusy();
    m_link.setCancelPictureShown(m_frame.mActionWord, true);
    m_frame.ShowProgressBar();
    m_link.setMousePointer(MainWindowLink::kPointerHourglass);
    // Totals and MPEG flags of this run.
    m_frame.mTotalBytes = 0;
    m_frame.mBytesDone = 0;
    gIgnoreMpegErrors = false;
    gMpegCompatible = true;
    gMpegValid = true;
    m_mcheck.clear();
    // Free space; from here on failures go to the handler.
    m_freeBytes = GetSaveDriveFreeSpace(m_saveAs);

    // Check loop.
    if (!checkList())
        return;
    // Free space test (equal is enough).
    if (m_freeBytes < m_frame.mTotalBytes) {
        box(QStringLiteral("Not enough free diskspace. Packing aborted!"), kCriticalOK);
        abortTail();
        return;
    }
    // A file larger than its file system can hold is refused before anything is written.
    if (const std::optional<std::int64_t> limit = win::MaxFileSizeOf(m_saveAs); limit && m_frame.mTotalBytes > *limit) {
        box(quoted(m_saveAs) + QStringLiteral(" cannot be written: its file system holds files of at most ")
                + FormatThousands(*limit) + QStringLiteral(" bytes. Packing aborted!"),
            kCriticalOK);
        abortTail();
        return;
    }
    // Overwrite rule.
    if (!applyOverwriteRule())
        return;
    // A pack that cannot read all its sources stops before the old save-as file is touched.
    if (!sourcesReadable())
        return;
    // The output, written until its close reports success.
    if (!writeOutput())
        return;
    m_frame.mProgressBar.DestroyProgBar();
    m_link.setPercentDoneCaption(QString());
    m_link.setTimeRemainingCaption(QString());
    // Finish.
    if (m_options.zip) {
        if (!zipStep())
            return;
        // The output may have gone while it was zipped (its folder removed): then the sources
        // stay, and no success is claimed for a file that is not there.
        if (!win::IsFileAtPath(m_closedOutput, m_saveAs)) {
            outputRemoved();
            return;
        }
    }
    finish();
}

bool PackRun::checkList()
{
    const int count = int(m_sources.size());
    m_sizes.assign(std::size_t(count), 0);
    for (int i = 0; i < count; ++i) {
        m_entry = m_sources.at(i);
        const std::int64_t size = GetFileLen(m_entry);
        // A missing file measures 0 bytes too. The size test comes first.
        if (size == 0) {
            box(QStringLiteral("Cannot pack ") + quoted(m_entry)
                    + QStringLiteral(" which is a 0 byte file. Packing aborted!"),
                kCriticalOK);
            abortTail();
            return false;
        }
        if (isSaveAsFile(m_entry)) {
            box(QStringLiteral("Cannot pack Save As file!"), kExclamationOK);
            abortTail();
            return false;
        }
        m_sizes[std::size_t(i)] = size;
        m_frame.mTotalBytes += size;

        if (m_options.mpegCheck && !gIgnoreMpegErrors) {
            if (!RunStep([&] { CheckMpegFile(m_link, m_entry, m_mcheck); }, handler(Step::Check)))
                return false;
            if (m_frame.cancelled())
                return false;
        }
        if ((gMpegCompatible && gMpegValid) || gIgnoreMpegErrors)
            continue;
        // Not a valid MPEG file, and the user answered No.
        if (gMpegCompatible) {
            abortTail();
            return false;
        }
        const int answer = box(QStringLiteral("Not compatible for Kivroing. Proceed packing and ignore "
                                              "Mpeg Compatibility error?"),
                               vbCritical | vbYesNo | vbTopMost);
        if (m_frame.cancelled())
            return false;
        if (answer == vbNo) {
            abortTail();
            return false;
        }
        // No further file is checked in this run.
        gIgnoreMpegErrors = true;
    }
    return true;
}

bool PackRun::applyOverwriteRule()
{
    if (!gSaveAsFileSaved)
        return true;
    switch (m_options.overwrite) {
    case OverwriteRule::Prompt: {
        const int answer = box(QStringLiteral("You are trying to overwrite a file that was previously "
                                              "saved. Do you want to continue?"),
                               vbExclamation | vbYesNo | vbTopMost);
        if (m_frame.cancelled())
            return false;
        if (answer == vbNo) {
            abortTail();
            return false;
        }
        return true;
    }
    case OverwriteRule::No:
        box(QStringLiteral("You cannot overwrite a file that was previously saved."), kExclamationOK);
        abortTail();
        return false;
    case OverwriteRule::NoPrompt:
        break;
    }
    return true;
}

bool PackRun::sourcesReadable()
{
    // One at a time, so that hundreds of sources never hold hundreds of handles.
    for (int j = 0; j < int(m_sources.size()); ++j) {
        m_copyIndex = j;
        m_entry = m_sources.at(j);
        if (!RunStep([&] { openSource(j); }, handler(Step::Source)))
            return false;
        m_file.CloseFile(m_in);
        m_in = -1;
    }
    m_copyIndex = 0;
    return true;
}

bool PackRun::writeOutput()
{
    for (;;) {
        if (!openOutputFile() || !copySources())
            return false;
        // A failed close leaves an output that does not hold what was written: Retry writes it
        // again from its start, never just the close again.
        bool rewrite = false;
        const bool closed = RunStep([&] { closeOutput(); },
                                    [&](const RuntimeError& e) {
                                        rewrite = handle(e, Step::Close) == StepOutcome::Retry;
                                        return StepOutcome::End;
                                    });
        if (closed)
            return true;
        if (!rewrite)
            return false;
        m_frame.mBytesDone = 0;
    }
}

bool PackRun::openOutputFile()
{
    m_link.setMousePointer(MainWindowLink::kPointerHourglass);
    m_frame.StartClock();
    m_link.setTimeRemainingVisible(true);
    // The folder first: missing folders are made before the open, so that the open's own
    // failures all mean "cannot overwrite".
    if (!RunStep([&] { testOutputFolder(); }, handler(Step::OpenOutput)))
        return false;
    // An old normal file or a link of that name goes first (a hidden regular file is not; the
    // open below empties it instead). A Retry after a failed open looks at the name again: a link
    // put there after the deletion makes the open fail, and the next try deletes it too.
    for (;;) {
        if (IsOldOutput(m_saveAs) && !RunStep([&] { DeleteOldOutput(m_saveAs); }, handler(Step::DeleteOld)))
            return false;
        bool again = false;
        const bool opened = RunStep([&] { openOutput(); },
                                    [&](const RuntimeError& e) {
                                        again = handle(e, Step::OpenOutput) == StepOutcome::Retry;
                                        return StepOutcome::End;
                                    });
        if (opened)
            break;
        if (!again)
            return false;
    }
    m_link.setPercentDoneCaption(QStringLiteral("0%"));
    m_link.setPercentDoneVisible(true);
    return true;
}

bool PackRun::copySources()
{
    const int count = int(m_sources.size());
    const std::int32_t blockSize = std::max<std::int32_t>(m_options.blockSize, 1);

    // One buffer for the whole run.
    CopyBuffer buffer;
    char* const data = buffer.data();

    for (int j = 0; j < count; ++j) {
        m_copyIndex = j;
        m_entry = m_sources.at(j);
        if (!RunStep([&] { openSource(j); }, handler(Step::Source)))
            return false;
        const BlockPlan pieces = PlanBlocks(m_sizes[std::size_t(j)], blockSize, m_options.blockDigits);
        const auto copy = [&](std::int64_t bytes, std::int64_t* blocksDone) {
            CopyBlock(m_file, m_in, m_out, data, bytes, m_entry, blockSize, blocksDone);
        };
        // The block a copy failed in: the handler's Retry copies that block again.
        const auto failed = [&](const RuntimeError& e) {
            return handle(e, Step::Write) == StepOutcome::Retry
                   && RunStep([&] { copy(blockSize, nullptr); }, handler(Step::Write));
        };
        const auto blockDone = [&] {
            m_frame.mBytesDone += blockSize;
            return m_frame.ProgressFeedback();
        };
        if (!CopyWholeBlocks(pieces.blocks, blockSize, copy, failed, blockDone))
            return false;
        if (pieces.tail > 0) {
            if (!RunStep([&] { CopyBlock(m_file, m_in, m_out, data, pieces.tail, m_entry); }, handler(Step::Write)))
                return false;
            // The update for the tail comes before the tail is counted.
            if (!m_frame.ProgressFeedback())
                return false;
            m_frame.mBytesDone += pieces.tail;
        }
        m_file.CloseFile(m_in);
        m_in = -1;
    }
    return true;
}

// The zip step. False when the run has ended inside it (error handler); the "already a zip file"
// and "file in the Pack List" refusals end only the zip step.
bool PackRun::zipStep()
{
    const QString& s = m_saveAs;
    if (IsZip(s)) {
        box(QStringLiteral("Cannot zip ") + quoted(s)
                + QStringLiteral(" because it is already a zip file. Zipping aborted."),
            kCriticalOK);
        return !m_frame.cancelled();
    }
    m_zipName = ZipArchiveName(s);
    // The old archive is deleted before zipping: never when it is one of the sources.
    if (isListedSource(m_zipName)) {
        box(QStringLiteral("Cannot zip ") + quoted(m_zipName)
                + QStringLiteral(" because it is a file in the Pack List. Zipping aborted."),
            kCriticalOK);
        return !m_frame.cancelled();
    }

    // The hourglass makes the Cancel picture refuse to act while the archive is made.
    m_link.setMousePointer(MainWindowLink::kPointerHourglass);
    QString shortened;
    FormatDir(s, shortened, kZipLabelWidthTwips);
    m_frame.ShowZipDisplay(QStringLiteral("Zipping ") + quoted(shortened));

    if (!RunStep([&] { DeleteOldOutput(m_zipName); }, handler(Step::Zip)))
        return false;

    CGZipFiles job;
    job.setZipFileName(m_zipName);
    job.setUpdatingZip(false);
    job.AddFile(s);
    std::int32_t result = 0;
    if (!RunStep([&] { result = job.MakeZipFile(); }, handler(Step::Zip)))
        return false;
    // The zip library lets window events run while it works.
    if (m_frame.cancelled())
        return false;
    if (result != 0)
        box(job.GetLastMessage() + QStringLiteral("\n\n") + QStringLiteral("Zipping aborted."), kCriticalOK);
    else
        box(quoted(s) + QStringLiteral(" successfully zipped as ") + quoted(m_zipName) + QLatin1Char('.'),
            kInformationOK);
    if (m_frame.cancelled())
        return false;

    m_frame.HideZipDisplay();
    return true;
}

void PackRun::finish()
{
    // Every handle is closed by now; this drops the entry a failed open of the output (answered
    // with Retry) left in the table.
    m_file.CloseAllFilesQuietly();
    m_frame.ResetAfterAction();
    // The choice in force now (the user may have changed it during a long copy), applied to the
    // files of this run only.
    QStringList kept;
    DeleteFilesAfterAction(m_link.deleteAfterAction(), m_sources, &kept);
    gSaveAsFileSaved = true;
    box(quoted(m_saveAs) + QStringLiteral(" successfully packed! Total filesize is ")
            + FormatThousands(m_frame.mTotalBytes) + QStringLiteral(" bytes."),
        kInformationOK);
    ReportFilesKept(kept);
    m_link.setMousePointer(MainWindowLink::kPointerDefault);
}

void PackRun::outputRemoved()
{
    box(quoted(m_saveAs) + QStringLiteral(" was removed while it was being written. Packing aborted!"), kCriticalOK);
    m_frame.ErrorResumeProgram();
}

void PackRun::abortTail()
{
    m_frame.mProgressBar.DestroyProgBar();
    m_link.setPercentDoneCaption(QString());
    m_link.setTimeRemainingCaption(QString());
    m_frame.ResetAfterAction();
    m_link.setMousePointer(MainWindowLink::kPointerDefault);
}

int PackRun::box(const QString& text, int style)
{
    return MsgBoxResult(text, style);
}

bool PackRun::isSaveAsFile(const QString& entry) const
{
    return sameFile(m_saveAs, entry);
}

bool PackRun::isListedSource(const QString& path) const
{
    for (const QString& source : m_sources)
        if (sameFile(path, source))
            return true;
    return false;
}

void PackRun::testOutputFolder()
{
    const QString folder = paths::folderOf(m_saveAs);
    struct stat st {};
    if (!folder.isEmpty() && !(paths::statPath(folder, &st) && S_ISDIR(st.st_mode)))
        raiseError(76);
    if (paths::nameTooLong(m_saveAs))
        raiseError(64);
}

void PackRun::openOutput()
{
    if (m_out != -1) {
        m_file.CloseFile(m_out);
        m_out = -1;
    }
    m_file.OpenFile(m_saveAs, QStringLiteral("READ_WRITE"));
    if (gFileOpenError != 0)
        raiseError(gFileOpenError);
    m_out = m_file.FileHandle();
    // Exactly the joined bytes: nothing of an old file that was not deleted first (a hidden one)
    // may stay behind the new end. A new, empty file is left alone: on some file systems (ext4)
    // a truncation makes the close write the whole output out to disk and wait for it.
    win::BY_HANDLE_FILE_INFORMATION info;
    if (!win::GetFileInformationByHandle(m_out, &info))
        raiseError(errnoToErrorNumber(win::GetLastError()));
    if ((info.nFileSizeHigh != 0 || info.nFileSizeLow != 0) && ::ftruncate(win::HandleFd(m_out), 0) != 0)
        raiseError(errnoToErrorNumber(errno));
}

void PackRun::closeOutput()
{
    const std::int32_t out = m_out;
    m_out = -1;
    m_closedOutput = {};
    win::GetFileInformationByHandle(out, &m_closedOutput);
    // The sources may go to the Trash at the end: the joined bytes must be on the disk first.
    CloseOutputFile(m_file, out, m_link.deleteAfterAction() != DeleteAfterAction::No, m_saveAs);
}

void PackRun::openSource(int index)
{
    const QString& path = m_sources.at(index);
    // Gone since the check loop.
    if (!pathExists(path))
        raiseError(53);
    m_file.OpenFile(path, QStringLiteral("READ_ONLY"));
    // File64 has said "Error opening"; the run ends without a word of its own.
    if (!m_file.IsOpen() || gFileOpenError != 0)
        raiseError(13);
    m_in = m_file.FileHandle();
}

StepOutcome PackRun::handle(const RuntimeError& e, Step step)
{
    // A cancel has closed every file, reset the window and said so: nothing more.
    if (m_frame.cancelled())
        return StepOutcome::End;

    const int number = e.number();
    const bool outputStep = step == Step::OpenOutput || step == Step::DeleteOld || step == Step::Write
                            || step == Step::Close;
    switch (number) {
    case 13:
    case 52:
        // A file that could not be opened (File64 has shown its message) or a handle that is
        // gone: the run ends here, and the window does not stay busy.
        m_frame.ErrorResumeProgram();
        return StepOutcome::End;
    case 53:
        box(quoted(m_frame.mZipStepRunning ? m_zipName : m_entry) + QStringLiteral(" was not found! Packing aborted!"),
            kCriticalOK);
        m_frame.ErrorResumeProgram();
        return StepOutcome::End;
    case 55:
        box(QStringLiteral("The requested file was not closed properly! Try again later!"), kCriticalOK);
        m_frame.ErrorResumeProgram();
        return StepOutcome::End;
    case kErrOutputRemoved:
        // Nothing to retry: the bytes written are not at that name any more.
        outputRemoved();
        return StepOutcome::End;
    case 67:
        box(QStringLiteral("Kivro cannot pack ") + quoted(m_sources.value(m_copyIndex))
                + QStringLiteral(" due to excess number of file handling. Possible solution is to move "
                                 "the file elsewhere other than the root directory."),
            kCriticalOK);
        m_frame.ErrorResumeProgram();
        return StepOutcome::End;
    case 75: {
        if (!m_frame.mZipStepRunning && !outputStep)
            break;
        const QString target = m_frame.mZipStepRunning ? m_zipName : m_saveAs;
        const int answer = box(QStringLiteral("Cannot overwrite ") + quoted(target)
                                   + QStringLiteral(". Disk full/write-protected or file is in use."),
                               vbCritical | vbRetryCancel | vbTopMost);
        if (m_frame.cancelled())
            return StepOutcome::End;
        if (answer == vbRetry) {
            if (step == Step::OpenOutput && isHiddenFile(m_saveAs)) {
                box(quoted(m_saveAs) + QStringLiteral(" is a hidden file. Packing aborted."), kCriticalOK);
                m_frame.ErrorResumeProgram();
                return StepOutcome::End;
            }
            return StepOutcome::Retry;
        }
        box(m_frame.mZipStepRunning ? QStringLiteral("Packing aborted by user")
                                    : QStringLiteral("Packing aborted by user."),
            kInformationOK);
        m_frame.ErrorResumeProgram();
        return StepOutcome::End;
    }
    case 64:
        // A name the file system cannot hold: no Retry can change that.
        box(quoted(m_frame.mZipStepRunning ? m_zipName : m_saveAs)
                + QStringLiteral(" cannot be written: the name is too long. Packing aborted!"),
            kCriticalOK);
        m_frame.ErrorResumeProgram();
        return StepOutcome::End;
    case 76: {
        if (step != Step::OpenOutput && step != Step::DeleteOld)
            break;
        // Every missing folder of the save-as path is made, and the step tried again; a folder
        // that cannot be made (a file in its place, no permission) ends the run saying so.
        const QString folder = paths::folderOf(m_saveAs);
        if (!folder.isEmpty() && QDir().mkpath(folder))
            return StepOutcome::Retry;
        box(quoted(folder) + QStringLiteral(" was not found! Packing aborted!"), kCriticalOK);
        m_frame.ErrorResumeProgram();
        return StepOutcome::End;
    }
    default:
        break;
    }
    m_frame.UnexpectedError(number, e.description());
    return StepOutcome::End;
}

} // namespace

void RunPackAction(MainWindowLink& link, ActionFrame& frame)
{
    PackRun(link, frame).run();
}

} // namespace kivro
