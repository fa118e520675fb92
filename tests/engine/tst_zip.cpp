// The zip job (CGZipFiles) and the zip module: the name list with its placeholder, the job's
// errors, the records handed to the library, the print routine, and real archives end to end.
#include "KivroTest.h"

#include "engine/CGZipFiles.h"
#include "engine/EngineGlobals.h"
#include "engine/Zip.h"
#include "platform/RuntimeError.h"

#include <QTimer>

using namespace kivro;
using namespace kivro::zipapi;

namespace {

// What the fake library saw of one run.
struct Seen {
    int initCalls = 0;
    ZpCallbacks callbacks;
    ZpOptions options;
    QByteArray root;
    std::int32_t count = -1;
    QByteArray archive;
    QList<QByteArray> names; // all 100 entries; a null entry is a null QByteArray
    QList<int> order;        // 1 init, 2 options, 3 archive
    // What the fake does in ZpArchive.
    QByteArray printText;
    std::int32_t result = 0;
};
Seen g_seen;

std::int32_t fakeInit(const ZpCallbacks* cb)
{
    ++g_seen.initCalls;
    g_seen.callbacks = *cb;
    g_seen.order << 1;
    return 1;
}
std::int32_t fakeOptions(const ZpOptions* o)
{
    g_seen.options = *o;
    g_seen.root = o->rootDir ? QByteArray(o->rootDir) : QByteArray();
    g_seen.order << 2;
    return 1;
}
std::int32_t fakeArchive(std::int32_t count, const char* archive, const ZpNameList* list)
{
    g_seen.count = count;
    g_seen.archive = archive;
    g_seen.names.clear();
    for (const char* n : list->names)
        g_seen.names << (n ? QByteArray(n) : QByteArray());
    g_seen.order << 3;
    if (!g_seen.printText.isEmpty())
        g_seen.callbacks.print(g_seen.printText.data(), std::uint32_t(g_seen.printText.size()));
    return g_seen.result;
}
const Zip::ZipLibrary kFake{&fakeInit, &fakeOptions, &fakeArchive};

void expectError(const std::function<void()>& f, int number, const QString& source, const QString& text)
{
    try {
        f();
        QFAIL("no error raised");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), number);
        QCOMPARE(e.source(), source);
        QCOMPARE(e.description(), text);
    }
}

} // namespace

class TestZip : public QObject {
    Q_OBJECT

