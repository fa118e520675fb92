// The join batch file: its lines byte for byte, its name by target, the escaping that keeps names
// and stamp lines from running as commands, a failed write; and the copyright stamp lines loaded
// from cstmp.ctd.
#include "KivroTest.h"

#include "engine/CopyrightStamp.h"
#include "engine/File64.h"
#include "engine/JoinBatch.h"
#include "HeadlessLink.h"
#include "engine/MainWindowLink.h"
#include "engine/PackListModel.h"
#include "platform/FileApi.h"
#include "platform/Paths.h"
#include "platform/RuntimeError.h"

using namespace kivro;

namespace {

struct StampLink : kivrotest::HeadlessLink {
    PackListModel list;
    File64 file;
    PackListModel& packList() override { return list; }
    File64& file64() override { return file; }
};

JoinList piecesOf(const QStringList& entries)
{
    JoinList list;
    for (const QString& e : entries)
        list.add(e);
    return list;
}

QString tail(const QString& name, const QString& x)
{
    return QStringLiteral("If errorlevel 1 Goto 2\ngoto 1\n:0\nCls\n@echo Some required file(s) not found.\n"
                          "@echo %1-JOIN.%2 NOT successfully created.\nExit\n:2\n@echo %1-JOIN.%2 NOT successfully "
                          "created.\nExit\n:1\nCls\n@echo %1-JOIN.%2 successfully created.\nExit")
        .arg(name, x);
}

} // namespace

class TestJoinBatch : public QObject {
    Q_OBJECT

