// Unpack without a window: the piece arithmetic of every mode, the block plan, the archive names,
// and the action's failure paths — checked writes with Retry at the failed block, pieces that
// cannot be opened, sources that cannot be read, a failed zip, the name checks made before
// anything is written, the percentage and zip-archive size rules, more than 32,767 pieces, the
// progress totals and cancel.
#include "KivroTest.h"

#include "engine/ActionFrame.h"
#include "engine/CopyLoop.h"
#include "engine/EngineGlobals.h"
#include "engine/File64.h"
#include "HeadlessLink.h"
#include "engine/MainWindowLink.h"
#include "engine/PackListModel.h"
#include "engine/UnpackAction.h"
#include "engine/Zip.h"
#include "platform/DiskApi.h"
#include "platform/FileApi.h"
#include "platform/NumberFormat.h"
#include "platform/Trash.h"

#include <QTimer>

using namespace kivro;

namespace {

class Link : public kivrotest::HeadlessLink {
public:
    PackListModel& packList() override { return list; }
    File64& file64() override { return file; }
    ActionOptions actionOptions() const override { return opts; }
    DeleteAfterAction deleteAfterAction() const override { return deleteAfter; }
    int mousePointer() const override { return pointer; }
    void setMousePointer(int p) override { pointer = p; }
    void UnpackCustomDirMnu_Click() override { calls << QStringLiteral("custom"); }
    void UnpackWhereFileDirMnu_Click() override { calls << QStringLiteral("where"); }
    void setZipProcessCaption(const QString& c) override { calls << "zip caption " + c; }
    void setPercentDoneCaption(const QString& c) override
    {
        if (!c.isEmpty() && onPercent)
            onPercent(c);
    }

    PackListModel list;
    File64 file;
    ActionOptions opts;
    DeleteAfterAction deleteAfter = DeleteAfterAction::No;
    int pointer = 0;
    QStringList calls;
    // Called with every percentage caption, once per copied block.
    std::function<void(const QString&)> onPercent;
};

// Bytes that differ from place to place, so that a slice out of place is seen.
QByteArray pattern(qint64 n, int seed = 0)
{
    QByteArray b(qsizetype(n), '\0');
    for (qint64 i = 0; i < n; ++i)
        b[qsizetype(i)] = char((i * 7 + i / 251 + seed) % 256);
    return b;
}

// pattern() with an MPEG sequence header at byte 28, so that an EMH split finds its header.
QByteArray mpegPattern(qint64 n)
{
    QByteArray b = pattern(n);
    b.replace(28, 4, QByteArray("\x00\x00\x01\xB3", 4));
    return b;
}

void resetSplitGlobals()
{
    gUnpackSize = 1440000;
    gSplitFiles = 2;
    gSplitPercent = 50;
    gSplitModeSize = gSplitModeFirst = gSplitModeLast = gSplitModePercent = gSplitModeFiles = false;
    gUnpackCustomDir.clear();
}

QString lastBox()
{
    const QStringList r = Prompts::records();
    return r.isEmpty() ? QString() : r.last();
}

QString criticalBox(const QString& text)
{
    return QStringLiteral("box|Critical|OK|Tesma Kivro Pro|") + text + QStringLiteral("|OK");
}

const QString kOneDone = QStringLiteral("box|Information|OK|Tesma Kivro Pro|1 file successfully unpacked!|OK");

} // namespace

class TestUnpack : public QObject {
    Q_OBJECT

    QString dir;
    std::unique_ptr<Link> link;
    std::unique_ptr<ActionFrame> frame;

    // A fresh folder per test, so listings show exactly what a run wrote.
    QString folder(const QString& name) { return kivrotest::freshFolder(dir + QLatin1Char('/') + name); }
    void add(const QString& path)
    {
        link->list.append(path.left(path.lastIndexOf('/') + 1), path.mid(path.lastIndexOf('/') + 1));
    }
    void unpack()
    {
        gActionArmed = true;
        RunUnpack(*link, *frame);
    }
    QStringList files(const QString& d) { return QDir(d).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/unpack");
        QDir().mkpath(dir);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void init()
    {
        Prompts::enableScripted();
        Prompts::setRecordObserver({});
        win::InjectWriteLimit(-1);
        win::InjectCloseFailure(0);
        win::InjectBeforeWriteOpen(QString(), {});
        resetSplitGlobals();
        gActionArmed = gCancelArmed = false;
        link = std::make_unique<Link>();
        link->opts.unpackTarget = UnpackTarget::WhereFile;
        frame = std::make_unique<ActionFrame>(*link);
    }
    void cleanup()
    {
        Prompts::setRecordObserver({});
        win::InjectWriteLimit(-1);
        Zip::SetZipLibrary(nullptr);
        kivrotest::forceCopyWay(kivrotest::CopyWay::Range);
        QVERIFY(!frame->busy());
        QCOMPARE(gOpenFileCount, 0);
        frame.reset();
        link.reset();
    }

    void planPieces_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("mode"); // 0 size, 1 files, 2 percent, 3 first, 4 last
        QTest::addColumn<qint64>("setting");
        QTest::addColumn<qint64>("piece");
        QTest::addColumn<qint64>("full");
        QTest::addColumn<qint64>("remainder");
        QTest::addColumn<int>("digits");
        QTest::addColumn<qint64>("offset");
        QTest::newRow("1,440K") << 3000000LL << 0 << 1440000LL << 1440000LL << 2LL << 120000LL << 3 << 0LL;
        QTest::newRow("exactly one piece") << 1440000LL << 0 << 1440000LL << 1440000LL << 1LL << 0LL << 3 << 0LL;
        QTest::newRow("one byte more") << 1440001LL << 0 << 1440000LL << 1440000LL << 1LL << 1LL << 3 << 0LL;
        QTest::newRow("999 full pieces") << 999 * 1024LL << 0 << 1024LL << 1024LL << 999LL << 0LL << 4 << 0LL;
        QTest::newRow("998 and a remainder") << 998 * 1024LL + 1 << 0 << 1024LL << 1024LL << 998LL << 1LL << 3 << 0LL;
        QTest::newRow("3 of 100") << 100LL << 1 << 3LL << 34LL << 2LL << 32LL << 3 << 0LL;
        QTest::newRow("6 of 20") << 20LL << 1 << 6LL << 5LL << 4LL << 0LL << 3 << 0LL;
        QTest::newRow("4 of 10") << 10LL << 1 << 4LL << 4LL << 2LL << 2LL << 3 << 0LL;
        QTest::newRow("more pieces than bytes") << 5LL << 1 << 9LL << 5LL << 1LL << 0LL << 3 << 0LL;
        QTest::newRow("33% of 1,000") << 1000LL << 2 << 33LL << 330LL << 3LL << 10LL << 3 << 0LL;
        QTest::newRow("29% of 100 as a double") << 100LL << 2 << 29LL << 28LL << 3LL << 16LL << 3 << 0LL;
        QTest::newRow("first 1 MB of 10 MB") << 10000000LL << 3 << 1000000LL << 1000000LL << 1LL << 0LL << 3 << 0LL;
        QTest::newRow("last 1 MB of 10 MB")
            << 10000000LL << 4 << 1000000LL << 1000000LL << 1LL << 0LL << 3 << 9000000LL;
        QTest::newRow("64-bit counter") << 5000000000LL << 0 << 100000LL << 100000LL << 50000LL << 0LL << 5 << 0LL;
    }
    void planPieces()
    {
        QFETCH(qint64, size);
        QFETCH(int, mode);
        QFETCH(qint64, setting);
        SplitSettings s;
        s.unpackSize = setting;
        s.files = std::int32_t(setting);
        s.percent = std::int32_t(setting);
        s.modeFiles = mode == 1;
        s.modePercent = mode == 2;
        s.modeFirst = mode == 3;
        s.modeLast = mode == 4;
        const PiecePlan p = PlanPieces(size, s);
        QTEST(qint64(p.pieceSize), "piece");
        QTEST(qint64(p.fullPieces), "full");
        QTEST(qint64(p.remainder), "remainder");
        QTEST(p.digits, "digits");
        QTEST(qint64(p.firstOffset), "offset");
    }

