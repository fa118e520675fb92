// The zip library layer: archives that a standard unzip accepts and that give back the exact
// bytes, entry names relative to the root, the update mode, and failures that always explain
// themselves and never leave a broken archive behind.
#include "KivroTest.h"

#include "platform/ZipApi.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace kivro;
using namespace kivro::zipapi;

namespace {

QStringList g_printed;
// Called with every text printed, where the caller's windows would run.
std::function<void(const QString&)> g_onPrint;

std::int32_t recordPrint(char* buffer, std::uint32_t length)
{
    g_printed << QString::fromLocal8Bit(buffer, qsizetype(length));
    if (g_onPrint)
        g_onPrint(g_printed.last());
    return 0;
}

struct Run {
    std::int32_t result = -1;
    QStringList printed;
};

Run zipNames(const QString& archive, const QStringList& names, const QString& root = QStringLiteral("/"),
             bool update = false, bool recurse = false, std::uint8_t level = 0)
{
    g_printed.clear();
    ZpCallbacks cb;
    cb.print = &recordPrint;
    ZpInit(&cb);
    const QByteArray rootBytes = root.toLocal8Bit();
    ZpOptions o;
    o.flags[kZpFlagUpdate] = update ? 1 : 0;
    o.flags[kZpFlagRecurse] = recurse ? 1 : 0;
    o.level = level;
    o.rootDir = rootBytes.constData();
    ZpSetOptions(&o);
    QList<QByteArray> texts{QByteArrayLiteral("querty")};
    for (const QString& n : names)
        texts << n.toLocal8Bit();
    ZpNameList list;
    for (int i = 0; i < texts.size(); ++i)
        list.names[i] = texts[i].constData();
    const QByteArray a = archive.toLocal8Bit();
    Run r;
    r.result = ZpArchive(std::int32_t(texts.size()), a.constData(), &list);
    r.printed = g_printed;
    return r;
}

int unzip(const QStringList& args, QByteArray* out = nullptr)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), args);
    if (!p.waitForFinished(120000))
        return -1;
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitCode();
}