    QString dir;

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/jb");
        QDir().mkpath(dir);
    }
    void init()
    {
        Prompts::enableScripted();
        win::InjectWriteLimit(-1);
        win::InjectCloseFailure(0);
        QFile::remove(CopyrightStampFile());
    }

    void threePiecesWithTwoStampLinesGiveTheTwentyTwoLines()
    {
        const QStringList stamps{QStringLiteral("@echo Copyright Bob"), QStringLiteral("@echo.")};
        const JoinList list = piecesOf({"movie.mpg.001", "movie.mpg.002", "movie.mpg.003"});
        const QStringList lines = JoinBatchLines(stamps, list, QStringLiteral("movie.mpg"), JoinExtension("movie.mpg"));
        const QStringList expected
            = (QStringLiteral(
                   "@echo off\n@echo Copyright Bob\n@echo.\n@echo -------------\n"
                   "If NOT exist \"movie.mpg.001\" Goto 0\nIf NOT exist \"movie.mpg.002\" Goto 0\n"
                   "If NOT exist \"movie.mpg.003\" Goto 0\n"
                   "Copy/b \"movie.mpg.001\" + \"movie.mpg.002\" + \"movie.mpg.003\" \"movie.mpg-JOIN.mpg\"\n")
               + tail("movie.mpg", "mpg"))
                  .split('\n');
        QCOMPARE(lines, expected);
        QCOMPARE(lines.size(), 22);
        QCOMPARE(list.copyText, QStringLiteral(" + \"movie.mpg.001\" + \"movie.mpg.002\" + \"movie.mpg.003\""));

        const QString path = dir + QStringLiteral("/movie.mpg-JOIN.bat");
        kivrotest::writeFile(path, QByteArray(2000, 'x')); // an older, longer file is replaced
        WriteJoinBatchFile(path, lines);
        QCOMPARE(kivrotest::readFile(path), expected.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
    }

    void edgeShapes_data()
    {
        QTest::addColumn<QStringList>("stamps");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("expected");
        QTest::newRow("single piece, no stamp") << QStringList() << QStringList{"/v/movie.mpg.001.mpg"} << "movie.mpg"
                                                << ""
                                                << "@echo off\n@echo \nIf NOT exist \"/v/movie.mpg.001.mpg\" Goto 0\n"
                                                   "Copy/b \"/v/movie.mpg.001.mpg\" \"movie.mpg-JOIN.mpg\"\n"
                                                       + tail("movie.mpg", "mpg");
        QTest::newRow("no dot: the whole name is the extension")
            << QStringList{"@echo."} << QStringList{"movie.001", "movie.002"} << "movie"
            << ""
            << "@echo off\n@echo.\n@echo \nIf NOT exist \"movie.001\" Goto 0\nIf NOT exist \"movie.002\" Goto 0\n"
               "Copy/b \"movie.001\" + \"movie.002\" \"movie-JOIN.movie\"\n"
                   + tail("movie", "movie");
        QTest::newRow("zip first joins into .zip")
            << QStringList{"@echo ab", "@echo abcd"} << QStringList{"movie.zip.001"} << "movie.mpg"
            << "/v/movie.zip"
            << "@echo off\n@echo ab\n@echo abcd\n@echo ----\nIf NOT exist \"movie.zip.001\" Goto 0\n"
               "Copy/b \"movie.zip.001\" \"movie.mpg-JOIN.zip\"\n"
                   + tail("movie.mpg", "zip");
        // The interpreter never sees a command in a name or a stamp line; the hyphens count the
        // stamp as written (13 characters).
        QTest::newRow("special characters echo literally")
            << QStringList{"@echo 100% A&B | \"x & y\" <^>"} << QStringList{"a&b%1.mpg.001"} << "a&b%1.mpg"
            << ""
            << "@echo off\n@echo 100%% A^&B ^| \"x & y\" ^<^^^>\n@echo ----------------------\n"
               "If NOT exist \"a&b%%1.mpg.001\" Goto 0\nCopy/b \"a&b%%1.mpg.001\" \"a&b%%1.mpg-JOIN.mpg\"\n"
               "If errorlevel 1 Goto 2\ngoto 1\n:0\nCls\n@echo Some required file(s) not found.\n"
               "@echo a^&b%%1.mpg-JOIN.mpg NOT successfully created.\nExit\n:2\n"
               "@echo a^&b%%1.mpg-JOIN.mpg NOT successfully created.\nExit\n:1\nCls\n"
               "@echo a^&b%%1.mpg-JOIN.mpg successfully created.\nExit";
        // A name or a stamp line outside ASCII: the console reads UTF-8 from the first line that
        // holds one on (ASCII-only files, as all rows above, stay as they were).
        QTest::newRow("name outside ASCII")
            << QStringList() << QStringList{"Düsseldorf 2024.mpg.001"} << "Düsseldorf 2024.mpg"
            << ""
            << "@echo off\n@echo \nchcp 65001 >nul\nIf NOT exist \"Düsseldorf 2024.mpg.001\" Goto 0\n"
               "Copy/b \"Düsseldorf 2024.mpg.001\" \"Düsseldorf 2024.mpg-JOIN.mpg\"\n"
                   + tail("Düsseldorf 2024.mpg", "mpg");
        QTest::newRow("stamp line outside ASCII")
            << QStringList{"@echo.", "@echo © Bob"} << QStringList{"m.001"} << "m"
            << ""
            << "@echo off\n@echo.\nchcp 65001 >nul\n@echo © Bob\n@echo -----\nIf NOT exist \"m.001\" Goto 0\n"
               "Copy/b \"m.001\" \"m-JOIN.m\"\n"
                   + tail("m", "m");
    }
    void edgeShapes()
    {
        QFETCH(QStringList, stamps);
        QFETCH(QStringList, entries);
        QFETCH(QString, name);
        QFETCH(QString, archive);
        QFETCH(QString, expected);
        QCOMPARE(JoinBatchLines(stamps, piecesOf(entries), name, JoinExtension(name, archive)), expected.split('\n'));
    }

    // The interpreter runs no line of 8,191 characters or more: a long piece list is joined by
    // several copy lines, the first creating the joined file and each next appending to it, each
    // checked before the next runs.
    void manyPiecesSplitTheCopyOverLines_data()
    {
        QTest::addColumn<int>("pieces");
        QTest::addColumn<QString>("folder");
        QTest::newRow("487 bare names") << 487 << QString();
        QTest::newRow("1,100 bare names") << 1100 << QString();
        QTest::newRow("487 full names") << 487 << QStringLiteral("/home/someone/Videos/") + QString(180, 'v') + "/";
        QTest::newRow("1,100 full names") << 1100 << QStringLiteral("/srv/media/Holiday 2024/");
    }
    void manyPiecesSplitTheCopyOverLines()
    {
        QFETCH(int, pieces);
        QFETCH(QString, folder);
        QStringList entries;
        for (int k = 1; k <= pieces; ++k)
            entries << folder + QStringLiteral("movie.mpg.%1").arg(k, 4, 10, QLatin1Char('0'));
        const QStringList lines = JoinBatchLines({}, piecesOf(entries), "movie.mpg", "mpg");
        const QString joined = QStringLiteral("\"movie.mpg-JOIN.mpg\"");
        QStringList joinedEntries;
        int copyLines = 0;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QVERIFY2(lines[i].size() <= 8190, qPrintable(QString::number(lines[i].size())));
            if (!lines[i].startsWith("Copy/b "))
                continue;
            QVERIFY(lines[i].endsWith(" " + joined));
            QCOMPARE(lines.value(i + 1), QStringLiteral("If errorlevel 1 Goto 2"));
            QString body = lines[i].mid(7).chopped(joined.size() + 1);
            if (copyLines++ > 0) {
                QVERIFY(body.startsWith(joined + " + "));
                body = body.mid(joined.size() + 3);
            }
            for (const QString& q : body.split(" + "))
                joinedEntries << q.mid(1).chopped(1);
        }
        QCOMPARE(joinedEntries, entries);
        QVERIFY(copyLines > 1);
        QCOMPARE(lines.mid(lines.size() - 13),
                 tail("movie.mpg", "mpg").split('\n').mid(1)); // the endings after the last check
    }

    void namesAndEntries()
    {
        QCOMPARE(JoinBatchFileName(UnpackTarget::SaveFile, "/s/out.mpg", "/v/", "movie.mpg", "/c"),
                 QStringLiteral("/s/movie.mpg-JOIN.bat"));
        QCOMPARE(JoinBatchFileName(UnpackTarget::WhereFile, "/s/out.mpg", "/v/", "movie.mpg", "/c"),
                 QStringLiteral("/v/movie.mpg-JOIN.bat"));
        QCOMPARE(JoinBatchFileName(UnpackTarget::Custom, "/s/out.mpg", "/v/", "movie.mpg", "/c"),
                 QStringLiteral("/c/movie.mpg-JOIN.bat"));
        QCOMPARE(JoinBatchFileName(UnpackTarget::Custom, "", "/v/", "movie", "/"), QStringLiteral("/movie-JOIN.bat"));
        QCOMPARE(JoinEntry(JoinBatch::Plain, "/v/movie.mpg.001"), QStringLiteral("movie.mpg.001"));
        QCOMPARE(JoinEntry(JoinBatch::WithInfo, "/v/movie.mpg.001"), QStringLiteral("/v/movie.mpg.001"));
        QVERIFY(BatchCanCarry(QStringLiteral("a&b %x ^.mpg")));
        for (const char* bad : {"a\"b", "a\rb", "a\nb"})
            QVERIFY(!BatchCanCarry(QString::fromLatin1(bad)));
    }

    void textOutsideAsciiIsWrittenInUtf8()
    {
        const QString path = dir + QStringLiteral("/u-JOIN.bat");
        WriteJoinBatchFile(
            path, {QStringLiteral("@echo off"), QStringLiteral("chcp 65001 >nul"), QStringLiteral("@echo Düsseldorf")});
        QCOMPARE(kivrotest::readFile(path), QByteArray("@echo off\r\nchcp 65001 >nul\r\n@echo D\xC3\xBCsseldorf\r\n"));
    }

    void failedWriteIsRaised()
    {
        const QString path = dir + QStringLiteral("/full-JOIN.bat");
        win::InjectWriteLimit(10);
        try {
            WriteJoinBatchFile(path, {QStringLiteral("@echo off"), QStringLiteral("@echo more than ten")});
            QFAIL("no error");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), 75);
        }
        win::InjectWriteLimit(-1);
        // A close that reports a failure (EIO) is a failed write too, with the same number.
        win::InjectCloseFailure(1);
        try {
            WriteJoinBatchFile(path, {QStringLiteral("@echo off")});
            QFAIL("no error");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), 75);
        }
        try {
            WriteJoinBatchFile(dir + QStringLiteral("/no/such/folder/x-JOIN.bat"), {QStringLiteral("@echo off")});
            QFAIL("no error");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), 76);
        }
    }

    // Whatever stands at the batch file's name, the file written there is a regular file with
    // exactly the batch lines: a link (hidden or not, to a file, a folder or nothing) is replaced
    // and what it points to stays as it was; an old batch file is emptied in place.
    void linkAtTheNameIsReplaced_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pointsTo"); // empty: an old regular batch file stands there
        QTest::newRow("link to a file") << "a.bin-JOIN.bat"
                                        << "victim";
        QTest::newRow("hidden link to a file") << ".h.bin-JOIN.bat"
                                               << "victim";
        QTest::newRow("link to nothing") << "a.bin-JOIN.bat"
                                         << "elsewhere/ghost";
        QTest::newRow("link to a folder") << "a.bin-JOIN.bat"
                                          << "elsewhere";
        QTest::newRow("old regular file, longer") << "a.bin-JOIN.bat"
                                                  << "";
    }
    void linkAtTheNameIsReplaced()
    {
        QFETCH(QString, name);
        QFETCH(QString, pointsTo);
        const QString d = kivrotest::freshFolder(dir + QStringLiteral("/links"));
        QDir().mkpath(d + QStringLiteral("/elsewhere"));
        const QByteArray victim(5000, 'v');
        kivrotest::writeFile(d + QStringLiteral("/victim"), victim);
        const QString path = d + QLatin1Char('/') + name;
        if (pointsTo.isEmpty())
            kivrotest::writeFile(path, QByteArray(5000, 'o'));
        else
            QVERIFY(QFile::link(d + QLatin1Char('/') + pointsTo, path));
        WriteJoinBatchFile(path, {QStringLiteral("@echo off")});
        const QFileInfo written(path);
        QVERIFY(written.isFile() && !written.isSymLink());
        QCOMPARE(kivrotest::readFile(path), QByteArray("@echo off\r\n"));
        QCOMPARE(kivrotest::readFile(d + QStringLiteral("/victim")), victim);
        QVERIFY(QDir(d + QStringLiteral("/elsewhere")).isEmpty());
    }

    // A link put at the name after the old link was deleted is not followed either: the write
    // fails with 75 (the action's "Cannot overwrite" question), and a second try (its Retry)
    // replaces that link too.
    void linkPutThereMeanwhileIsNotFollowed()
    {
        const QString d = kivrotest::freshFolder(dir + QStringLiteral("/race"));
        kivrotest::writeFile(d + QStringLiteral("/victim"), "keep");
        const QString path = d + QStringLiteral("/m-JOIN.bat");
        QVERIFY(QFile::link(d + QStringLiteral("/victim"), path));
        win::InjectBeforeWriteOpen(path, [&] { QVERIFY(QFile::link(d + QStringLiteral("/victim"), path)); });
        try {
            WriteJoinBatchFile(path, {QStringLiteral("@echo off")});
            QFAIL("no error");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), 75);
        }
        QCOMPARE(kivrotest::readFile(d + QStringLiteral("/victim")), QByteArray("keep"));
        QVERIFY(QFileInfo(path).isSymLink());
        WriteJoinBatchFile(path, {QStringLiteral("@echo off")});
        QVERIFY(!QFileInfo(path).isSymLink());
        QCOMPARE(kivrotest::readFile(path), QByteArray("@echo off\r\n"));
        QCOMPARE(kivrotest::readFile(d + QStringLiteral("/victim")), QByteArray("keep"));
    }

    void missingStampFileIsCreatedWithTheDefaultLine()
    {
        StampLink link;
        link.setCopyrightStamping_lst({QStringLiteral("@echo old")});
        const QString text = LoadCopyrightDataFromFile(link);
        QCOMPARE(CopyrightStampFile(), paths::joinPath(paths::userDataDir(), "cstmp.ctd"));
        QCOMPARE(kivrotest::readFile(CopyrightStampFile()), QByteArray("Files unpacked by Tesma Kivro Pro (r).\r\n"));
        QCOMPARE(link.CopyrightStamping_lst(), QStringList{"@echo Files unpacked by Tesma Kivro Pro (r)."});
        QCOMPARE(text, QStringLiteral("Files unpacked by Tesma Kivro Pro (r)."));
        QVERIFY(Prompts::records().isEmpty());
    }

    void failedFirstWriteOfTheDefaultLeavesNoFile()
    {
        QFile::remove(CopyrightStampFile());
        StampLink link;
        {
            // A full disk: the default line does not fit.
            kivrotest::FileSizeLimit full(8);
            QCOMPARE(LoadCopyrightDataFromFile(link), QString());
        }
        const QStringList r = Prompts::records();
        QCOMPARE(r.size(), 1);
        QVERIFY(r[0].contains("Error 75: 'Path/File access error'  detected."));
        QVERIFY(!QFileInfo::exists(CopyrightStampFile()));
        QVERIFY(QDir(paths::userDataDir()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        // Space again: the next start writes the default.
        Prompts::clearRecords();
        QCOMPARE(LoadCopyrightDataFromFile(link), QStringLiteral("Files unpacked by Tesma Kivro Pro (r)."));
        QCOMPARE(kivrotest::readFile(CopyrightStampFile()), QByteArray("Files unpacked by Tesma Kivro Pro (r).\r\n"));
        QVERIFY(Prompts::records().isEmpty());
    }

    void stampLinesFromTheFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty file") << QByteArray() << QStringList() << QString();
        QTest::newRow("blank lines") << QByteArray("A\r\n\r\n   \r\n") << QStringList{"@echo A", "@echo.", "@echo."}
                                     << QStringLiteral("A\r\n\r\n   ");
        QTest::newRow("leading empty line, last line unended")
            << QByteArray("\r\nB") << QStringList{"@echo.", "@echo B"} << QStringLiteral("B");
        QTest::newRow("spaces and tab kept")
            << QByteArray(" x \r\n\t\r\n") << QStringList{"@echo  x ", "@echo \t"} << QStringLiteral(" x \r\n\t");
        QTest::newRow("any line break ends a line")
            << QByteArray("a\nb\rc\r\n") << QStringList{"@echo a", "@echo b", "@echo c"}
            << QStringLiteral("a\r\nb\r\nc");
    }
    void stampLinesFromTheFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, lines);
        QFETCH(QString, text);
        kivrotest::writeFile(CopyrightStampFile(), content);
        StampLink link;
        QCOMPARE(LoadCopyrightDataFromFile(link), text);
        QCOMPARE(link.CopyrightStamping_lst(), lines);
    }

    void unreadableStampFileShowsTheSharedError()
    {
        QDir().mkpath(CopyrightStampFile()); // a folder where the file belongs
        StampLink link;
        link.setCopyrightStamping_lst({QStringLiteral("@echo old")});
        QCOMPARE(LoadCopyrightDataFromFile(link), QString());
        QVERIFY(link.CopyrightStamping_lst().isEmpty());
        const QStringList r = Prompts::records();
        QCOMPARE(r.size(), 1);
        QVERIFY(r[0].startsWith("box|Critical|OK|Tesma Kivro Pro|Unexpected error."));
        QVERIFY(r[0].contains("Error 75: 'Path/File access error'  detected."));
        QDir(CopyrightStampFile()).removeRecursively();
    }
};

KIVRO_TEST_MAIN(TestJoinBatch)
#include "tst_joinbatch.moc"
