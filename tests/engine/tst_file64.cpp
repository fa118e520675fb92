// File64: the shared handle table, 64-bit positions, honest read and write counts, and the three
// messages it shows.
#include "KivroTest.h"

#include "engine/EngineGlobals.h"
#include "engine/File64.h"

#include "platform/FileApi.h"
#include "platform/RuntimeError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kivro;

class TestFile64 : public QObject {
    Q_OBJECT

    QString dir;
    QString path(const QString& name) const { return dir + QLatin1Char('/') + name; }

    static QStringList boxTexts()
    {
        QStringList texts;
        for (const QString& r : Prompts::records())
            texts << r.section(QLatin1Char('|'), 4, 4);
        return texts;
    }

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/files");
        QDir().mkpath(dir);
    }
    void init()
    {
        Prompts::enableScripted();
        gOpenFileHandles.clear();
        gOpenFileCount = 0;
        gFileOpenError = 0;
    }

    void closeAllOnFreshObjectSaysNoOpenFileOnly()
    {
        File64 f;
        f.CloseAllFiles();
        QCOMPARE(Prompts::records(),
                 QStringList{QStringLiteral("box|Critical|OK|Tesma Kivro Pro|There is no open file.|OK")});
        QCOMPARE(gOpenFileCount, 0);
        QVERIFY(!f.IsOpen());
    }

    void tableKeepsOpeningOrderAndCloseRemovesOne()
    {
        kivrotest::writeFile(path("a"), "A");
        kivrotest::writeFile(path("b"), "B");
        File64 f;
        f.OpenFile(path("a"), QStringLiteral("READ_ONLY"));
        const qint32 ha = f.FileHandle();
        f.OpenFile(path("b"), QStringLiteral("READ_ONLY"));
        const qint32 hb = f.FileHandle();
        QCOMPARE(gOpenFileCount, 2);
        f.CloseFile(ha);
        QCOMPARE(gOpenFileHandles, QVector<qint32>{hb});
        QCOMPARE(gOpenFileCount, 1);
        // The current handle stays set, so no message; B is closed once.
        f.CloseAllFiles();
        QVERIFY(boxTexts().isEmpty());
        QCOMPARE(gOpenFileCount, 0);
        QVERIFY(!f.IsOpen());
    }

    void readOnlyNeverCreates()
    {
        File64 f;
        f.OpenFile(path("missing"), QStringLiteral("READ_ONLY"));
        QVERIFY(!QFile::exists(path("missing")));
        QCOMPARE(gFileOpenError, 75);
        QCOMPARE(gOpenFileHandles, QVector<qint32>{-1});
        QCOMPARE(boxTexts(), QStringList{QStringLiteral("Error opening '%1'!").arg(path("missing"))});
    }

    void readWriteCreatesAndSharingIsRefused()
    {
        File64 f;
        f.OpenFile(path("new"), QStringLiteral("READ_WRITE"));
        QCOMPARE(gFileOpenError, 0);
        QVERIFY(QFile::exists(path("new")));
        const qint32 w = f.FileHandle();
        // While it is open for writing, nobody else may open it.
        File64 g;
        g.OpenFile(path("new"), QStringLiteral("READ_ONLY"));
        QCOMPARE(gFileOpenError, 75);
        QCOMPARE(gOpenFileCount, 2);
        f.CloseFile(w);
        g.OpenFile(path("new"), QStringLiteral("READ_ONLY"));
        QCOMPARE(gFileOpenError, 0);
        // ... and a reader blocks a writer.
        File64 h;
        h.OpenFile(path("new"), QStringLiteral("READ_WRITE"));
        QCOMPARE(gFileOpenError, 75);
        g.CloseAllFiles();
    }

    // The last close of an output first asks whether it is still the file at its name: another
    // name for it changes nothing; once the name no longer leads to it, the close raises
    // kErrOutputRemoved. The handle is closed either way.
    void closeOfAnOutputNoLongerAtItsName_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("removed");
        QTest::newRow("unchanged") << "" << false;
        QTest::newRow("a second name added") << "link" << false;
        QTest::newRow("removed, a second name kept") << "link unlink" << true;
        QTest::newRow("renamed") << "rename" << true;
        QTest::newRow("folder removed") << "rmdir" << true;
    }
    void closeOfAnOutputNoLongerAtItsName()
    {
        QFETCH(QString, change);
        QFETCH(bool, removed);
        const QString sub = kivrotest::freshFolder(path("out"));
        const QString out = sub + QStringLiteral("/o");
        const QByteArray native = QFile::encodeName(out);
        File64 f;
        f.OpenFile(out, QStringLiteral("READ_WRITE"));
        const qint32 h = f.FileHandle();
        if (change.contains(QLatin1String("link")))
            QCOMPARE(::link(native.constData(), QFile::encodeName(path("second")).constData()), 0);
        if (change.contains(QLatin1String("unlink")))
            QCOMPARE(::unlink(native.constData()), 0);
        if (change == QLatin1String("rename"))
            QVERIFY(QFile::rename(out, sub + QStringLiteral("/p")));
        if (change == QLatin1String("rmdir"))
            QVERIFY(QDir(sub).removeRecursively());
        int raised = 0;
        try {
            CloseOutputFile(f, h, false, out);
        } catch (const RuntimeError& e) {
            raised = e.number();
        }
        QFile::remove(path("second"));
        QCOMPARE(raised, removed ? kErrOutputRemoved : 0);
        QCOMPARE(gOpenFileCount, 0);
        QCOMPARE(win::HandleFd(h), -1);
    }

    void fifoAndFolderFailAtOnce()
    {
        const QByteArray fifo = QFile::encodeName(path("fifo"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        File64 f;
        f.OpenFile(path("fifo"), QStringLiteral("READ_ONLY"));
        QCOMPARE(gFileOpenError, 75);
        f.OpenFile(path("fifo"), QStringLiteral("READ_WRITE"));
        QCOMPARE(gFileOpenError, 75);
        f.OpenFile(dir, QStringLiteral("READ_ONLY"));
        QCOMPARE(gFileOpenError, 75);
        QCOMPARE(GetFileLen(path("fifo")), 0);
        QCOMPARE(GetFileLen(dir), 0);
        f.CloseAllFilesQuietly();
    }

    // A file is written only at its own name: an open for writing of a link fails with the
    // "Error opening" message and leaves what the link points to (or the nothing it points to)
    // as it was; a link is read through, as a user's inputs may be links.
    void writingNeverFollowsALinkReadingDoes()
    {
        kivrotest::writeFile(path("target"), "keep");
        QVERIFY(QFile::link(path("target"), path("to target")));
        QVERIFY(QFile::link(path("nowhere"), path("dangling")));
        File64 f;
        for (const QString& link : {path("to target"), path("dangling")}) {
            f.OpenFile(link, QStringLiteral("READ_WRITE"));
            QCOMPARE(gFileOpenError, 75);
            QCOMPARE(f.lastErrno(), ELOOP);
        }
        QCOMPARE(boxTexts(), (QStringList{QStringLiteral("Error opening '%1'!").arg(path("to target")),
                                          QStringLiteral("Error opening '%1'!").arg(path("dangling"))}));
        QCOMPARE(kivrotest::readFile(path("target")), QByteArray("keep"));
        QVERIFY(!QFileInfo::exists(path("nowhere")));
        f.OpenFile(path("to target"), QStringLiteral("READ_ONLY"));
        QCOMPARE(gFileOpenError, 0);
        qint32 got = 0;
        QCOMPARE(f.GetBytes(f.FileHandle(), 1, 4, got), std::optional<QByteArray>("keep"));
        f.CloseAllFilesQuietly();
    }

    void shortReadIsZeroFilledAndCounted()
    {
        kivrotest::writeFile(path("100"), QByteArray(100, 'x'));
        File64 f;
        f.OpenFile(path("100"), QStringLiteral("READ_ONLY"));
        qint32 got = -1;
        const auto bytes = f.GetBytes(f.FileHandle(), 1, 32768, got);
        QVERIFY(bytes.has_value());
        QCOMPARE(bytes->size(), 32768);
        QCOMPARE(got, 100);
        QCOMPARE(bytes->mid(100), QByteArray(32668, '\0'));
        f.CloseAllFiles();
    }

    void staleOrInvalidHandlesNeitherReadNorWrite()
    {
        kivrotest::writeFile(path("s1"), "first");
        File64 f;
        // No current file: the empty value.
        qint32 got = 5;
        QVERIFY(!f.GetBytes(123, 1, 10, got).has_value());
        QCOMPARE(got, 0);

        f.OpenFile(path("s1"), QStringLiteral("READ_ONLY"));
        const qint32 old = f.FileHandle();
        f.CloseFile(old);
        f.OpenFile(path("s2"), QStringLiteral("READ_WRITE"));
        const qint32 fresh = f.FileHandle();
        QVERIFY(fresh != old); // ids are never reused
        QVERIFY(!f.GetBytes(old, 1, 10, got).has_value());
        QCOMPARE(got, 0);
        qint32 written = 7;
        f.WriteBytes(old, QByteArray("zzz"), written);
        QCOMPARE(written, 0);
        f.WriteBytes(-1, QByteArray("zzz"), written);
        QCOMPARE(written, 0);
        f.WriteBytes(fresh, QByteArray("abc"), written);
        QCOMPARE(written, 3);
        f.CloseAllFiles();
        QCOMPARE(kivrotest::readFile(path("s1")), QByteArray("first"));
        QCOMPARE(kivrotest::readFile(path("s2")), QByteArray("abc"));
    }

    void shortWriteIsReported()
    {
        File64 f;
        f.OpenFile(path("full"), QStringLiteral("READ_WRITE"));
        win::InjectWriteLimit(4);
        qint32 written = 0;
        f.WriteBytes(f.FileHandle(), QByteArray(10, 'q'), written);
        win::InjectWriteLimit(-1);
        QCOMPARE(written, 4);
        f.CloseAllFiles();
    }

    void positionsPastFourGigabytes()
    {
        // Sparse: 6 GiB on paper, a few bytes on disk.
        const QString big = path("big");
        {
            File64 f;
            f.OpenFile(big, QStringLiteral("READ_WRITE"));
            qint32 hi = 0, lo = 0;
            SplitPosition(5000000000LL, hi, lo);
            QCOMPARE(hi, 1);
            QCOMPARE(lo, 705032704);
            f.SeekAbsolute(hi, lo);
            qint32 written = 0;
            f.WriteBytes(f.FileHandle(), QByteArray("MK"), written);
            QCOMPARE(written, 2);
            SplitPosition(6442450943LL, hi, lo);
            f.SeekAbsolute(hi, lo);
            f.WriteBytes(f.FileHandle(), QByteArray("E"), written);
            f.CloseAllFiles();
        }
        QCOMPARE(GetFileLen(big), Q_INT64_C(6442450944));
        qint32 hi = 0, lo = 0;
        SplitPosition(3000000000LL, hi, lo);
        QCOMPARE(hi, 0);
        QCOMPARE(lo, -1294967296);

        File64 f;
        f.OpenFile(big, QStringLiteral("READ_ONLY"));
        f.SeekAbsolute(1, 705032704);
        qint32 got = 0;
        const auto bytes = f.GetBytes(f.FileHandle(), 1, 2, got);
        QCOMPARE(got, 2);
        QCOMPARE(*bytes, QByteArray("MK"));
        f.CloseAllFiles();
        QVERIFY(boxTexts().isEmpty());
    }

    void noCurrentFileMessages()
    {
        File64 f;
        QCOMPARE(f.FileHandle(), -1);
        f.filename();
        f.Flush();
        f.SeekAbsolute(0, 0);
        f.SeekRelative(1);
        f.CloseFile(-1);
        // SeekRelative also reports the failed move itself.
        QStringList expected(6, QStringLiteral("There is no open file."));
        expected.insert(5, QStringLiteral("Error seeking!"));
        QCOMPARE(boxTexts(), expected);
        QVERIFY(!f.IsOpen());
    }

    void getFileLenOfMissingOrLongPath()
    {
        QCOMPARE(GetFileLen(path("nothing")), 0);
        QString deep = dir;
        for (int i = 0; i < 30; ++i)
            deep += QStringLiteral("/a-rather-long-folder-name");
        QDir().mkpath(deep);
        kivrotest::writeFile(deep + QStringLiteral("/f"), "12345");
        QCOMPARE(GetFileLen(deep + QStringLiteral("/f")), 5);
    }
};

KIVRO_TEST_MAIN(TestFile64)
#include "tst_file64.moc"