// Entries of an archive as unzip lists them.
QStringList entries(const QString& archive)
{
    QByteArray out;
    unzip({QStringLiteral("-Z1"), archive}, &out);
    return QString::fromLocal8Bit(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArray mixedBytes(qsizetype size, quint32 seed)
{
    // Half random, half text: both kinds of deflate block get written.
    QByteArray b(size, Qt::Uninitialized);
    QRandomGenerator rng(seed);
    const QByteArray text = QByteArrayLiteral("Sequence header 000001B3, frame rate 25, picture 720x576. ");
    for (qsizetype i = 0; i < size; i += 4096) {
        const qsizetype n = std::min<qsizetype>(4096, size - i);
        if ((i / 4096) % 2 == 0)
            rng.fillRange(reinterpret_cast<quint32*>(b.data() + i), n / 4);
        for (qsizetype k = ((i / 4096) % 2 == 0) ? (n / 4) * 4 : 0; k < n; ++k)
            b[i + k] = text[(i + k) % text.size()];
    }
    return b;
}

} // namespace

class TestZipApi : public QObject {
    Q_OBJECT

    QString dir;
    QString path(const QString& name) const { return dir + QLatin1Char('/') + name; }
    static QString entryOf(const QString& fullPath) { return fullPath.mid(1); }

private slots:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty(), "unzip is needed");
        dir = kivrotest::rootDir() + QStringLiteral("/zipapi");
        QDir().mkpath(dir);
    }
    void cleanupTestCase() { QDir(dir).removeRecursively(); }

    void archivesPassUnzipAndGiveBackTheBytes_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::newRow("one byte") << qsizetype(1);
        QTest::newRow("odd size") << qsizetype(123457);
        QTest::newRow("50 MB") << qsizetype(50 * 1000 * 1000);
    }
    void archivesPassUnzipAndGiveBackTheBytes()
    {
        QFETCH(qsizetype, size);
        const QString src = path(QStringLiteral("movie %1.mpg").arg(size));
        const QByteArray bytes = mixedBytes(size, quint32(size));
        kivrotest::writeFile(src, bytes);
        const QString archive = path(QStringLiteral("movie %1.zip").arg(size));

        const Run r = zipNames(archive, {src});
        QCOMPARE(r.result, kZpOk);

        QByteArray out;
        QCOMPARE(unzip({QStringLiteral("-t"), archive}, &out), 0);
        QVERIFY2(out.contains("No errors detected"), out.constData());
        QCOMPARE(entries(archive), QStringList{entryOf(src)});
        QByteArray back;
        QCOMPARE(unzip({QStringLiteral("-p"), archive, entryOf(src)}, &back), 0);
        QCOMPARE(back.size(), bytes.size());
        QCOMPARE(QCryptographicHash::hash(back, QCryptographicHash::Sha256),
                 QCryptographicHash::hash(bytes, QCryptographicHash::Sha256));
        // Deflate at the normal level (not maximum, not fast).
        QCOMPARE(unzip({QStringLiteral("-v"), archive}, &out), 0);
        QVERIFY2(out.contains("Defl:N"), out.constData());
        if (size > 1000000) {
            // A long compression reports its progress while it runs, not only at the end.
            QVERIFY2(r.printed.size() > 5, qPrintable(r.printed.join(QLatin1Char('\n'))));
            bool midway = false;
            for (const QString& t : r.printed)
                midway = midway || (t.contains(QLatin1String(": 5")) && t.endsWith(QLatin1Char('%')));
            QVERIFY2(midway, qPrintable(r.printed.join(QLatin1Char('\n'))));
        }
    }

    void entryNamesAreRelativeToTheRoot_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QStringList>("expected");
        const QString d = dir.mid(1);
        QTest::newRow("root of the file system")
            << QStringLiteral("/")
            << QStringList{d + QStringLiteral("/rel/Video/a.mpg"), d + QStringLiteral("/rel/Video/sub/b.mpg"),
                           d + QStringLiteral("/rel/other/c.mpg")};
        QTest::newRow("empty root") << QString()
                                    << QStringList{d + QStringLiteral("/rel/Video/a.mpg"),
                                                   d + QStringLiteral("/rel/Video/sub/b.mpg"),
                                                   d + QStringLiteral("/rel/other/c.mpg")};
        // The root arrives upper-cased; it still matches, and a path outside it keeps its full path.
        QTest::newRow("upper-cased root") << (dir + QStringLiteral("/rel/video")).toUpper()
                                          << QStringList{QStringLiteral("a.mpg"), QStringLiteral("sub/b.mpg"),
                                                         d + QStringLiteral("/rel/other/c.mpg")};
        QTest::newRow("root with slash") << dir + QStringLiteral("/rel/Video/")
                                         << QStringList{QStringLiteral("a.mpg"), QStringLiteral("sub/b.mpg"),
                                                        d + QStringLiteral("/rel/other/c.mpg")};
        // A root that is only a prefix of a folder name is no parent of it.
        QTest::newRow("prefix is no parent")
            << dir + QStringLiteral("/rel/Vid")
            << QStringList{d + QStringLiteral("/rel/Video/a.mpg"), d + QStringLiteral("/rel/Video/sub/b.mpg"),
                           d + QStringLiteral("/rel/other/c.mpg")};
    }
    void entryNamesAreRelativeToTheRoot()
    {
        QFETCH(QString, root);
        QFETCH(QStringList, expected);
        const QStringList files = {path(QStringLiteral("rel/Video/a.mpg")), path(QStringLiteral("rel/Video/sub/b.mpg")),
                                   path(QStringLiteral("rel/other/c.mpg"))};
        for (const QString& f : files)
            kivrotest::writeFile(f, f.toUtf8());
        const QString archive = path(QStringLiteral("rel.zip"));
        QCOMPARE(zipNames(archive, files, root).result, kZpOk);
        QCOMPARE(entries(archive), expected);
        QByteArray back;
        QCOMPARE(unzip({QStringLiteral("-p"), archive, expected.at(1)}, &back), 0);
        QCOMPARE(back, files.at(1).toUtf8());
    }

    void newArchiveReplacesOldOneAndUpdateAddsToIt()
    {
        const QString a = path(QStringLiteral("upd/a.mpg")), b = path(QStringLiteral("upd/b.mpg"));
        kivrotest::writeFile(a, "first");
        kivrotest::writeFile(b, "second");
        const QString archive = path(QStringLiteral("upd/x.zip"));
        kivrotest::writeFile(archive, "this is no zip archive");
        QCOMPARE(zipNames(archive, {a}).result, kZpOk);
        QCOMPARE(entries(archive), QStringList{entryOf(a)});

        kivrotest::writeFile(a, "first, changed");
        QCOMPARE(zipNames(archive, {a, b}, QStringLiteral("/"), true).result, kZpOk);
        QCOMPARE(entries(archive), (QStringList{entryOf(a), entryOf(b)}));
        QByteArray back;
        unzip({QStringLiteral("-p"), archive, entryOf(a)}, &back);
        QCOMPARE(back, QByteArray("first, changed"));

        // Without the update flag the archive starts again.
        QCOMPARE(zipNames(archive, {b}).result, kZpOk);
        QCOMPARE(entries(archive), QStringList{entryOf(b)});
    }

    void recurseAddsAFoldersContents()
    {
        kivrotest::writeFile(path(QStringLiteral("tree/one.mpg")), "1");
        kivrotest::writeFile(path(QStringLiteral("tree/deep/two.mpg")), "2");
        const QString archive = path(QStringLiteral("tree.zip"));
        QCOMPARE(zipNames(archive, {path(QStringLiteral("tree"))}, dir, false, true).result, kZpOk);
        QStringList got = entries(archive);
        got.sort();
        QCOMPARE(got, (QStringList{QStringLiteral("tree/"), QStringLiteral("tree/deep/"),
                                   QStringLiteral("tree/deep/two.mpg"), QStringLiteral("tree/one.mpg")}));
        QCOMPARE(zipNames(archive, {path(QStringLiteral("tree"))}, dir).result, kZpOk);
        QCOMPARE(entries(archive), QStringList{QStringLiteral("tree/")});
    }

    void failuresExplainThemselvesAndLeaveNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("archive");
        QTest::addColumn<std::int32_t>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << QStringLiteral("fail/none.mpg") << QStringLiteral("fail/a.zip") << kZpErrRead
                                      << QStringLiteral("zip error: cannot add '<file>': No such file");
        QTest::newRow("relative name") << QStringLiteral("!relative.mpg") << QStringLiteral("fail/b.zip")
                                       << kZpErrArguments
                                       << QStringLiteral("zip error: 'relative.mpg' is not a full path");
        QTest::newRow("archive folder missing")
            << QStringLiteral("fail/ok.mpg") << QStringLiteral("fail/nofolder/c.zip") << kZpErrWrite
            << QStringLiteral("zip error: cannot write '<zip>': ");
        QTest::newRow("no archive name") << QStringLiteral("fail/ok.mpg") << QString() << kZpErrArguments
                                         << QStringLiteral("zip error: no archive name given");
    }
    void failuresExplainThemselvesAndLeaveNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, archive);
        QFETCH(std::int32_t, result);
        QFETCH(QString, message);
        kivrotest::writeFile(path(QStringLiteral("fail/ok.mpg")), "ok");
        const QString file = name.startsWith(QLatin1Char('!')) ? name.mid(1) : path(name);
        const QString zip = archive.isEmpty() ? QString() : path(archive);
        const Run r = zipNames(zip, {file});
        QCOMPARE(r.result, result);
        QVERIFY(!r.printed.isEmpty());
        QVERIFY2(r.printed.last().startsWith(
                     QString(message).replace(QLatin1String("<file>"), file).replace(QLatin1String("<zip>"), zip)),
                 qPrintable(r.printed.last()));
        QCOMPARE(QDir(path(QStringLiteral("fail"))).entryList(QDir::Files), QStringList{QStringLiteral("ok.mpg")});
    }

    // A write that fails half way (disk full) is reported with the system's reason; the old
    // archive stays as it was and no temporary file is left.
    void fullDiskKeepsTheOldArchive()
    {
        const QString small = path(QStringLiteral("full/small.mpg"));
        const QString big = path(QStringLiteral("full/big.mpg"));
        kivrotest::writeFile(small, "small and old");
        QByteArray random(1 << 20, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(random.data()), random.size() / 4);
        kivrotest::writeFile(big, random);
        const QString archive = path(QStringLiteral("full/x.zip"));
        QCOMPARE(zipNames(archive, {small}).result, kZpOk);
        const QByteArray before = kivrotest::readFile(archive);

        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = old;
        lim.rlim_cur = 256 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &lim), 0);
        const Run r = zipNames(archive, {big});
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(r.result, kZpErrWrite);
        QVERIFY2(r.printed.last().startsWith(QStringLiteral("zip error: cannot write '%1': ").arg(archive)),
                 qPrintable(r.printed.last()));
        QVERIFY2(r.printed.last().contains(QLatin1String("too large")), qPrintable(r.printed.last()));
        QCOMPARE(kivrotest::readFile(archive), before);
        QCOMPARE(QDir(path(QStringLiteral("full"))).entryList(QDir::Files),
                 (QStringList{QStringLiteral("big.mpg"), QStringLiteral("small.mpg"), QStringLiteral("x.zip")}));
    }

    // The archive is written into a file of its own beside it and put in place once complete: an
    // archive whose folder is removed while it is written is a failure, never a success (so the
    // actions need no check of their own for it).
    void folderRemovedWhileTheArchiveIsWrittenFails()
    {
        const QString source = path(QStringLiteral("kept/big.mpg"));
        kivrotest::writeFile(source, mixedBytes(4 << 20, 3));
        const QString folder = path(QStringLiteral("gone"));
        QDir().mkpath(folder);
        const QString archive = folder + QStringLiteral("/x.zip");
        bool removed = false;
        g_onPrint = [&](const QString& text) {
            if (!removed && text.startsWith(QLatin1String("  zipping '")))
                removed = QDir(folder).removeRecursively();
        };
        const Run r = zipNames(archive, {source});
        g_onPrint = nullptr;
        QVERIFY(removed);
        QCOMPARE(r.result, kZpErrWrite);
        QVERIFY2(r.printed.last().startsWith(QStringLiteral("zip error: cannot write '%1': ").arg(archive)),
                 qPrintable(r.printed.last()));
        QVERIFY(!QFileInfo::exists(archive));
    }
};

KIVRO_TEST_MAIN(TestZipApi)
#include "tst_zipapi.moc"
