// The pack action headless, through a link that lets the test act in the middle of a run: the
// blocks and tail of a source, the zip name, the "#,###" total, and the faults a run must survive
// (sources that vanish, shrink or cannot be opened during the copy, failed writes, a save-as file
// that is a source under another spelling, a missing save-as folder, a hidden old output, options
// and the pack list changed during the copy).
#include "KivroTest.h"

#include "engine/ActionFrame.h"
#include "engine/CopyLoop.h"
#include "engine/EngineGlobals.h"
#include "engine/File64.h"
#include "HeadlessLink.h"
#include "engine/MainWindowLink.h"
#include "platform/NumberFormat.h"
#include "engine/PackAction.h"
#include "engine/PackListModel.h"
#include "engine/Zip.h"
#include "platform/DiskApi.h"
#include "platform/FileApi.h"
#include "platform/MsgBox.h"
#include "platform/RuntimeError.h"
#include "platform/Paths.h"
#include "platform/Trash.h"

#include <QProcess>

#include <cerrno>
#include <functional>
#include <unistd.h>

using namespace kivro;

namespace {

class Link : public kivrotest::HeadlessLink {
public:
    PackListModel list;
    File64 file;
    ActionOptions options;
    DeleteAfterAction deleteChoice = DeleteAfterAction::No;
    QString saveAs;
    int pointer = kPointerDefault;
    bool zipLabelShown = false;
    QStringList percentCaptions;
    // Called with every percentage caption ("0%" when the output has just been opened, then one
    // per copied block).
    std::function<void(const QString&)> onPercent;

    // The usual fixture: sources a and b into `out`, MPEG check off, blocks of `blockSize` with a
    // tail of `digits` digits.
    void twoSources(const QString& a, const QString& b, const QString& out, std::int32_t blockSize, std::int32_t digits)
    {
        options.blockSize = blockSize;
        options.blockDigits = digits;
        options.mpegCheck = false;
        saveAs = out;
        add(a);
        add(b);
    }

    PackListModel& packList() override { return list; }
    File64& file64() override { return file; }
    int mousePointer() const override { return pointer; }
    void setMousePointer(int p) override { pointer = p; }
    void setPercentDoneCaption(const QString& caption) override
    {
        if (caption.isEmpty())
            return;
        percentCaptions << caption;
        if (onPercent)
            onPercent(caption);
    }
    void setZipProcessVisible(bool visible) override { zipLabelShown = visible; }
    ActionOptions actionOptions() const override { return options; }
    DeleteAfterAction deleteAfterAction() const override { return deleteChoice; }
    QString saveAsNewFilename() const override { return saveAs; }

    void add(const QString& path) { list.append(paths::folderOf(path) + QLatin1Char('/'), paths::nameOf(path)); }
};

QString box(const QString& icon, const QString& buttons, const QString& text, const QString& answer)
{
    return QStringList{QStringLiteral("box"), icon, buttons, kAppTitle, Prompts::escape(text), answer}.join(
        QLatin1Char('|'));
}
QString critical(const QString& text)
{
    return box(QStringLiteral("Critical"), QStringLiteral("OK"), text, QStringLiteral("OK"));
}
QString exclamation(const QString& text)
{
    return box(QStringLiteral("Exclamation"), QStringLiteral("OK"), text, QStringLiteral("OK"));
}
QString information(const QString& text)
{
    return box(QStringLiteral("Information"), QStringLiteral("OK"), text, QStringLiteral("OK"));
}
QString success(const QString& out, const QString& total)
{
    return information("'" + out + "' successfully packed! Total filesize is " + total + " bytes.");
}
QString unexpected(int number, const QString& description)
{
    return critical(unexpectedErrorText(number, description));
}

} // namespace

class TestPack : public QObject {
    Q_OBJECT

    QString dir;
    QString p(const QString& name) const { return dir + QLatin1Char('/') + name; }

    // One press of Pack; returns the boxes it showed.
    QStringList pack(Link& link, ActionFrame& frame, const QStringList& answers = {})
    {
        Prompts::enableScripted();
        Prompts::queue(answers);
        gActionArmed = true;
        RunPackAction(link, frame);
        return Prompts::records();
    }
    // The run has left the window idle with every file closed.
    void checkIdle(Link& link, ActionFrame& frame)
    {
        QVERIFY(!frame.busy());
        QVERIFY(!frame.running());
        QCOMPARE(gOpenFileCount, 0);
        QCOMPARE(link.pointer, int(MainWindowLink::kPointerDefault));
        QVERIFY(!link.zipLabelShown);
        QVERIFY(!frame.mZipStepRunning);
    }
    QStringList trashed() const
    {
        return QDir(win::HomeTrashDir() + QStringLiteral("/files")).entryList(QDir::Files | QDir::Hidden);
    }

private slots:
    void initTestCase() { dir = kivrotest::rootDir() + QStringLiteral("/pack"); }
    void init()
    {
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        QDir(win::HomeTrashDir()).removeRecursively();
        gSaveAsFileSaved = false;
        gActionArmed = false;
        win::InjectWriteLimit(-1);
        win::InjectCloseFailure(0);
        win::InjectDiskFreeSpace(-1);
        win::InjectBeforeWriteOpen(QString(), {});
        QLocale::setDefault(QLocale::c());
        kivrotest::forceCopyWay(kivrotest::CopyWay::Range);
    }

    void thousands()
    {
        QCOMPARE(FormatThousands(0), QString());
        QCOMPARE(FormatThousands(5), QStringLiteral("5"));
        QCOMPARE(FormatThousands(1440), QStringLiteral("1,440"));
        QCOMPARE(FormatThousands(6442450944), QStringLiteral("6,442,450,944"));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(FormatThousands(1234567), QStringLiteral("1.234.567"));
    }