    void namesOfArchivesAndPieces()
    {
        QCOMPARE(PieceStem(UnpackTarget::Custom, "", "/v/movie.zip", "/c"), QStringLiteral("/c/movie.zip"));
        QCOMPARE(PieceName("/v/movie.mpg", 7, 3, true), QStringLiteral("/v/movie.mpg.007.mpg"));
        QCOMPARE(PieceName("/v/m", 40000, 5, false), QStringLiteral("/v/m.40000"));
        QCOMPARE(SmallestPercentSource(29), 4LL);
        QCOMPARE(SmallestPercentSource(50), 2LL);
        QCOMPARE(SmallestPercentSource(1), 100LL);
    }

    void failedWriteRetriesTheBlockAtItsOffset_data()
    {
        QTest::addColumn<int>("way");
        using kivrotest::CopyWay;
        for (const CopyWay way : {CopyWay::Range, CopyWay::Send, CopyWay::Buffer})
            QTest::newRow(kivrotest::copyWayName(way)) << int(way);
    }
    void failedWriteRetriesTheBlockAtItsOffset()
    {
        QFETCH(int, way);
        kivrotest::forceCopyWay(kivrotest::CopyWay(way));
        const QString d = folder("retry");
        const QByteArray src = pattern(3000000);
        kivrotest::writeFile(d + "/m.mpg", src);
        add(d + "/m.mpg");
        link->deleteAfter = DeleteAfterAction::NoPrompt;
        // The disk fills in the middle of piece 2 (250,000 bytes in: in its third block of
        // 100,000, inside one copy call of the piece's 14 blocks); the user frees exactly the room
        // that is left to write from that block on and answers Retry. Only the failed block is
        // copied again, at its offset: a Retry that rewrote the call's first two blocks as well
        // would run out of room again and ask a second time.
        win::InjectWriteLimit(1440000 + 250000);
        Prompts::setRecordObserver([](const QString& line) {
            if (line.contains("Cannot overwrite"))
                win::InjectWriteLimit((1440000 - 200000) + (3000000 - 2 * 1440000));
        });
        Prompts::queue("Retry");
        unpack();
        const QStringList r = Prompts::records();
        QCOMPARE(r.size(), 2);
        QCOMPARE(r[0], QStringLiteral("box|Critical|RetryCancel|Tesma Kivro Pro|Cannot overwrite '%1/m.mpg.002'. "
                                      "Disk full/write-protected or file is in use.|Retry")
                           .arg(d));
        QCOMPARE(r[1], kOneDone);
        QCOMPARE(kivrotest::readFile(d + "/m.mpg.002"), src.mid(1440000, 1440000));
        QCOMPARE(kivrotest::readFile(d + "/m.mpg.003"), src.mid(2880000));
        QVERIFY(!QFile::exists(d + "/m.mpg")); // gone to the Trash after the success
    }

    void cancelledWriteEndsWithoutSuccessOrTrash()
    {
        const QString d = folder("full");
        kivrotest::writeFile(d + "/m.mpg", pattern(3000000));
        add(d + "/m.mpg");
        link->deleteAfter = DeleteAfterAction::NoPrompt;
        win::InjectWriteLimit(100);
        Prompts::queue("Cancel");
        unpack();
        const QStringList r = Prompts::records();
        QCOMPARE(r.size(), 2);
        QVERIFY(r[0].contains("Cannot overwrite '" + d + "/m.mpg.001'"));
        QCOMPARE(r[1], QStringLiteral("box|Information|OK|Tesma Kivro Pro|Unpacking aborted by user|OK"));
        QVERIFY(QFile::exists(d + "/m.mpg"));
    }