    QString dir;

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/zip");
        QDir().mkpath(dir);
    }
    void cleanupTestCase() { QDir(dir).removeRecursively(); }
    void init()
    {
        g_seen = Seen{};
        Zip::SetZipLibrary(&kFake);
    }
    void cleanup() { Zip::SetZipLibrary(nullptr); }

    void newJobHasItsDefaults()
    {
        CGZipFiles job;
        QCOMPARE(job.ZipFileCount(), 0);
        QCOMPARE(job.RootDirectory(), QStringLiteral("/"));
        QCOMPARE(job.ZipFileName(), QString());
        QVERIFY(!job.RecurseFolders() && !job.UpdatingZip() && !job.Encrypted() && !job.IncludeSystemFiles());
        QCOMPARE(job.entries(), QStringList{QStringLiteral("querty")});
    }

    void addingAKnownNameRaises_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("other case") << QStringLiteral("/t/a.mpg") << QStringLiteral("/t/A.MPG");
        QTest::newRow("same text") << QStringLiteral("/t/a.mpg") << QStringLiteral("/t/a.mpg");
        QTest::newRow("placeholder in capitals") << QStringLiteral("/t/a.mpg") << QStringLiteral("QUERTY");
    }
    void addingAKnownNameRaises()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        CGZipFiles job;
        job.AddFile(first);
        expectError([&] { job.AddFile(second); }, int(0x800407D1u), QStringLiteral("CGZip::AddFile"),
                    QStringLiteral("File is already in Zip List"));
        QCOMPARE(job.entries(), (QStringList{QStringLiteral("querty"), first}));
        QCOMPARE(job.ZipFileCount(), 1);
    }

    void removingFindsAnyCaseAndRaisesForUnknownNames()
    {
        CGZipFiles job;
        job.AddFile(QStringLiteral("/t/a.mpg"));
        job.AddFile(QStringLiteral("/t/b.mpg"));
        expectError([&] { job.RemoveFile(QStringLiteral("/t/c.mpg")); }, int(0x800407D2u),
                    QStringLiteral("CGZip::RemoveFile"), QStringLiteral("File is not in Zip List"));
        QCOMPARE(job.ZipFileCount(), 2);
        job.RemoveFile(QStringLiteral("/T/A.MPG"));
        QCOMPARE(job.entries(), (QStringList{QStringLiteral("querty"), QStringLiteral("/t/b.mpg")}));
        expectError([&] { job.RemoveFile(QStringLiteral("/t/a.mpg")); }, int(0x800407D2u),
                    QStringLiteral("CGZip::RemoveFile"), QStringLiteral("File is not in Zip List"));
    }

    void nameListHoldsNinetyNineNames()
    {
        CGZipFiles job;
        job.setZipFileName(QStringLiteral("/t/x.zip"));
        for (int i = 1; i <= 99; ++i)
            job.AddFile(QStringLiteral("/t/%1.mpg").arg(i));
        QCOMPARE(job.MakeZipFile(), 0);
        QCOMPARE(g_seen.count, 100);
        QCOMPARE(g_seen.names.at(99), QByteArray("/t/99.mpg"));

        g_seen = Seen{};
        job.AddFile(QStringLiteral("/t/100.mpg"));
        QCOMPARE(job.ZipFileCount(), 100);
        expectError([&] { job.MakeZipFile(); }, 9, QStringLiteral("CGZipFiles::MakeZipFile"),
                    QStringLiteral("Subscript out of range"));
        QCOMPARE(g_seen.initCalls, 0); // the library is never reached
    }

    void runHandsTheLibraryItsRecords_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<bool>("recurse");
        QTest::addColumn<bool>("update");
        QTest::addColumn<QByteArray>("sentRoot");
        QTest::newRow("defaults") << QString() << false << false << QByteArray("/");
        QTest::newRow("root upper-cased, flags on")
            << QStringLiteral("/t/video") << true << true << QByteArray("/T/VIDEO");
    }
    void runHandsTheLibraryItsRecords()
    {
        QFETCH(QString, root);
        QFETCH(bool, recurse);
        QFETCH(bool, update);
        QFETCH(QByteArray, sentRoot);
        CGZipFiles job;
        job.setZipFileName(QStringLiteral("/t/movie.zip"));
        if (!root.isEmpty())
            job.setRootDirectory(root);
        job.setRecurseFolders(recurse);
        job.setUpdatingZip(update);
        // Stored and read back only: the records do not change.
        job.setEncrypted(true);
        job.setIncludeSystemFiles(true);
        QVERIFY(job.Encrypted() && job.IncludeSystemFiles());
        job.AddFile(QStringLiteral("/t/movie.mpg"));
        g_seen.result = 17;
        QCOMPARE(job.MakeZipFile(), 17); // the library's result, as it is

        QCOMPARE(g_seen.order, (QList<int>{1, 2, 3}));
        QVERIFY(g_seen.callbacks.print == &Zip::ZipPrint);
        QVERIFY(g_seen.callbacks.password == &Zip::ZipPassword);
        QVERIFY(g_seen.callbacks.comment == &Zip::ZipComment);
        QCOMPARE(g_seen.callbacks.reserved, nullptr);
        for (int i = 0; i < kZpFlagCount; ++i) {
            const int expected = (i == kZpFlagRecurse && recurse) || (i == kZpFlagUpdate && update) ? 1 : 0;
            QVERIFY2(g_seen.options.flags[i] == expected, qPrintable(QStringLiteral("flag %1").arg(i)));
        }
        QCOMPARE(int(g_seen.options.level), 0);
        QCOMPARE(g_seen.options.date, nullptr);
        QCOMPARE(g_seen.root, sentRoot);
        QCOMPARE(g_seen.count, 2);
        QCOMPARE(g_seen.archive, QByteArray("/t/movie.zip"));
        QCOMPARE(g_seen.names.size(), 100);
        QCOMPARE(g_seen.names.at(0), QByteArray("querty"));
        QCOMPARE(g_seen.names.at(1), QByteArray("/t/movie.mpg"));
        for (int i = 2; i < 100; ++i)
            QVERIFY(g_seen.names.at(i).isNull());
        // The job's own values are untouched by the upper-casing.
        QCOMPARE(job.RootDirectory(), root.isEmpty() ? QStringLiteral("/") : root);
    }

    void printTakesTheTextUpToTheFirstNul_data()
    {
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<quint32>("length");
        QTest::addColumn<QString>("text");
        QTest::newRow("stops at NUL") << QByteArray("abc\0def", 7) << 7u << QStringLiteral("abc");
        QTest::newRow("length plus one at most") << QByteArray("abcdefgh") << 3u << QStringLiteral("abcd");
        QTest::newRow("never beyond 4097") << QByteArray(5000, 'x') << 5000u << QString(4097, QLatin1Char('x'));
        QTest::newRow("local 8-bit") << QByteArray("zip warning: caf\xc3\xa9") << 17u
                                     << QStringLiteral("zip warning: caf\u00e9");
        QTest::newRow("empty") << QByteArray("\0", 1) << 0u << QString();
    }
    void printTakesTheTextUpToTheFirstNul()
    {
        QFETCH(QByteArray, buffer);
        QFETCH(quint32, length);
        QFETCH(QString, text);
        gZipMessage = QStringLiteral("old");
        QCOMPARE(Zip::ZipPrint(buffer.data(), length), 0);
        QCOMPARE(gZipMessage, text);
    }

    void passwordAndCommentRoutinesChangeNothing()
    {
        char buffer[4097] = "keep";
        QCOMPARE(Zip::ZipPassword(buffer, 4097, "Password:", "a.mpg"), 1);
        QCOMPARE(QByteArray(buffer), QByteArray("keep"));
        QCOMPARE(Zip::ZipComment(buffer), buffer);
        QCOMPARE(QByteArray(buffer), QByteArray("keep"));
    }

    void lastMessageIsTheLastPrintedTextOfTheLatestRun()
    {
        CGZipFiles job;
        job.setZipFileName(QStringLiteral("/t/x.zip"));
        job.AddFile(QStringLiteral("/t/a.mpg"));
        g_seen.printText = "zip warning: name not matched";
        QCOMPARE(job.MakeZipFile(), 0);
        QCOMPARE(job.GetLastMessage(), QStringLiteral("zip warning: name not matched"));

        // The next run starts empty; any job reads the shared message.
        g_seen.printText.clear();
        CGZipFiles other;
        other.AddFile(QStringLiteral("/t/b.mpg"));
        QCOMPARE(other.MakeZipFile(), 0);
        QCOMPARE(job.GetLastMessage(), QString());

        // A failure that printed nothing still says something.
        g_seen.result = 3;
        QCOMPARE(other.MakeZipFile(), 3);
        QVERIFY(!other.GetLastMessage().isEmpty());
    }

    // Pack zips its output and Unpack its sources by these two rules, so both name an archive
    // alike: the extension's "." lies inside the file name and is not its first character.
    void archiveNameAndIsZip_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("archive");
        QTest::addColumn<bool>("isZip");
        QTest::newRow("no dot") << "/t/out"
                                << "/t/out.zip" << false;
        QTest::newRow("dot only in a folder") << "/t/my.dir/out"
                                              << "/t/my.dir/out.zip" << false;
        QTest::newRow("hidden name") << "/t/.hidden"
                                     << "/t/.hidden.zip" << false;
        QTest::newRow("hidden name with extension") << "/t/.hidden.mpg"
                                                    << "/t/.hidden.zip" << false;
        QTest::newRow("two dots") << "/t/a.b.mpg"
                                  << "/t/a.b.zip" << false;
        QTest::newRow("extension") << "/t/v/movie.mpg"
                                   << "/t/v/movie.zip" << false;
        QTest::newRow("trailing dot") << "/t/v/output."
                                      << "/t/v/output.zip" << false;
        QTest::newRow("named zip") << "/t/zip"
                                   << "/t/zip.zip" << false;
        QTest::newRow("named .zip") << "/t/.zip"
                                    << "/t/.zip.zip" << false;
        QTest::newRow("zip without dot") << "/t/v/moviezip"
                                         << "/t/v/moviezip.zip" << false;
        QTest::newRow("zip in capitals") << "/t/x.ZIP"
                                         << "/t/x.zip" << true;
        QTest::newRow("zip") << "/t/x.zip"
                             << "/t/x.zip" << true;
        QTest::newRow("zip folder") << "/v/x.zip/movie"
                                    << "/v/x.zip/movie.zip" << false;
        QTest::newRow("relative") << "a.b"
                                  << "a.zip" << false;
    }
    void archiveNameAndIsZip()
    {
        QFETCH(QString, path);
        QTEST(ZipArchiveName(path), "archive");
        QTEST(IsZip(path), "isZip");
    }

    void realArchiveEndToEnd()
    {
        Zip::SetZipLibrary(nullptr);
        const QString src = dir + QStringLiteral("/Movie.mpg");
        QByteArray bytes;
        for (int i = 0; i < 200000; ++i)
            bytes += QByteArray::number(i * 7919 % 100003) + ' ';
        kivrotest::writeFile(src, bytes);
        CGZipFiles job;
        job.setZipFileName(dir + QStringLiteral("/Movie.zip"));
        job.setUpdatingZip(false);
        job.AddFile(src);

        // The windows keep running while the library works.
        bool inside = false, ranInside = false;
        QTimer::singleShot(0, [&] { ranInside = inside; });
        inside = true;
        const std::int32_t r = job.MakeZipFile();
        inside = false;
        QCOMPARE(r, 0);
        QVERIFY(ranInside);

        QProcess p;
        p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), job.ZipFileName(), src.mid(1)});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardOutput(), bytes);
    }

    void realFailureCarriesTheLibrarysMessage()
    {
        Zip::SetZipLibrary(nullptr);
        CGZipFiles job;
        job.setZipFileName(dir + QStringLiteral("/gone.zip"));
        job.AddFile(dir + QStringLiteral("/gone.mpg"));
        QVERIFY(job.MakeZipFile() != 0);
        QCOMPARE(job.GetLastMessage(), QStringLiteral("zip error: cannot add '%1/gone.mpg': No such file").arg(dir));
        QVERIFY(!QFileInfo::exists(job.ZipFileName()));
    }
};

KIVRO_TEST_MAIN(TestZip)
#include "tst_zip.moc"