    // Blocks, tails and the order of the sources at every rate; one progress update per block
    // and one for each tail, made before the tail is counted.
    void copiesEveryByteAtEveryRate_data()
    {
        QTest::addColumn<bool>("kernelCopy");
        QTest::addColumn<int>("blockSize");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("captions");
        // Sources of 12,345 and 20,000 bytes.
        const QString slow = QStringLiteral("0% 31% 31% 69% 100%"); // 1 block + tail, 2 blocks
        const QString tails = QStringLiteral("0% 0% 38%");          // two tails
        QTest::newRow("slow") << true << 10000 << 4 << slow;
        QTest::newRow("slow, through the buffer") << false << 10000 << 4 << slow;
        QTest::newRow("normal") << true << 100000 << 5 << tails;
        QTest::newRow("normal, through the buffer") << false << 100000 << 5 << tails;
        QTest::newRow("ufast") << true << 5000000 << 7 << tails;
        QTest::newRow("ufast, through the buffer") << false << 5000000 << 7 << tails;
    }
    void copiesEveryByteAtEveryRate()
    {
        QFETCH(bool, kernelCopy);
        kivrotest::forceCopyWay(kernelCopy ? kivrotest::CopyWay::Range : kivrotest::CopyWay::Buffer);
        QFETCH(int, blockSize);
        QFETCH(int, digits);
        QFETCH(QString, captions);
        QByteArray a(12345, '\0');
        QByteArray b(20000, '\0');
        for (int i = 0; i < a.size(); ++i)
            a[i] = char(i * 7);
        for (int i = 0; i < b.size(); ++i)
            b[i] = char(i * 13 + 1);
        kivrotest::writeFile(p("a.mpg"), a);
        kivrotest::writeFile(p("b.mpg"), b);
        Link link;
        ActionFrame frame(link);
        link.options.blockSize = blockSize;
        link.options.blockDigits = digits;
        link.options.mpegCheck = false;
        link.saveAs = p("out.mpg");
        link.add(p("a.mpg"));
        link.add(p("b.mpg"));
        const QStringList boxes = pack(link, frame);
        QCOMPARE(boxes, QStringList{success(p("out.mpg"), "32,345")});
        QCOMPARE(kivrotest::readFile(p("out.mpg")), a + b);
        QCOMPARE(link.percentCaptions.join(QLatin1Char(' ')), captions);
        QVERIFY(gSaveAsFileSaved);
        checkIdle(link, frame);
    }

    // A source that vanishes, shrinks or cannot be opened after the check loop ends the run with
    // a message that names it; nothing reports success and nothing goes to the Trash.
    void sourceChangedDuringTheRun_data()
    {
        QTest::addColumn<bool>("kernelCopy");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("expected");
        QTest::newRow("second source deleted") << true << "delete b"
                                               << "53";
        QTest::newRow("second source deleted, through the buffer") << false << "delete b"
                                                                   << "53";
        QTest::newRow("second source truncated") << true << "shrink b"
                                                 << "62";
        QTest::newRow("second source truncated, through the buffer") << false << "shrink b"
                                                                     << "62";
        QTest::newRow("first source shrinks mid-copy") << true << "shrink a later"
                                                       << "62a";
        QTest::newRow("first source shrinks mid-copy, through the buffer") << false << "shrink a later"
                                                                           << "62a";
        QTest::newRow("second source locked") << true << "lock b"
                                              << "open";
        QTest::newRow("second source locked, through the buffer") << false << "lock b"
                                                                  << "open";
    }
    void sourceChangedDuringTheRun()
    {
        QFETCH(bool, kernelCopy);
        kivrotest::forceCopyWay(kernelCopy ? kivrotest::CopyWay::Range : kivrotest::CopyWay::Buffer);
        QFETCH(QString, change);
        QFETCH(QString, expected);
        // A source that shrinks mid-copy is longer than one copy call (several blocks go together
        // in one), so that the update after the first call comes before the rest is read.
        const bool shrinkLater = change == QLatin1String("shrink a later");
        const qint64 aSize = shrinkLater ? 3 * BlocksPerCopy(10000) * 10000 : 30000;
        kivrotest::writeFile(p("a"), QByteArray(aSize, 'a'));
        kivrotest::writeFile(p("b"), QByteArray(20000, 'b'));
        Link link;
        ActionFrame frame(link);
        link.deleteChoice = DeleteAfterAction::NoPrompt;
        link.twoSources(p("a"), p("b"), p("out"), 10000, 4);
        win::HANDLE lock = -1;
        link.onPercent = [&](const QString& caption) {
            if (caption == QLatin1String("0%")) {
                if (change == QLatin1String("delete b"))
                    QFile::remove(p("b"));
                else if (change == QLatin1String("shrink b"))
                    QVERIFY(::truncate(QFile::encodeName(p("b")).constData(), 5) == 0);
                else if (change == QLatin1String("lock b"))
                    lock = win::CreateFileA(p("b"), win::GENERIC_READ | win::GENERIC_WRITE, 0, win::OPEN_EXISTING);
            } else if (caption != QLatin1String("100%") && shrinkLater) {
                QVERIFY(::truncate(QFile::encodeName(p("a")).constData(), aSize / 2 + 5000) == 0);
            }
        };
        const QStringList boxes = pack(link, frame);
        if (lock != -1)
            win::CloseHandle(lock);
        if (expected == QLatin1String("53"))
            QCOMPARE(boxes, QStringList{critical("'" + p("b") + "' was not found! Packing aborted!")});
        else if (expected.startsWith(QLatin1String("62")))
            QCOMPARE(boxes, QStringList{unexpected(62, QStringLiteral("Input past end of file"))});
        else
            QCOMPARE(boxes, QStringList{critical("Error opening '" + p("b") + "'!")});
        QVERIFY(!gSaveAsFileSaved);
        QVERIFY(trashed().isEmpty());
        checkIdle(link, frame);
        // Nothing of a missing or short read was made up: the output holds only real bytes.
        const QByteArray out = kivrotest::readFile(p("out"));
        QVERIFY(!out.contains('\0'));
    }