    // A piece whose close reports a failure is a failed write: Retry writes that whole piece
    // again from its start, Cancel ends the run without success and leaves the source in place.
    void failedCloseOfAPiece_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("Retry") << QStringLiteral("Retry");
        QTest::newRow("Cancel") << QStringLiteral("Cancel");
    }
    void failedCloseOfAPiece()
    {
        QFETCH(QString, answer);
        const QString d = folder("close");
        const QByteArray src = pattern(3000);
        kivrotest::writeFile(d + "/m.mpg", src);
        add(d + "/m.mpg");
        gUnpackSize = 1024;
        link->deleteAfter = DeleteAfterAction::NoPrompt;
        win::InjectCloseFailure(2); // the close of piece 2
        Prompts::queue(answer);
        unpack();
        const QStringList r = Prompts::records();
        QCOMPARE(r.size(), 2);
        QCOMPARE(r[0], QStringLiteral("box|Critical|RetryCancel|Tesma Kivro Pro|Cannot overwrite '%1/m.mpg.002'. "
                                      "Disk full/write-protected or file is in use.|%2")
                           .arg(d, answer));
        if (answer == QLatin1String("Retry")) {
            QCOMPARE(r[1], kOneDone);
            QCOMPARE(kivrotest::readFile(d + "/m.mpg.001"), src.left(1024));
            QCOMPARE(kivrotest::readFile(d + "/m.mpg.002"), src.mid(1024, 1024));
            QCOMPARE(kivrotest::readFile(d + "/m.mpg.003"), src.mid(2048));
            QCOMPARE(qint64(frame->mBytesDone), 3000LL);
            QVERIFY(!QFile::exists(d + "/m.mpg"));
        } else {
            QCOMPARE(r[1], QStringLiteral("box|Information|OK|Tesma Kivro Pro|Unpacking aborted by user|OK"));
            QVERIFY(QFile::exists(d + "/m.mpg"));
            QVERIFY(!QFile::exists(d + "/m.mpg.003"));
        }
    }

    // A piece that is no longer the file at its name when it is closed, or when a Retry opens it
    // again to go on, ends the run naming it: no success, the source stays out of the Trash.
    void pieceRemovedWhileWritten_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("piece");
        QTest::newRow("folder removed during the last piece") << "folder"
                                                              << "m.mpg.003";
        QTest::newRow("first piece removed while written") << "file"
                                                           << "m.mpg.001";
        QTest::newRow("piece removed while the Retry box is up") << "retry"
                                                                 << "m.mpg.002";
    }
    void pieceRemovedWhileWritten()
    {
        QFETCH(QString, how);
        QFETCH(QString, piece);
        const QString d = folder("removed");
        const QString c = d + "/c";
        QDir().mkpath(c);
        kivrotest::writeFile(d + "/m.mpg", pattern(90000));
        add(d + "/m.mpg");
        gUnpackSize = 30000; // three pieces of three blocks each
        gUnpackCustomDir = c;
        link->opts.unpackTarget = UnpackTarget::Custom;
        link->opts.blockSize = 10000;
        link->opts.blockDigits = 4;
        link->deleteAfter = DeleteAfterAction::NoPrompt;
        QStringList expected;
        if (how == QLatin1String("retry")) {
            // The disk fills in the middle of piece 2; while the question is asked the piece goes
            // (and the room comes back): a Retry must not go on into a new file of that name.
            win::InjectWriteLimit(30000 + 15000);
            Prompts::setRecordObserver([&](const QString& line) {
                if (line.contains("Cannot overwrite")) {
                    QFile::remove(c + "/" + piece);
                    win::InjectWriteLimit(-1);
                }
            });
            Prompts::queue("Retry");
            expected << QStringLiteral("box|Critical|RetryCancel|Tesma Kivro Pro|Cannot overwrite '%1/%2'. "
                                       "Disk full/write-protected or file is in use.|Retry")
                            .arg(c, piece);
        } else {
            link->onPercent = [&](const QString& caption) {
                if (how == QLatin1String("folder") && caption == QLatin1String("78%"))
                    QDir(c).removeRecursively();
                else if (how == QLatin1String("file") && caption == QLatin1String("11%"))
                    QFile::remove(c + "/" + piece);
            };
        }
        expected << criticalBox("'" + c + "/" + piece + "' was removed while it was being written. Unpacking aborted!");
        unpack();
        QCOMPARE(Prompts::records(), expected);
        QCOMPARE(kivrotest::readFile(d + "/m.mpg"), pattern(90000));
    }

    // EMH through the whole run: piece 1 is the plain start of the source; every later piece is
    // the header (the source up to its start code + 5,600 bytes) followed by its own bytes from
    // its own offset, whatever the rate. Zip first splits the archive without any header.
    void emhPiecesOfARun_data()
    {
        QTest::addColumn<int>("blockSize");
        QTest::addColumn<int>("digits");
        QTest::addColumn<bool>("zip");
        QTest::newRow("slow: blocks and a tail per piece") << 10000 << 4 << false;
        QTest::newRow("normal: one read per piece") << 100000 << 5 << false;
        QTest::newRow("zip first: no header, no .mpg") << 10000 << 4 << true;
    }
    void emhPiecesOfARun()
    {
        QFETCH(int, blockSize);
        QFETCH(int, digits);
        QFETCH(bool, zip);
        const QString d = folder("emhrun");
        const QByteArray src = mpegPattern(70000);
        kivrotest::writeFile(d + "/m.mpg", src);
        add(d + "/m.mpg");
        gUnpackSize = 25000;
        link->opts.unpackType = UnpackType::EMH;
        link->opts.blockSize = blockSize;
        link->opts.blockDigits = digits;
        link->opts.zip = zip;
        unpack();
        QCOMPARE(lastBox(), kOneDone);
        if (zip) {
            const QByteArray archive = kivrotest::readFile(d + "/m.zip");
            QCOMPARE(files(d).filter(".mpg."), QStringList());
            QByteArray joined;
            for (const QString& piece : files(d).filter("m.zip."))
                joined += kivrotest::readFile(d + "/" + piece);
            QCOMPARE(joined, archive);
            QCOMPARE(kivrotest::readFile(d + "/m.zip.001"), archive.left(25000));
            return;
        }
        const QByteArray header = src.left(28 + 5600);
        QCOMPARE(files(d), (QStringList{"m.mpg", "m.mpg.001.mpg", "m.mpg.002.mpg", "m.mpg.003.mpg"}));
        QCOMPARE(kivrotest::readFile(d + "/m.mpg.001.mpg"), src.left(25000));
        QCOMPARE(kivrotest::readFile(d + "/m.mpg.002.mpg"), header + src.mid(25000, 25000));
        QCOMPARE(kivrotest::readFile(d + "/m.mpg.003.mpg"), header + src.mid(50000));
    }

    // A source without a sequence header is said once, however many pieces it makes; its pieces
    // are then its plain bytes under their EMH names, and the next source is said again.
    void emhWithoutHeaderSaysSoOnce_data()
    {
        QTest::addColumn<bool>("lastPart");
        QTest::addColumn<QStringList>("pieces"); // of each source
        QTest::newRow("three pieces each") << false << QStringList{"001", "002", "003"};
        QTest::newRow("last part") << true << QStringList{"001"};
    }
    void emhWithoutHeaderSaysSoOnce()
    {
        QFETCH(bool, lastPart);
        QFETCH(QStringList, pieces);
        const QString d = folder("noheader");
        const QByteArray a = pattern(70000, 1), b = pattern(60000, 2);
        kivrotest::writeFile(d + "/a.avi", a);
        kivrotest::writeFile(d + "/b.avi", b);
        add(d + "/a.avi");
        add(d + "/b.avi");
        gUnpackSize = 25000;
        gSplitModeLast = lastPart;
        link->opts.unpackType = UnpackType::EMH;
        unpack();
        QCOMPARE(Prompts::records(),
                 (QStringList{criticalBox("'" + d + "/a.avi' MPEG header not found."),
                              criticalBox("'" + d + "/b.avi' MPEG header not found."),
                              "box|Information|OK|Tesma Kivro Pro|2 files successfully unpacked!|OK"}));
        for (const auto& [name, bytes] :
             {std::pair{QStringLiteral("a.avi"), a}, std::pair{QStringLiteral("b.avi"), b}}) {
            QByteArray joined;
            for (const QString& n : pieces)
                joined += kivrotest::readFile(d + "/" + name + "." + n + ".mpg");
            QCOMPARE(joined, lastPart ? bytes.right(25000) : bytes);
        }
    }

    // The free space an EMH run needs counts the header of every piece that gets one: a source
    // of 60,000 bytes with its start code at 30,000 cut in 25,000-byte pieces writes 60,000 bytes
    // and two headers of 35,600; its last part writes 25,000 bytes and one header. A source
    // without a header needs its own size. The progress total stays the bytes split.
    void emhFreeSpaceCountsTheHeaders_data()
    {
        QTest::addColumn<bool>("lastPart");
        QTest::addColumn<bool>("header");
        QTest::addColumn<qint64>("needed");
        QTest::newRow("three pieces, two headers") << false << true << qint64(60000 + 2 * 35600);
        QTest::newRow("last part, one header") << true << true << qint64(60000 + 35600);
        QTest::newRow("no header: the file's size") << false << false << qint64(60000);
    }
    void emhFreeSpaceCountsTheHeaders()
    {
        QFETCH(bool, lastPart);
        QFETCH(bool, header);
        QFETCH(qint64, needed);
        const QString d = folder("emhspace");
        QByteArray src = pattern(60000);
        if (header)
            src.replace(30000, 4, QByteArray("\x00\x00\x01\xB3", 4));
        kivrotest::writeFile(d + "/m.mpg", src);
        add(d + "/m.mpg");
        gUnpackSize = 25000;
        gSplitModeLast = lastPart;
        link->opts.unpackType = UnpackType::EMH;
        win::InjectDiskFreeSpace(needed - 1);
        unpack();
        QCOMPARE(Prompts::records(), QStringList{criticalBox("Not enough free diskspace. Unpacking aborted!")});
        QCOMPARE(files(d), QStringList{"m.mpg"});

        Prompts::enableScripted();
        win::InjectDiskFreeSpace(needed);
        unpack();
        win::InjectDiskFreeSpace(-1);
        QCOMPARE(lastBox(), kOneDone);
        QCOMPARE(qint64(frame->mTotalBytes), lastPart ? qint64(25000) : qint64(60000));
    }

    // A piece larger than its file system holds is refused before anything is written, right
    // after the free-space test, naming the first such piece: piece 1, or the first that its EMH
    // header makes too large. A zipped source is not measured before it is made. The vfat row
    // splits a sparse file; a write limit keeps a run that does not refuse from writing gigabytes.
    void pieceLargerThanItsFileSystemHolds_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("pieceSize");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<int>("mode"); // 0 by size, 1 last part, 2 zip first
        QTest::addColumn<bool>("emh");
        QTest::addColumn<QString>("refused"); // the piece named, empty: split
        QTest::newRow("vfat: a 4 GiB piece")
            << qint64(5) * 1024 * 1024 * 1024 << qint64(4294967296) << qint64(4294967295) << 0 << false << "m.mpg.001";
        QTest::newRow("pieces of exactly the limit")
            << qint64(70000) << qint64(25000) << qint64(25000) << 0 << false << "";
        QTest::newRow("the header makes piece 2 too large")
            << qint64(70000) << qint64(25000) << qint64(30000) << 0 << true << "m.mpg.002.mpg";
        QTest::newRow("the header fits every piece")
            << qint64(70000) << qint64(25000) << qint64(30628) << 0 << true << "";
        QTest::newRow("last part with its header")
            << qint64(70000) << qint64(25000) << qint64(30000) << 1 << true << "m.mpg.001.mpg";
        QTest::newRow("zip first is not measured") << qint64(70000) << qint64(25000) << qint64(100) << 2 << false << "";
    }
    void pieceLargerThanItsFileSystemHolds()
    {
        QFETCH(qint64, size);
        QFETCH(qint64, pieceSize);
        QFETCH(qint64, limit);
        QFETCH(int, mode);
        QFETCH(bool, emh);
        QFETCH(QString, refused);
        const QString d = folder("fslimit");
        const bool sparse = size > 1000000;
        if (sparse) {
            QFile f(d + "/m.mpg");
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(size));
        } else {
            kivrotest::writeFile(d + "/m.mpg", mpegPattern(size));
        }
        add(d + "/m.mpg");
        gUnpackSize = pieceSize;
        gSplitModeLast = mode == 1;
        link->opts.zip = mode == 2;
        link->opts.unpackType = emh ? UnpackType::EMH : UnpackType::RAW;
        win::InjectMaxFileSize(d, limit);
        win::InjectDiskFreeSpace(sparse ? qint64(1) << 40 : -1);
        win::InjectWriteLimit(sparse ? 1 << 20 : -1);
        unpack();
        win::InjectMaxFileSize(QString(), -1);
        win::InjectDiskFreeSpace(-1);
        win::InjectWriteLimit(-1);
        if (refused.isEmpty()) {
            QCOMPARE(lastBox(), kOneDone);
            return;
        }
        QCOMPARE(Prompts::records(),
                 QStringList{criticalBox("'" + d + "/" + refused
                                         + "' cannot be written: its file system holds files of at most "
                                         + FormatThousands(limit) + " bytes. Unpacking aborted!")});
        QCOMPARE(files(d), QStringList{"m.mpg"});
    }

    void pieceThatCannotBeOpenedAsksToRetry()
    {
        const QString d = folder("noopen");
        const QByteArray src = pattern(2000);
        kivrotest::writeFile(d + "/m.mpg", src);
        add(d + "/m.mpg");
        gUnpackSize = 1024;
        QDir().mkpath(d + "/m.mpg.002"); // a folder stands where piece 2 goes
        Prompts::setRecordObserver([d](const QString& line) {
            if (line.contains("Cannot overwrite"))
                QDir(d + "/m.mpg.002").removeRecursively();
        });
        Prompts::queue({"OK", "Retry"});
        unpack();
        const QStringList r = Prompts::records();
        QVERIFY2(r.size() == 3, qPrintable(r.join('\n')));
        QCOMPARE(r[0], criticalBox("Error opening '" + d + "/m.mpg.002'!"));
        QVERIFY(r[1].startsWith("box|Critical|RetryCancel|Tesma Kivro Pro|Cannot overwrite '" + d + "/m.mpg.002'."));
        QCOMPARE(r[2], kOneDone);
        QCOMPARE(kivrotest::readFile(d + "/m.mpg.002"), src.mid(1024));
    }

    void oldPieceThatIsNotDeletedIsCutToItsBytes()
    {
        // A hidden name is not a "normal" file, so the old piece is written over, not deleted.
        const QString d = folder("hidden");
        const QByteArray src = pattern(3000);
        kivrotest::writeFile(d + "/.clip", src);
        kivrotest::writeFile(d + "/.clip.001", QByteArray(50000, 'x'));
        kivrotest::writeFile(d + "/.clip.002", QByteArray(50000, 'x'));
        add(d + "/.clip");
        gUnpackSize = 2000;
        unpack();
        QCOMPARE(lastBox(), kOneDone);
        QCOMPARE(kivrotest::readFile(d + "/.clip.001"), src.left(2000));
        QCOMPARE(kivrotest::readFile(d + "/.clip.002"), src.mid(2000));
    }

    // A link at an output's name (a piece, a join batch file, an archive; hidden or not; to a
    // file or to nothing, outside the folder) is replaced by a regular file that holds the
    // output: what it points to stays as it was and nothing appears where it points.
    void linkAtAnOutputNameIsReplaced_data()
    {
        QTest::addColumn<int>("kind");          // 0 RAW, 1 EMH, 2 zip first
        QTest::addColumn<QStringList>("links"); // "<name in the folder> <what it points to>"
        QTest::newRow("RAW: pieces and batch files")
            << 0
            << QStringList{"a.bin-JOIN.bat victim", ".h.bin.001 victim", "a.bin.002 elsewhere/ghost",
                           ".h.bin-JOIN.bat elsewhere/ghost2"};
        QTest::newRow("EMH: a piece with a header") << 1 << QStringList{"a.bin.002.mpg victim"};
        QTest::newRow("zip first: the archive and a piece")
            << 2 << QStringList{"a.zip victim", ".h.zip.001 elsewhere/ghost"};
    }
    void linkAtAnOutputNameIsReplaced()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, links);
        const QString d = folder("links");
        const QByteArray a = mpegPattern(3000);
        kivrotest::writeFile(d + "/a.bin", a);
        kivrotest::writeFile(d + "/.h.bin", pattern(2500, 5));
        const QByteArray victim = pattern(9000, 9);
        kivrotest::writeFile(d + "/victim", victim);
        QDir().mkpath(d + "/elsewhere");
        for (const QString& l : links)
            QVERIFY(QFile::link(d + "/" + l.section(' ', 1), d + "/" + l.section(' ', 0, 0)));
        add(d + "/a.bin");
        add(d + "/.h.bin");
        gUnpackSize = 1024;
        link->opts.joinBatch = JoinBatch::Plain;
        link->opts.unpackType = kind == 1 ? UnpackType::EMH : UnpackType::RAW;
        link->opts.zip = kind == 2;
        unpack();
        QCOMPARE(lastBox(), QStringLiteral("box|Information|OK|Tesma Kivro Pro|2 files successfully unpacked!|OK"));
        QCOMPARE(kivrotest::readFile(d + "/victim"), victim);
        QVERIFY(QDir(d + "/elsewhere").isEmpty());
        for (const QString& name :
             QDir(d).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot))
            QVERIFY2(name == "elsewhere" || !QFileInfo(d + "/" + name).isSymLink(), qPrintable(name));
        for (const QString& stem : {QStringLiteral("a"), QStringLiteral(".h")}) {
            QVERIFY(QFileInfo(d + "/" + stem + ".bin-JOIN.bat").isFile());
            const QString split = d + "/" + stem + (kind == 2 ? ".zip" : ".bin");
            // EMH pieces end in ".mpg"; .h.bin has no sequence header, so its pieces carry none.
            const QString mpg = kind == 1 ? QStringLiteral(".mpg") : QString();
            const auto piece = [&](int n) { return split + QStringLiteral(".%1").arg(n, 3, 10, QChar('0')) + mpg; };
            if (kind == 1 && stem == QLatin1String("a")) {
                // The header reaches past the end of this small source: zeros fill it.
                const QByteArray header = a.leftJustified(28 + 5600, '\0');
                QCOMPARE(kivrotest::readFile(piece(1)), a.left(1024));
                QCOMPARE(kivrotest::readFile(piece(2)), header + a.mid(1024, 1024));
                continue;
            }
            QByteArray joined;
            for (int n = 1; QFileInfo::exists(piece(n)); ++n)
                joined += kivrotest::readFile(piece(n));
            QCOMPARE(joined, kivrotest::readFile(split));
        }
    }

    // A link at an output's name that points to a listed file is refused like that file, hidden
    // or not, before anything is written.
    void linkToAListedFileIsRefused_data()
    {
        QTest::addColumn<QString>("output");
        QTest::newRow("hidden piece") << ".a.bin.002";
        QTest::newRow("batch file") << ".a.bin-JOIN.bat";
    }
    void linkToAListedFileIsRefused()
    {
        QFETCH(QString, output);
        const QString d = folder("listedlink");
        kivrotest::writeFile(d + "/.a.bin", pattern(3000));
        kivrotest::writeFile(d + "/b.bin", pattern(3000, 2));
        QVERIFY(QFile::link(d + "/b.bin", d + "/" + output));
        add(d + "/.a.bin");
        add(d + "/b.bin");
        gUnpackSize = 1024;
        link->opts.joinBatch = JoinBatch::Plain;
        unpack();
        QCOMPARE(Prompts::records(),
                 QStringList{criticalBox("Cannot unpack '" + d + "/.a.bin' because '" + d + "/" + output
                                         + "' is a file in the Pack List. Unpacking aborted!")});
        QCOMPARE(files(d), (QStringList{".a.bin", output, "b.bin"}));
        QCOMPARE(kivrotest::readFile(d + "/b.bin"), pattern(3000, 2));
    }

    // A link put at a piece's name after the old piece was deleted is not followed: the open
    // fails with File64's message and the "Cannot overwrite" question; Retry writes the piece
    // again from the deletion on (its EMH header included), Cancel ends the run without success.
    // What the link points to stays as it was either way.
    void linkPutAtAPieceMeanwhile_data()
    {
        QTest::addColumn<bool>("emh");
        QTest::addColumn<int>("open"); // which open of piece 2 meets the link: 1st, or 2nd (EMH: after its header)
        QTest::addColumn<QString>("answer");
        QTest::newRow("RAW, Retry") << false << 1 << "Retry";
        QTest::newRow("RAW, Cancel") << false << 1 << "Cancel";
        QTest::newRow("EMH header, Retry") << true << 1 << "Retry";
        QTest::newRow("EMH after the header, Retry") << true << 2 << "Retry";
    }
    void linkPutAtAPieceMeanwhile()
    {
        QFETCH(bool, emh);
        QFETCH(int, open);
        QFETCH(QString, answer);
        const QString d = folder("linkrace");
        const QByteArray src = mpegPattern(70000);
        kivrotest::writeFile(d + "/m.mpg", src);
        kivrotest::writeFile(d + "/victim", "keep");
        add(d + "/m.mpg");
        gUnpackSize = 25000;
        link->opts.unpackType = emh ? UnpackType::EMH : UnpackType::RAW;
        const QString piece = d + (emh ? "/m.mpg.002.mpg" : "/m.mpg.002");
        const auto plant = [piece, d] {
            QFile::remove(piece);
            QVERIFY(QFile::link(d + "/victim", piece));
        };
        if (open == 1)
            win::InjectBeforeWriteOpen(piece, plant);
        else
            win::InjectBeforeWriteOpen(piece, [piece, plant] { win::InjectBeforeWriteOpen(piece, plant); });
        Prompts::queue({"OK", answer});
        unpack();
        const QStringList r = Prompts::records();
        QVERIFY2(r.size() == 3, qPrintable(r.join('\n')));
        QCOMPARE(r[0], criticalBox("Error opening '" + piece + "'!"));
        QCOMPARE(r[1], QStringLiteral("box|Critical|RetryCancel|Tesma Kivro Pro|Cannot overwrite '%1'. "
                                      "Disk full/write-protected or file is in use.|%2")
                           .arg(piece, answer));
        QCOMPARE(kivrotest::readFile(d + "/victim"), QByteArray("keep"));
        if (answer == QLatin1String("Cancel")) {
            QCOMPARE(r[2], QStringLiteral("box|Information|OK|Tesma Kivro Pro|Unpacking aborted by user|OK"));
            QVERIFY(QFileInfo(piece).isSymLink());
            return;
        }
        QCOMPARE(r[2], kOneDone);
        QVERIFY(!QFileInfo(piece).isSymLink());
        QCOMPARE(kivrotest::readFile(piece), (emh ? src.left(28 + 5600) : QByteArray()) + src.mid(25000, 25000));
    }

    void sourceThatCannotBeOpenedWritesNothing()
    {
        const QString d = folder("locked");
        kivrotest::writeFile(d + "/a.mpg", pattern(5000));
        kivrotest::writeFile(d + "/b.mpg", pattern(5000, 3));
        add(d + "/a.mpg");
        add(d + "/b.mpg");
        gUnpackSize = 1024;
        link->deleteAfter = DeleteAfterAction::NoPrompt;
        // Another writer holds b.mpg, so it cannot be opened for reading.
        const win::HANDLE writer = win::CreateFileA(d + "/b.mpg", win::GENERIC_WRITE, 0, win::OPEN_EXISTING);
        QVERIFY(writer != win::INVALID_HANDLE_VALUE);
        unpack();
        win::CloseHandle(writer);
        QCOMPARE(Prompts::records(), QStringList{criticalBox("Error opening '" + d + "/b.mpg'!")});
        QCOMPARE(files(d), (QStringList{"a.mpg", "b.mpg"}));
    }

    void sourceThatShrinksEndsTheRun()
    {
        const QString d = folder("shrink");
        kivrotest::writeFile(d + "/m.mpg", pattern(500000));
        add(d + "/m.mpg");
        gUnpackSize = 300000;
        link->deleteAfter = DeleteAfterAction::NoPrompt;
        // The first progress update lets another program cut the file short.
        QTimer::singleShot(0, [d] { QFile::resize(d + "/m.mpg", 350000); });
        unpack();
        const QString box = lastBox();
        QVERIFY2(box.startsWith("box|Critical|OK|Tesma Kivro Pro|Unexpected error."), qPrintable(box));
        QVERIFY(box.contains("Error 62: 'Input past end of file'  detected."));
        QVERIFY(!Prompts::records().join('\n').contains("successfully unpacked"));
        QVERIFY(QFile::exists(d + "/m.mpg"));
    }

    void failedZipSplitsNothing()
    {
        const QString d = folder("zipfail");
        kivrotest::writeFile(d + "/m.mpg", pattern(5000));
        add(d + "/m.mpg");
        gUnpackSize = 1024;
        link->opts.zip = true;
        link->deleteAfter = DeleteAfterAction::NoPrompt;
        static const Zip::ZipLibrary failing{[](const zipapi::ZpCallbacks*) { return std::int32_t(1); },
                                             [](const zipapi::ZpOptions*) { return std::int32_t(1); },
                                             [](std::int32_t, const char*, const zipapi::ZpNameList*) {
                                                 gZipMessage = QStringLiteral("zip error: out of space");
                                                 return std::int32_t(4);
                                             }};
        Zip::SetZipLibrary(&failing);
        unpack();
        QCOMPARE(Prompts::records(), QStringList{criticalBox("zip error: out of space\\n\\nZipping aborted.")});
        QCOMPARE(files(d), QStringList{"m.mpg"});
        QVERIFY(link->calls.contains("zip caption Zipping '" + d + "/m.mpg'"));
    }

    void namesAreCheckedBeforeAnythingIsWritten_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<int>("target"); // 0 save file, 1 where file, 2 custom
        QTest::addColumn<bool>("zip");
        QTest::addColumn<int>("batch");
        QTest::addColumn<QString>("message"); // %1 is the folder
        QTest::newRow("archive is a listed file")
            << QStringList{"m.mpg", "m.zip"} << 1 << true << 0
            << "You are trying to zip and unpack a file that already exist in the Pack List. Packing aborted!";
        QTest::newRow("one name into one folder")
            << QStringList{"a/x.mpg", "b/x.mpg"} << 2 << false << 0
            << "Cannot unpack '%1/b/x.mpg' because its pieces would replace those of '%1/a/x.mpg'. Unpacking aborted!";
        QTest::newRow("two sources of one archive")
            << QStringList{"a.mpg", "a.avi"} << 1 << true << 0
            << "Cannot unpack '%1/a.avi' because its pieces would replace those of '%1/a.mpg'. Unpacking aborted!";
        QTest::newRow("batch files of one name") << QStringList{"a/x.mpg", "b/x.mpg"} << 1 << false << 1
                                                 << QString(); // pieces beside each source: no clash, the run goes on
        QTest::newRow("a piece is a listed file")
            << QStringList{"out.001"} << 0 << false << 0
            << "Cannot unpack '%1/out.001' because '%1/out.001' is a file in the Pack List. Unpacking aborted!";
        QTest::newRow("a batch file is a listed file")
            << QStringList{"m.mpg", "m.mpg-JOIN.bat"} << 1 << false << 2
            << "Cannot unpack '%1/m.mpg' because '%1/m.mpg-JOIN.bat' is a file in the Pack List. Unpacking aborted!";
        QTest::newRow("name a batch file cannot carry")
            << QStringList{"say \"hi\".mpg"} << 1 << false << 1
            << "Cannot unpack '%1/say \"hi\".mpg' because its name holds a character that a batch file cannot carry. "
               "Unpacking aborted!";
        QTest::newRow("same file twice is allowed") << QStringList{"m.mpg", "m.mpg"} << 1 << true << 1 << QString();
    }
    void namesAreCheckedBeforeAnythingIsWritten()
    {
        QFETCH(QStringList, sources);
        QFETCH(int, target);
        QFETCH(bool, zip);
        QFETCH(int, batch);
        QFETCH(QString, message);
        const QString d = folder("names");
        int seed = 0;
        for (const QString& s : sources) {
            if (!QFile::exists(d + "/" + s))
                kivrotest::writeFile(d + "/" + s, pattern(3000, ++seed));
            add(d + "/" + s);
        }
        QDir().mkpath(d + "/c");
        gUnpackCustomDir = d + "/c";
        gUnpackSize = 1024;
        link->opts.unpackTarget = UnpackTarget(target);
        link->opts.saveAsFile = d + "/out";
        link->opts.zip = zip;
        link->opts.joinBatch = JoinBatch(batch);
        QDir all(d);
        const auto before = QDir(d).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        unpack();
        if (message.isEmpty()) {
            QVERIFY2(lastBox().contains("files successfully unpacked!"), qPrintable(lastBox()));
            return;
        }
        QCOMPARE(Prompts::records(), QStringList{criticalBox(message.contains("%1") ? message.arg(d) : message)});
        QCOMPARE(all.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
        QVERIFY(QDir(d + "/c").isEmpty());
    }

    void percentageUsesThePieceOfEachFile()
    {
        const QString d = folder("percent");
        kivrotest::writeFile(d + "/big", pattern(1000));
        add(d + "/big");
        gSplitModePercent = true;
        gSplitPercent = 50;
        gUnpackSize = 5000; // left over from an earlier run: not a size limit here
        unpack();
        QCOMPARE(lastBox(), kOneDone);
        QCOMPARE(files(d), (QStringList{"big", "big.001", "big.002"}));
        QCOMPARE(gUnpackSize, 500LL);

        const QString e = folder("percent3");
        kivrotest::writeFile(e + "/tiny", pattern(3));
        link->list.clear();
        add(e + "/tiny");
        gSplitPercent = 29;
        Prompts::enableScripted();
        unpack();
        QCOMPARE(Prompts::records(),
                 QStringList{criticalBox("Cannot unpack '" + e
                                         + "/tiny' because it is a smaller than 4 bytes. Unpacking aborted!")});
        QCOMPARE(files(e), QStringList{"tiny"});
    }

    void firstOrLastPartOfASmallArchiveIsRefused()
    {
        const QString d = folder("smallzip");
        kivrotest::writeFile(d + "/m.mpg", QByteArray(20000, 'a')); // compresses to far less than 4K
        add(d + "/m.mpg");
        gSplitModeLast = true;
        gUnpackSize = 4096;
        link->opts.zip = true;
        unpack();
        const QStringList r = Prompts::records();
        QCOMPARE(r.size(), 2);
        QVERIFY(r[0].contains("successfully zipped as '" + d + "/m.zip'"));
        QCOMPARE(r[1], criticalBox("Cannot unpack '" + d
                                   + "/m.zip' because it is a smaller than 4,096 bytes. Unpacking aborted!"));
        QCOMPARE(files(d), (QStringList{"m.mpg", "m.zip"}));
    }

    void yesToTheCustomFolderQuestionDisarms()
    {
        const QString d = folder("yes");
        kivrotest::writeFile(d + "/a", pattern(2000));
        kivrotest::writeFile(d + "/b", pattern(2000));
        add(d + "/a");
        add(d + "/b");
        link->opts.unpackTarget = UnpackTarget::SaveFile;
        Prompts::queue("Yes");
        unpack();
        QCOMPARE(Prompts::records().size(), 1);
        QCOMPARE(link->calls, QStringList{"custom"});
        QVERIFY(!gActionArmed);
        QCOMPARE(files(d), (QStringList{"a", "b"}));
    }

    void saveAsTextMustBeAFullPath_data()
    {
        QTest::addColumn<QString>("saveAs");
        QTest::newRow("empty") << QString();
        QTest::newRow("relative") << QStringLiteral("out.mpg");
    }
    void saveAsTextMustBeAFullPath()
    {
        QFETCH(QString, saveAs);
        const QString d = folder("relative");
        kivrotest::writeFile(d + "/m", pattern(3000));
        add(d + "/m");
        gUnpackSize = 1024;
        link->opts.unpackTarget = UnpackTarget::SaveFile;
        link->opts.saveAsFile = saveAs;
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(d);
        unpack();
        QDir::setCurrent(cwd);
        QCOMPARE(Prompts::records(), QStringList{criticalBox("Not enough free diskspace. Unpacking aborted!")});
        QCOMPARE(files(d), QStringList{"m"});
    }

    void batchFileWriteFailureNamesTheBatchFile()
    {
        const QString d = folder("batchfail");
        kivrotest::writeFile(d + "/m.mpg", pattern(3000));
        add(d + "/m.mpg");
        gUnpackSize = 1024;
        link->opts.joinBatch = JoinBatch::Plain;
        QDir().mkpath(d + "/m.mpg-JOIN.bat"); // cannot be written as a file
        Prompts::queue("Cancel");
        unpack();
        const QStringList r = Prompts::records();
        QCOMPARE(r.size(), 2);
        QCOMPARE(r[0], QStringLiteral("box|Critical|RetryCancel|Tesma Kivro Pro|Cannot overwrite '%1/m.mpg-JOIN.bat'. "
                                      "Disk full/write-protected or file is in use.|Cancel")
                           .arg(d));
        QCOMPARE(r[1], QStringLiteral("box|Information|OK|Tesma Kivro Pro|Unpacking aborted by user|OK"));
    }

    // A name longer than the file system holds (a piece, the archive, the join batch file) is
    // said as such and ends the run, without a Retry that could never succeed.
    void nameTooLongEndsWithoutRetry_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("written"); // files in the folder after the run, the source included
        QTest::newRow("first piece") << 252 << "plain"
                                     << ".001" << 1;
        QTest::newRow("zip archive") << 252 << "zip"
                                     << ".zip" << 1;
        QTest::newRow("join batch file") << 248 << "batch"
                                         << "-JOIN.bat" << 4;
    }
    void nameTooLongEndsWithoutRetry()
    {
        QFETCH(int, length);
        QFETCH(QString, what);
        QFETCH(QString, suffix);
        QFETCH(int, written);
        const QString d = folder("toolong-" + what);
        const QString source = d + "/" + QString(length, QLatin1Char('n'));
        kivrotest::writeFile(source, pattern(3000));
        add(source);
        gUnpackSize = 1024;
        link->opts.zip = what == QLatin1String("zip");
        link->opts.joinBatch = what == QLatin1String("batch") ? JoinBatch::Plain : JoinBatch::None;
        link->deleteAfter = DeleteAfterAction::NoPrompt;
        unpack();
        QCOMPARE(Prompts::records(),
                 QStringList{criticalBox("'" + source + suffix
                                         + "' cannot be written: the name is too long. Unpacking aborted!")});
        QCOMPARE(files(d).size(), written);
        QCOMPARE(kivrotest::readFile(source), pattern(3000));
    }

    void progressCountsWhatIsSplit()
    {
        const QString d = folder("progress");
        kivrotest::writeFile(d + "/m.mpg", QByteArray(300000, 'a'));
        add(d + "/m.mpg");
        gUnpackSize = 1024;
        link->opts.zip = true;
        unpack();
        QCOMPARE(lastBox(), kOneDone);
        const qint64 archive = QFileInfo(d + "/m.zip").size();
        QCOMPARE(qint64(frame->mTotalBytes), archive);
        QCOMPARE(qint64(frame->mBytesDone), archive);

        Prompts::enableScripted();
        gSplitModeFirst = true;
        gUnpackSize = 100;
        link->opts.zip = false;
        add(d + "/m.mpg");
        unpack();
        QCOMPARE(lastBox(), QStringLiteral("box|Information|OK|Tesma Kivro Pro|2 files successfully unpacked!|OK"));
        QCOMPARE(qint64(frame->mTotalBytes), 200LL);
    }

    void moreThan32767Pieces()
    {
        const QString d = folder("many");
        const QByteArray src = pattern(33000);
        kivrotest::writeFile(d + "/m", src);
        add(d + "/m");
        gUnpackSize = 1;
        link->opts.blockSize = 10000;
        link->opts.blockDigits = 4;
        unpack();
        QCOMPARE(lastBox(), kOneDone);
        QCOMPARE(files(d).size(), 33001);
        QCOMPARE(kivrotest::readFile(d + "/m.00001"), src.left(1));
        QCOMPARE(kivrotest::readFile(d + "/m.33000"), src.right(1));
        QVERIFY(!QFile::exists(d + "/m.33001"));
    }

    void cancelInAProgressUpdateStopsEverything()
    {
        const QString d = folder("cancel");
        kivrotest::writeFile(d + "/m.mpg", pattern(500000));
        add(d + "/m.mpg");
        gUnpackSize = 100000;
        link->opts.joinBatch = JoinBatch::Plain;
        link->deleteAfter = DeleteAfterAction::NoPrompt;
        QTimer::singleShot(0, [this] {
            link->pointer = MainWindowLink::kPointerHand;
            gCancelArmed = true;
            frame->UnPackCANCELImg_Click();
        });
        unpack();
        QCOMPARE(Prompts::records(), QStringList{"box|Information|OK|Tesma Kivro Pro|Unpacking aborted by user|OK"});
        QCOMPARE(files(d), (QStringList{"m.mpg", "m.mpg.001"}));
    }
};

KIVRO_TEST_MAIN(TestUnpack)
#include "tst_unpack.moc"