    // A write that does not get through asks Retry/Cancel; each Retry writes the same block again
    // at the same offset; Cancel ends the run without success or Trash.
    void failedWriteAsksRetryOrCancel_data()
    {
        QTest::addColumn<int>("way");
        using kivrotest::CopyWay;
        for (const CopyWay way : {CopyWay::Range, CopyWay::Send, CopyWay::Buffer})
            QTest::newRow(kivrotest::copyWayName(way)) << int(way);
    }
    void failedWriteAsksRetryOrCancel()
    {
        QFETCH(int, way);
        kivrotest::forceCopyWay(kivrotest::CopyWay(way));
        kivrotest::writeFile(p("a"), QByteArray(25000, 'a'));
        kivrotest::writeFile(p("b"), QByteArray(5000, 'b'));
        Link link;
        ActionFrame frame(link);
        link.deleteChoice = DeleteAfterAction::NoPrompt;
        link.twoSources(p("a"), p("b"), p("out"), 10000, 4);
        win::InjectWriteLimit(14000); // the second block fails after 4,000 bytes
        const QString ask = box(QStringLiteral("Critical"), QStringLiteral("RetryCancel"),
                                "Cannot overwrite '" + p("out") + "'. Disk full/write-protected or file is in use.",
                                QStringLiteral("%1"));
        const QStringList boxes = pack(link, frame, {QStringLiteral("Retry"), QStringLiteral("Cancel")});
        win::InjectWriteLimit(-1);
        QCOMPARE(boxes, (QStringList{ask.arg("Retry"), ask.arg("Cancel"), information("Packing aborted by user.")}));
        // The first block got through; nothing was counted after the failure.
        QCOMPARE(link.percentCaptions, (QStringList{QStringLiteral("0%"), QStringLiteral("33%")}));
        QCOMPARE(QFileInfo(p("out")).size(), 14000);
        QVERIFY(QFile::exists(p("a")) && QFile::exists(p("b")));
        QVERIFY(trashed().isEmpty());
        QVERIFY(!gSaveAsFileSaved);
        checkIdle(link, frame);
    }

    // A close that reports a failure (a delayed write that a network or FUSE file system reports
    // only there) is a failed write: Retry writes the output again from its start, Cancel ends
    // the run without success and leaves the sources where they are.
    void failedCloseOfTheOutput_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("Retry") << QStringLiteral("Retry");
        QTest::newRow("Cancel") << QStringLiteral("Cancel");
    }
    void failedCloseOfTheOutput()
    {
        QFETCH(QString, answer);
        const QByteArray a(25000, 'a');
        const QByteArray b(5000, 'b');
        kivrotest::writeFile(p("a"), a);
        kivrotest::writeFile(p("b"), b);
        Link link;
        ActionFrame frame(link);
        link.deleteChoice = DeleteAfterAction::NoPrompt;
        link.twoSources(p("a"), p("b"), p("out"), 10000, 4);
        win::InjectCloseFailure(1);
        const QString ask = box(QStringLiteral("Critical"), QStringLiteral("RetryCancel"),
                                "Cannot overwrite '" + p("out") + "'. Disk full/write-protected or file is in use.",
                                answer);
        const QStringList boxes = pack(link, frame, {answer});
        if (answer == QLatin1String("Retry")) {
            QCOMPARE(boxes, (QStringList{ask, success(p("out"), "30,000")}));
            QCOMPARE(kivrotest::readFile(p("out")), a + b);
            QCOMPARE(trashed(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
            QVERIFY(gSaveAsFileSaved);
        } else {
            QCOMPARE(boxes, (QStringList{ask, information("Packing aborted by user.")}));
            QVERIFY(QFile::exists(p("a")) && QFile::exists(p("b")));
            QVERIFY(trashed().isEmpty());
            QVERIFY(!gSaveAsFileSaved);
        }
        checkIdle(link, frame);
    }

    // An output that is no longer the file at its name when it is closed (it or its folder was
    // removed, renamed or replaced while it was written, also while a Retry box was up or while it
    // was zipped) ends the run saying so: no success, no source to the Trash, the window idle.
    void outputRemovedWhileWritten_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("folder removed") << "folder";
        QTest::newRow("file removed") << "file";
        QTest::newRow("file renamed") << "rename";
        QTest::newRow("another file put in its place") << "replace";
        QTest::newRow("folder removed while the Retry box is up") << "retry";
        QTest::newRow("folder removed while it is zipped") << "zip";
    }
    void outputRemovedWhileWritten()
    {
        QFETCH(QString, how);
        kivrotest::writeFile(p("a"), QByteArray(25000, 'a'));
        kivrotest::writeFile(p("b"), QByteArray(5000, 'b'));
        QDir().mkpath(p("sub"));
        const QString out = p("sub/out");
        Link link;
        ActionFrame frame(link);
        link.deleteChoice = DeleteAfterAction::NoPrompt;
        link.twoSources(p("a"), p("b"), out, 10000, 4);
        const auto removeIt = [&] {
            if (how == QLatin1String("file"))
                QVERIFY(QFile::remove(out));
            else if (how == QLatin1String("rename"))
                QVERIFY(QFile::rename(out, p("sub/moved")));
            else if (how == QLatin1String("replace")) {
                kivrotest::writeFile(p("sub/other"), "another file");
                QVERIFY(::rename(QFile::encodeName(p("sub/other")).constData(), QFile::encodeName(out).constData())
                        == 0);
            } else
                QVERIFY(QDir(p("sub")).removeRecursively());
        };
        QStringList expected;
        static const Zip::ZipLibrary removingZip{
            [](const zipapi::ZpCallbacks*) { return std::int32_t(1); },
            [](const zipapi::ZpOptions*) { return std::int32_t(1); },
            [](std::int32_t, const char* archive, const zipapi::ZpNameList*) {
                // The folder goes while the archive is written; the archive cannot be completed.
                QDir(paths::folderOf(QFile::decodeName(archive))).removeRecursively();
                gZipMessage = QStringLiteral("zip error: cannot write");
                return std::int32_t(zipapi::kZpErrWrite);
            }};
        if (how == QLatin1String("zip")) {
            link.options.zip = true;
            Zip::SetZipLibrary(&removingZip);
            expected << critical("zip error: cannot write\n\nZipping aborted.");
        } else if (how == QLatin1String("retry")) {
            // The second block fails; the folder goes while the question is asked.
            win::InjectWriteLimit(14000);
            Prompts::setRecordObserver([&](const QString& line) {
                if (line.contains(QLatin1String("Cannot overwrite"))) {
                    removeIt();
                    win::InjectWriteLimit(-1);
                }
            });
            expected << box(QStringLiteral("Critical"), QStringLiteral("RetryCancel"),
                            "Cannot overwrite '" + out + "'. Disk full/write-protected or file is in use.",
                            QStringLiteral("Retry"));
        } else {
            // In the middle of the copy: after the first block.
            link.onPercent = [&](const QString& caption) {
                if (caption == QLatin1String("33%"))
                    removeIt();
            };
        }
        expected << critical("'" + out + "' was removed while it was being written. Packing aborted!");
        const QStringList boxes = pack(
            link, frame, how == QLatin1String("retry") ? QStringList{QStringLiteral("Retry")} : QStringList{});
        Prompts::setRecordObserver({});
        win::InjectWriteLimit(-1);
        Zip::SetZipLibrary(nullptr);
        QCOMPARE(boxes, expected);
        QVERIFY(QFile::exists(p("a")) && QFile::exists(p("b")));
        QVERIFY(trashed().isEmpty());
        QVERIFY(!gSaveAsFileSaved);
        checkIdle(link, frame);
    }

    // The save-as file is refused under any spelling of a listed file; an existing save-as file is
    // left exactly as it was.
    void saveAsFileIsASource_data()
    {
        QTest::addColumn<QString>("spelling");
        QTest::newRow("symbolic link") << "symlink";
        QTest::newRow("hidden symbolic link") << "hidden symlink";
        QTest::newRow("hard link") << "hardlink";
        QTest::newRow("dot segment") << "dot";
    }
    void saveAsFileIsASource()
    {
        QFETCH(QString, spelling);
        kivrotest::writeFile(p("a.mpg"), "AB");
        kivrotest::writeFile(p("b.mpg"), "CDE");
        QString saveAs;
        if (spelling.endsWith(QLatin1String("symlink"))) {
            saveAs = p(spelling == QLatin1String("symlink") ? "link.mpg" : ".link.mpg");
            QVERIFY(QFile::link(p("b.mpg"), saveAs));
        } else if (spelling == QLatin1String("hardlink")) {
            saveAs = p("hard.mpg");
            QVERIFY(::link(QFile::encodeName(p("b.mpg")).constData(), QFile::encodeName(saveAs).constData()) == 0);
        } else {
            saveAs = dir + QStringLiteral("/./b.mpg");
        }
        Link link;
        ActionFrame frame(link);
        link.options.mpegCheck = false;
        link.saveAs = saveAs;
        link.add(p("a.mpg"));
        link.add(p("b.mpg"));
        QCOMPARE(pack(link, frame), QStringList{exclamation(QStringLiteral("Cannot pack Save As file!"))});
        QCOMPARE(kivrotest::readFile(p("b.mpg")), QByteArray("CDE"));
        QVERIFY(QFileInfo::exists(saveAs));
        checkIdle(link, frame);
    }

    // Sources the Trash cannot take stay, and one box after the success box names them; a No to
    // the Trash question keeps them without that box.
    void sourcesTheTrashCannotTakeAreNamedAfterTheSuccess_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("listed");
        QTest::newRow("no prompt") << int(DeleteAfterAction::NoPrompt) << QString() << true;
        QTest::newRow("prompt, Yes") << int(DeleteAfterAction::Prompt) << "Yes" << true;
        QTest::newRow("prompt, No") << int(DeleteAfterAction::Prompt) << "No" << false;
    }
    void sourcesTheTrashCannotTakeAreNamedAfterTheSuccess()
    {
        QFETCH(int, choice);
        QFETCH(QString, answer);
        QFETCH(bool, listed);
        kivrotest::writeFile(p("a"), "AB");
        kivrotest::writeFile(p("b"), "CDE");
        Link link;
        ActionFrame frame(link);
        link.deleteChoice = DeleteAfterAction(choice);
        link.twoSources(p("a"), p("b"), p("out"), 10000, 4);
        win::InjectTrashFault(win::TrashStep::InfoFile, EACCES);
        const QStringList boxes = pack(link, frame, answer.isEmpty() ? QStringList{} : QStringList{answer});
        win::InjectTrashFault(win::TrashStep::InfoFile, 0);
        QStringList expected;
        if (!answer.isEmpty())
            expected << box(QStringLiteral("Question"), QStringLiteral("YesNo"),
                            "Are you sure you want to move these 2 items to the Trash?", answer);
        expected << success(p("out"), "5");
        if (listed)
            expected << information("These files could not be moved to the Trash and were kept:\n\n" + p("a") + "\n"
                                    + p("b"));
        QCOMPARE(boxes, expected);
        QCOMPARE(kivrotest::readFile(p("a")) + kivrotest::readFile(p("b")), QByteArray("ABCDE"));
        QCOMPARE(kivrotest::readFile(p("out")), QByteArray("ABCDE"));
        QVERIFY(trashed().isEmpty());
        checkIdle(link, frame);
    }

    // Names that differ only in letter case are two files, as the file system keeps them: the
    // save-as file beside a source of that name, and the archive beside a listed one, are made.
    void letterCaseNamesAnotherFile_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("saveAs");
        QTest::addColumn<bool>("zip");
        QTest::newRow("save-as B.MPG, source b.mpg") << "b.mpg"
                                                     << "B.MPG" << false;
        QTest::newRow("save-as b.mpg, source B.MPG") << "B.MPG"
                                                     << "b.mpg" << false;
        QTest::newRow("archive out.zip, source OUT.ZIP") << "OUT.ZIP"
                                                         << "out" << true;
    }
    void letterCaseNamesAnotherFile()
    {
        QFETCH(QString, first);
        QFETCH(QString, saveAs);
        QFETCH(bool, zip);
        kivrotest::writeFile(p(first), "AB");
        kivrotest::writeFile(p("c"), "CDE");
        Link link;
        ActionFrame frame(link);
        link.options.mpegCheck = false;
        link.options.zip = zip;
        link.saveAs = p(saveAs);
        link.add(p(first));
        link.add(p("c"));
        QStringList expected;
        if (zip)
            expected << information("'" + p(saveAs) + "' successfully zipped as '" + p(saveAs) + ".zip'.");
        expected << success(p(saveAs), "5");
        QCOMPARE(pack(link, frame), expected);
        QCOMPARE(kivrotest::readFile(p(saveAs)), QByteArray("ABCDE"));
        QCOMPARE(kivrotest::readFile(p(first)), QByteArray("AB"));
        if (zip)
            QVERIFY(QFileInfo(p(saveAs) + ".zip").size() > 0);
        checkIdle(link, frame);
    }

    // A source that cannot be opened stops the pack before the old save-as file is deleted or
    // emptied: it stays byte for byte, nothing is written and nothing goes to the Trash.
    void unreadableSourceKeepsTheOldSaveAsFile_data()
    {
        QTest::addColumn<int>("locked");
        QTest::addColumn<QString>("saveAs");
        QTest::newRow("first source") << 0 << "out.bin";
        QTest::newRow("middle source") << 1 << "out.bin";
        QTest::newRow("last source") << 2 << "out.bin";
        QTest::newRow("last source, hidden old save-as file") << 2 << ".out.bin";
    }
    void unreadableSourceKeepsTheOldSaveAsFile()
    {
        QFETCH(int, locked);
        QFETCH(QString, saveAs);
        const QStringList sources = {p("a"), p("b"), p("c")};
        for (const QString& f : sources)
            kivrotest::writeFile(f, QByteArray(30000, char('a' + sources.indexOf(f))));
        const QByteArray old = "the old save-as file, which must survive";
        kivrotest::writeFile(p(saveAs), old);
        Link link;
        ActionFrame frame(link);
        link.deleteChoice = DeleteAfterAction::NoPrompt;
        link.options.mpegCheck = false;
        link.options.blockSize = 10000;
        link.saveAs = p(saveAs);
        for (const QString& f : sources)
            link.add(f);
        const win::HANDLE lock = win::CreateFileA(sources.at(locked), win::GENERIC_READ | win::GENERIC_WRITE, 0,
                                                  win::OPEN_EXISTING);
        QVERIFY(lock != win::INVALID_HANDLE_VALUE);
        const QStringList boxes = pack(link, frame);
        win::CloseHandle(lock);
        QCOMPARE(boxes, QStringList{critical("Error opening '" + sources.at(locked) + "'!")});
        QCOMPARE(kivrotest::readFile(p(saveAs)), old);
        QVERIFY(link.percentCaptions.isEmpty());
        QVERIFY(!gSaveAsFileSaved);
        QVERIFY(trashed().isEmpty());
        checkIdle(link, frame);
    }

    // A name longer than the file system holds is said as such, without a Retry that could never
    // succeed: for the save-as file before anything is written, for the archive in the zip step.
    void nameTooLongEndsWithoutRetry_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("zip");
        QTest::newRow("save-as name") << 256 << false;
        QTest::newRow("archive name") << 253 << true; // the archive's name has 257 characters
    }
    void nameTooLongEndsWithoutRetry()
    {
        QFETCH(int, length);
        QFETCH(bool, zip);
        kivrotest::writeFile(p("a"), "AB");
        kivrotest::writeFile(p("b"), "CDE");
        Link link;
        ActionFrame frame(link);
        link.deleteChoice = DeleteAfterAction::NoPrompt;
        link.options.zip = zip;
        link.twoSources(p("a"), p("b"), p(QString(length, QLatin1Char('n'))), 10000, 4);
        const QString target = zip ? link.saveAs + ".zip" : link.saveAs;
        QCOMPARE(pack(link, frame),
                 QStringList{critical("'" + target + "' cannot be written: the name is too long. Packing aborted!")});
        QCOMPARE(kivrotest::readFile(link.saveAs), zip ? QByteArray("ABCDE") : QByteArray());
        QCOMPARE(QDir(dir).entryList(QDir::Files).size(), zip ? 3 : 2);
        QVERIFY(trashed().isEmpty());
        checkIdle(link, frame);
    }

    // Missing save-as folders are made, however many, before the open; a folder that cannot be
    // made ends the run saying which, with no "Error opening" box and nothing written.
    void missingSaveAsFolder_data()
    {
        QTest::addColumn<QString>("saveAs");
        QTest::addColumn<QString>("folder"); // empty: the pack succeeds
        QTest::newRow("one level") << "new/out"
                                   << "";
        QTest::newRow("three levels") << "x/y/z/out"
                                      << "";
        QTest::newRow("a file in the way") << "file/y/out"
                                           << "file/y";
    }
    void missingSaveAsFolder()
    {
        QFETCH(QString, saveAs);
        QFETCH(QString, folder);
        kivrotest::writeFile(p("a"), "AB");
        kivrotest::writeFile(p("b"), "CDE");
        kivrotest::writeFile(p("file"), "F");
        Link link;
        ActionFrame frame(link);
        link.options.mpegCheck = false;
        link.add(p("a"));
        link.add(p("b"));
        link.saveAs = p(saveAs);
        if (folder.isEmpty()) {
            QCOMPARE(pack(link, frame), QStringList{success(p(saveAs), "5")});
            QCOMPARE(kivrotest::readFile(p(saveAs)), QByteArray("ABCDE"));
        } else {
            QCOMPARE(pack(link, frame), QStringList{critical("'" + p(folder) + "' was not found! Packing aborted!")});
            QCOMPARE(kivrotest::readFile(p("file")), QByteArray("F"));
        }
        checkIdle(link, frame);
    }

    // An old output that is not deleted first (a hidden file) is emptied: exactly the joined bytes.
    void hiddenOldOutputHoldsExactlyTheJoinedBytes()
    {
        kivrotest::writeFile(p("a"), "AB");
        kivrotest::writeFile(p("b"), "CDE");
        kivrotest::writeFile(p(".out"), "0123456789");
        Link link;
        ActionFrame frame(link);
        link.options.mpegCheck = false;
        link.saveAs = p(".out");
        link.add(p("a"));
        link.add(p("b"));
        QCOMPARE(pack(link, frame), QStringList{success(p(".out"), "5")});
        QCOMPARE(kivrotest::readFile(p(".out")), QByteArray("ABCDE"));
    }

    // A link at the save-as name or at the archive's (hidden or not, to a file, a folder or
    // nothing) is replaced by a regular file that holds the output; what it points to stays as it
    // was, and nothing appears where it points.
    void linkAtAnOutputNameIsReplaced_data()
    {
        QTest::addColumn<QString>("saveAs");
        QTest::addColumn<QString>("linked"); // the output name that is a link: the save-as or the archive
        QTest::addColumn<QString>("pointsTo");
        QTest::newRow("hidden, to a file") << ".out"
                                           << ".out"
                                           << "victim";
        QTest::newRow("hidden, to nothing") << ".out"
                                            << ".out"
                                            << "elsewhere/ghost";
        QTest::newRow("to nothing") << "out"
                                    << "out"
                                    << "elsewhere/ghost";
        QTest::newRow("to a file") << "out"
                                   << "out"
                                   << "victim";
        QTest::newRow("to a folder") << "out"
                                     << "out"
                                     << "elsewhere";
        QTest::newRow("archive, to a file") << "out"
                                            << "out.zip"
                                            << "victim";
        QTest::newRow("archive, to nothing") << "out"
                                             << "out.zip"
                                             << "elsewhere/ghost";
    }
    void linkAtAnOutputNameIsReplaced()
    {
        QFETCH(QString, saveAs);
        QFETCH(QString, linked);
        QFETCH(QString, pointsTo);
        kivrotest::writeFile(p("a"), "AB");
        kivrotest::writeFile(p("b"), "CDE");
        const QByteArray victim(5000, 'v');
        kivrotest::writeFile(p("victim"), victim);
        QDir().mkpath(p("elsewhere"));
        QVERIFY(QFile::link(p(pointsTo), p(linked)));
        Link link;
        ActionFrame frame(link);
        link.options.mpegCheck = false;
        link.options.zip = linked.endsWith(QLatin1String(".zip"));
        link.saveAs = p(saveAs);
        link.add(p("a"));
        link.add(p("b"));
        QStringList expected{success(p(saveAs), "5")};
        if (link.options.zip)
            expected.prepend(information("'" + p(saveAs) + "' successfully zipped as '" + p(linked) + "'."));
        QCOMPARE(pack(link, frame), expected);
        for (const QString& output : {saveAs, linked}) {
            const QFileInfo info(p(output));
            QVERIFY2(info.isFile() && !info.isSymLink(), qPrintable(output));
        }
        QCOMPARE(kivrotest::readFile(p(saveAs)), QByteArray("ABCDE"));
        QCOMPARE(kivrotest::readFile(p("victim")), victim);
        QVERIFY(QDir(p("elsewhere")).isEmpty());
        checkIdle(link, frame);
    }

    // A link put at the save-as name after the old output was deleted is not followed: the open
    // fails with File64's message and the "Cannot overwrite" question. Retry deletes that link
    // too and packs; Cancel ends the run without success. What the link points to stays as it
    // was either way.
    void linkPutAtTheSaveAsMeanwhile_data()
    {
        QTest::addColumn<QString>("saveAs");
        QTest::addColumn<QString>("answer");
        QTest::newRow("hidden, Retry") << ".out"
                                       << "Retry";
        QTest::newRow("hidden, Cancel") << ".out"
                                        << "Cancel";
        QTest::newRow("Retry") << "out"
                               << "Retry";
    }
    void linkPutAtTheSaveAsMeanwhile()
    {
        QFETCH(QString, saveAs);
        QFETCH(QString, answer);
        kivrotest::writeFile(p("a"), "AB");
        kivrotest::writeFile(p("b"), "CDE");
        kivrotest::writeFile(p("victim"), "keep");
        kivrotest::writeFile(p(saveAs), "old output");
        Link link;
        ActionFrame frame(link);
        link.options.mpegCheck = false;
        link.deleteChoice = DeleteAfterAction::NoPrompt;
        link.saveAs = p(saveAs);
        link.add(p("a"));
        link.add(p("b"));
        const QString out = p(saveAs);
        win::InjectBeforeWriteOpen(out, [&] {
            QFile::remove(out); // a hidden old output is not deleted by the run
            QVERIFY(QFile::link(p("victim"), out));
        });
        const QString ask = box(QStringLiteral("Critical"), QStringLiteral("RetryCancel"),
                                "Cannot overwrite '" + out + "'. Disk full/write-protected or file is in use.", answer);
        const QStringList boxes = pack(link, frame, {QStringLiteral("OK"), answer});
        win::InjectBeforeWriteOpen(QString(), {});
        const QString opening = critical("Error opening '" + out + "'!");
        QCOMPARE(kivrotest::readFile(p("victim")), QByteArray("keep"));
        if (answer == QLatin1String("Retry")) {
            QCOMPARE(boxes, (QStringList{opening, ask, success(out, "5")}));
            QVERIFY(!QFileInfo(out).isSymLink());
            QCOMPARE(kivrotest::readFile(out), QByteArray("ABCDE"));
            QVERIFY(gSaveAsFileSaved);
        } else {
            QCOMPARE(boxes, (QStringList{opening, ask, information("Packing aborted by user.")}));
            QVERIFY(QFileInfo(out).isSymLink());
            QVERIFY(trashed().isEmpty());
            QVERIFY(!gSaveAsFileSaved);
        }
        checkIdle(link, frame);
    }

    // The pack list, the save-as text and the output options are taken when the run starts; the
    // delete-after-action choice when the run reaches that step, and only for files of the run.
    void snapshotTakenAtTheStart()
    {
        kivrotest::writeFile(p("a"), QByteArray(20000, 'a'));
        kivrotest::writeFile(p("b"), QByteArray(20000, 'b'));
        kivrotest::writeFile(p("c"), QByteArray(20000, 'c'));
        Link link;
        ActionFrame frame(link);
        link.options.blockSize = 10000;
        link.options.blockDigits = 4;
        link.options.mpegCheck = false;
        link.options.zip = false;
        link.saveAs = p("out");
        link.add(p("a"));
        link.add(p("b"));
        link.onPercent = [&](const QString& caption) {
            if (caption != QLatin1String("25%"))
                return;
            link.list.clear();
            link.add(p("c"));
            link.add(p("b"));
            link.add(p("a"));
            link.options.blockSize = 5000000;
            link.options.blockDigits = 7;
            link.options.zip = true;
            link.options.mpegCheck = true;
            link.saveAs = p("other");
            link.deleteChoice = DeleteAfterAction::NoPrompt;
        };
        QCOMPARE(pack(link, frame), QStringList{success(p("out"), "40,000")});
        QCOMPARE(kivrotest::readFile(p("out")), QByteArray(20000, 'a') + QByteArray(20000, 'b'));
        QVERIFY(!QFileInfo::exists(p("other")));
        QVERIFY(!QFileInfo::exists(p("out.zip")));
        QCOMPARE(link.percentCaptions.size(), 5); // 0% and four 10,000-byte blocks
        // The choice changed during the copy applies; the file added meanwhile stays.
        QVERIFY(!QFileInfo::exists(p("a")) && !QFileInfo::exists(p("b")));
        QVERIFY(QFileInfo::exists(p("c")));
        QCOMPARE(trashed().size(), 2);
    }

    // A cancel in the last progress update of the last source ends the run: no success, no
    // Trash, and the overwrite flag stays as it was.
    void cancelInTheLastUpdate()
    {
        kivrotest::writeFile(p("a"), QByteArray(10000, 'a'));
        kivrotest::writeFile(p("b"), QByteArray(10000, 'b'));
        Link link;
        ActionFrame frame(link);
        link.deleteChoice = DeleteAfterAction::NoPrompt;
        link.twoSources(p("a"), p("b"), p("out"), 10000, 4);
        // The click arrives with the events the last update lets run.
        int updates = 0;
        link.onPercent = [&](const QString& caption) {
            if (caption == QLatin1String("0%"))
                return;
            if (++updates == 1)
                QTimer::singleShot(0, [&] {
                    // The mouse over the Cancel picture shows the hand, its press arms it.
                    link.pointer = MainWindowLink::kPointerHand;
                    gCancelArmed = true;
                    frame.PackCANCELImg_Click();
                });
        };
        QCOMPARE(pack(link, frame), QStringList{information(QStringLiteral("Packing aborted by user"))});
        QVERIFY(frame.cancelled());
        QVERIFY(!gSaveAsFileSaved);
        QVERIFY(trashed().isEmpty());
        QCOMPARE(gOpenFileCount, 0);
        QVERIFY(!frame.busy());
    }

    // Zip after pack: the archive name is never one of the sources.
    void zipNameThatIsASourceIsNotZipped()
    {
        kivrotest::writeFile(p("output.zip"), "AB");
        kivrotest::writeFile(p("b"), "CDE");
        Link link;
        ActionFrame frame(link);
        link.options.mpegCheck = false;
        link.options.zip = true;
        link.saveAs = p("output");
        link.add(p("output.zip"));
        link.add(p("b"));
        QCOMPARE(pack(link, frame),
                 (QStringList{critical("Cannot zip '" + p("output.zip")
                                       + "' because it is a file in the Pack List. Zipping aborted."),
                              success(p("output"), "5")}));
        QCOMPARE(kivrotest::readFile(p("output.zip")), QByteArray("AB"));
        QCOMPARE(kivrotest::readFile(p("output")), QByteArray("ABCDE"));
        checkIdle(link, frame);
    }

    // A failure in the zip step is reported as one of the zip step (it speaks of the archive), and
    // ends the run: no success message, label hidden, the output stays.
    void zipStepFailure_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("expected"); // "@" stands for the folder
        const QString ask = "Cannot overwrite '@/out.zip'. Disk full/write-protected or file is in use.";
        QTest::newRow("old archive open in the program")
            << "open" << QStringList{}
            << QStringList{critical("The requested file was not closed properly! Try again later!")};
        QTest::newRow("old archive cannot be deleted, Cancel")
            << "immutable" << QStringList{"Retry", "Cancel"}
            << QStringList{box("Critical", "RetryCancel", ask, "Retry"), box("Critical", "RetryCancel", ask, "Cancel"),
                           information("Packing aborted by user")};
    }
    void zipStepFailure()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, expected);
        kivrotest::writeFile(p("a"), "AB");
        kivrotest::writeFile(p("b"), "CDE");
        kivrotest::writeFile(p("out.zip"), "old archive");
        win::HANDLE open = -1;
        if (how == QLatin1String("open")) {
            open = win::CreateFileA(p("out.zip"), win::GENERIC_READ, 0, win::OPEN_EXISTING);
        } else if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), p("out.zip")}) != 0) {
            QSKIP("no immutable files here (chattr +i)");
        }
        Link link;
        ActionFrame frame(link);
        link.options.mpegCheck = false;
        link.options.zip = true;
        link.deleteChoice = DeleteAfterAction::NoPrompt;
        link.saveAs = p("out");
        link.add(p("a"));
        link.add(p("b"));
        const QStringList boxes = pack(link, frame, answers);
        if (open != -1)
            win::CloseHandle(open);
        else
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), p("out.zip")});
        for (QString& e : expected)
            e.replace(QLatin1Char('@'), dir);
        QCOMPARE(boxes, expected);
        QCOMPARE(kivrotest::readFile(p("out")), QByteArray("ABCDE"));
        QCOMPARE(kivrotest::readFile(p("out.zip")), QByteArray("old archive"));
        QVERIFY(trashed().isEmpty());
        QVERIFY(!gSaveAsFileSaved);
        checkIdle(link, frame);
    }

    // The count messages, the 0-byte and missing entries, free space and the MPEG questions.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("files"); // name=content; "name=" is empty, "name" missing
        QTest::addColumn<bool>("mpegCheck");
        QTest::addColumn<qint64>("freeBytes"); // -1: real
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("expected"); // boxes; "@" stands for the folder
        QTest::addColumn<bool>("written");
        const QByteArray seq352x240x30("\x00\x00\x01\xB3\x16\x00\xF0\x15", 8);
        const QByteArray seq352x240x25("\x00\x00\x01\xB3\x16\x00\xF0\x13", 8);
        QTest::newRow("empty list") << QStringList{} << false << qint64(-1) << QStringList{}
                                    << QStringList{exclamation("Nothing to pack.")} << false;
        QTest::newRow("one file") << QStringList{"a=AB"} << false << qint64(-1) << QStringList{}
                                  << QStringList{exclamation("At least 2 files are required for packing.")} << false;
        QTest::newRow("0-byte second") << QStringList{"a=AB", "b="} << false << qint64(-1) << QStringList{}
                                       << QStringList{critical(
                                              "Cannot pack '@/b' which is a 0 byte file. Packing aborted!")}
                                       << false;
        QTest::newRow("missing second") << QStringList{"a=AB", "b"} << false << qint64(-1) << QStringList{}
                                        << QStringList{critical(
                                               "Cannot pack '@/b' which is a 0 byte file. Packing aborted!")}
                                        << false;
        QTest::newRow("one byte short of space")
            << QStringList{"a=AB", "b=CDE"} << false << qint64(4) << QStringList{}
            << QStringList{critical("Not enough free diskspace. Packing aborted!")} << false;
        QTest::newRow("exactly enough space") << QStringList{"a=AB", "b=CDE"} << false << qint64(5) << QStringList{}
                                              << QStringList{success("@/out", "5")} << true;
        const QString invalid = "'@/b' is not a valid MPEG file.\n\nProceed packing and ignore invalid Mpeg error?";
        QTest::newRow("invalid MPEG, No")
            << QStringList{"a=" + QString::fromLatin1(seq352x240x30.toHex()), "b=CDE"} << true << qint64(-1)
            << QStringList{"No"} << QStringList{box("Critical", "YesNo", invalid, "No")} << false;
        QTest::newRow("invalid MPEG, Yes")
            << QStringList{"a=" + QString::fromLatin1(seq352x240x30.toHex()), "b=CDE", "c=F"} << true << qint64(-1)
            << QStringList{"Yes"} << QStringList{box("Critical", "YesNo", invalid, "Yes"), success("@/out", "12")}
            << true;
        const QString incompatible
            = "Not compatible for Kivroing. Proceed packing and ignore Mpeg Compatibility error?";
        QTest::newRow("incompatible, No") << QStringList{"a=" + QString::fromLatin1(seq352x240x30.toHex()),
                                                         "b=" + QString::fromLatin1(seq352x240x25.toHex())}
                                          << true << qint64(-1) << QStringList{"No"}
                                          << QStringList{box("Critical", "YesNo", incompatible, "No")} << false;
        QTest::newRow("incompatible, Yes")
            << QStringList{"a=" + QString::fromLatin1(seq352x240x30.toHex()),
                           "b=" + QString::fromLatin1(seq352x240x25.toHex()), "c=F"}
            << true << qint64(-1) << QStringList{"Yes"}
            << QStringList{box("Critical", "YesNo", incompatible, "Yes"), success("@/out", "17")} << true;
        QTest::newRow("compatible") << QStringList{"a=" + QString::fromLatin1(seq352x240x30.toHex()),
                                                   "b=" + QString::fromLatin1(seq352x240x30.toHex())}
                                    << true << qint64(-1) << QStringList{} << QStringList{success("@/out", "16")}
                                    << true;
    }
    void refusals()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, mpegCheck);
        QFETCH(qint64, freeBytes);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, expected);
        QFETCH(bool, written);
        Link link;
        ActionFrame frame(link);
        link.options.mpegCheck = mpegCheck;
        link.saveAs = p("out");
        QByteArray joined;
        for (const QString& f : files) {
            const QString name = f.section(QLatin1Char('='), 0, 0);
            if (f.contains(QLatin1Char('='))) {
                QByteArray content = f.section(QLatin1Char('='), 1).toLatin1();
                if (content.size() == 16 && content.startsWith("000001b3"))
                    content = QByteArray::fromHex(content);
                kivrotest::writeFile(p(name), content);
                joined += content;
            }
            link.add(p(name));
        }
        win::InjectDiskFreeSpace(freeBytes);
        QStringList boxes = pack(link, frame, answers);
        win::InjectDiskFreeSpace(-1);
        for (QString& e : expected)
            e.replace(QLatin1Char('@'), dir);
        QCOMPARE(boxes, expected);
        QCOMPARE(QFileInfo::exists(p("out")), written);
        if (written)
            QCOMPARE(kivrotest::readFile(p("out")), joined);
        checkIdle(link, frame);
        QVERIFY(!gActionArmed);
    }

    // A save-as file larger than its file system holds is refused before anything is written,
    // right after the free-space test; a file of exactly the limit is packed. The 4 GiB - 1 row
    // packs two sparse sources and may never write their bytes: a write limit keeps a run that
    // does not refuse from writing gigabytes.
    void saveAsLargerThanItsFileSystemHolds_data()
    {
        QTest::addColumn<qint64>("sourceSize");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<qint64>("freeBytes"); // -1: real
        QTest::addColumn<QString>("expected");
        const QString refused = "'@/out' cannot be written: its file system holds files of at most %1 bytes. "
                                "Packing aborted!";
        QTest::newRow("one byte over") << qint64(3) << qint64(5) << qint64(-1) << critical(refused.arg("5"));
        QTest::newRow("exactly the limit") << qint64(3) << qint64(6) << qint64(-1) << success("@/out", "6");
        QTest::newRow("vfat, two sparse 2 GiB + 1 sources")
            << qint64(2147483649) << qint64(4294967295) << qint64(-1) << critical(refused.arg("4,294,967,295"));
        QTest::newRow("free space is tested first")
            << qint64(3) << qint64(5) << qint64(5) << critical("Not enough free diskspace. Packing aborted!");
    }
    void saveAsLargerThanItsFileSystemHolds()
    {
        QFETCH(qint64, sourceSize);
        QFETCH(qint64, limit);
        QFETCH(qint64, freeBytes);
        QFETCH(QString, expected);
        const bool sparse = sourceSize > 1000;
        for (const char* name : {"a", "b"}) {
            QFile f(p(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            if (sparse)
                QVERIFY(f.resize(sourceSize));
            else
                f.write(QByteArray(int(sourceSize), *name));
        }
        Link link;
        ActionFrame frame(link);
        link.twoSources(p("a"), p("b"), p("out"), 100000, 5);
        win::InjectMaxFileSize(dir, limit);
        win::InjectDiskFreeSpace(sparse ? qint64(1) << 40 : freeBytes);
        win::InjectWriteLimit(sparse ? 1 << 20 : -1);
        const QStringList boxes = pack(link, frame);
        win::InjectMaxFileSize(QString(), -1);
        win::InjectDiskFreeSpace(-1);
        win::InjectWriteLimit(-1);
        expected.replace(QLatin1Char('@'), dir);
        QCOMPARE(boxes, QStringList{expected});
        QCOMPARE(QFileInfo::exists(p("out")), expected.contains("successfully"));
        checkIdle(link, frame);
    }

    // Pack acts only when armed and not busy.
    void entryTest()
    {
        kivrotest::writeFile(p("a"), "AB");
        kivrotest::writeFile(p("b"), "CDE");
        Link link;
        ActionFrame frame(link);
        link.options.mpegCheck = false;
        link.saveAs = p("out");
        link.add(p("a"));
        link.add(p("b"));
        Prompts::enableScripted();
        gActionArmed = false;
        RunPackAction(link, frame);
        QVERIFY(Prompts::records().isEmpty());
        QVERIFY(!QFileInfo::exists(p("out")));
        frame.DisableControlsWhileBusy();
        gActionArmed = true;
        RunPackAction(link, frame);
        QVERIFY(Prompts::records().isEmpty());
        QVERIFY(!QFileInfo::exists(p("out")));
        frame.ResetAfterAction();
    }
};

KIVRO_TEST_MAIN(TestPack)
#include "tst_pack.moc"
