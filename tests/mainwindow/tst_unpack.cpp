// Unpack through the real main window (offscreen): the pack list and the options set as a user
// leaves them, the menu entry pressed, the boxes answered through the scripted mode; then the
// pieces compared byte for byte with their slices of the source, the boxes' exact texts, the join
// batch file's bytes and the window back in its idle state.
#include "KivroTest.h"

#include "engine/CopyrightStamp.h"
#include "engine/EngineGlobals.h"
#include "mainwindow/kivromainfrm.h"

#include <QProgressBar>

using namespace kivro;

namespace {

QByteArray pattern(qint64 n, int seed = 0)
{
    QByteArray b(qsizetype(n), '\0');
    for (qint64 i = 0; i < n; ++i)
        b[qsizetype(i)] = char(1 + (i * 13 + i / 253 + seed) % 250); // never 0: no start code by chance
    return b;
}

QString box(const QString& icon, const QString& buttons, const QString& text, const QString& answer)
{
    return QStringList{"box", icon, buttons, "Tesma Kivro Pro", text, answer}.join('|');
}

const QString kOneDone = box("Information", "OK", "1 file successfully unpacked!", "OK");

} // namespace

class TestUnpackWindow : public QObject {
    Q_OBJECT

    QString dir;
    std::unique_ptr<kivromainfrm> w;

    QString folder(const QString& name) { return kivrotest::freshFolder(dir + QLatin1Char('/') + name); }
    void add(const QString& path)
    {
        const int slash = path.lastIndexOf('/');
        w->packList().append(path.left(slash + 1), path.mid(slash + 1));
    }
    // The pieces in name order, each with its size.
    QStringList pieces(const QString& d, const QString& stem)
    {
        QStringList out;
        for (const QString& f : QDir(d).entryList({stem + ".*"}, QDir::Files, QDir::Name))
            out << f + " " + QString::number(QFileInfo(d + "/" + f).size());
        return out;
    }
    void verifyIdle()
    {
        QVERIFY(w->BusyIconImg->isHidden());
        QVERIFY(!w->UnpackImg->isHidden());
        QVERIFY(w->UnPackCANCELImg->isHidden());
        QVERIFY(w->TimeRemainingLbl->isHidden());
        QCOMPARE(w->percentdone_lbl->text(), QString());
        QVERIFY(w->findChild<QProgressBar*>() == nullptr);
        QCOMPARE(w->mousePointer(), int(MainWindowLink::kPointerDefault));
        QVERIFY(w->File1->isEnabled());
        QVERIFY(!gActionArmed);
    }

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/unpackwin");
        QDir().mkpath(dir);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void init()
    {
        Prompts::enableScripted();
        gUnpackSize = 1440000;
        gSplitFiles = 2;
        gSplitPercent = 50;
        gSplitModeSize = gSplitModeFirst = gSplitModeLast = gSplitModePercent = gSplitModeFiles = false;
        gActionArmed = false;
        w = std::make_unique<kivromainfrm>();
        w->resize(500, 400);
        w->UnpackWhereFileDirMnu_Click();
    }
    void cleanup() { w.reset(); }

    void floppyPiecesAreExactSlices()
    {
        const QString d = folder("floppy");
        const QByteArray src = pattern(3000000);
        kivrotest::writeFile(d + "/movie.mpg", src);
        add(d + "/movie.mpg");
        w->UnpackImg_Click(); // not armed: nothing happens
        QVERIFY(Prompts::records().isEmpty());

        w->UnpackMnu_Click();
        QCOMPARE(Prompts::records(), QStringList{kOneDone});
        QCOMPARE(pieces(d, "movie.mpg"),
                 (QStringList{"movie.mpg.001 1440000", "movie.mpg.002 1440000", "movie.mpg.003 120000"}));
        QCOMPARE(kivrotest::readFile(d + "/movie.mpg.001"), src.left(1440000));
        QCOMPARE(kivrotest::readFile(d + "/movie.mpg.002"), src.mid(1440000, 1440000));
        QCOMPARE(kivrotest::readFile(d + "/movie.mpg.003"), src.mid(2880000));
        verifyIdle();
    }

    void pieceNumbersFollowTheCount_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("count");
        QTest::newRow("999 full pieces") << 999 * 1024LL << "m.0001"
                                         << "m.0999" << 999;
        QTest::newRow("998 and a remainder") << 998 * 1024LL + 1 << "m.001"
                                             << "m.999" << 999;
    }
    void pieceNumbersFollowTheCount()
    {
        QFETCH(qint64, size);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(int, count);
        const QString d = folder("count");
        kivrotest::writeFile(d + "/m", pattern(size));
        add(d + "/m");
        gSplitModeSize = true;
        gUnpackSize = 1024; // custom size 1K
        w->UnpackMnu_Click();
        QCOMPARE(Prompts::records(), QStringList{kOneDone});
        const QStringList names = QDir(d).entryList({"m.*"}, QDir::Files, QDir::Name);
        QCOMPARE(names.size(), count);
        QCOMPARE(names.first(), first);
        QCOMPARE(names.last(), last);
    }

    void piecesOfTheCountAndPercentageModes_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("percent");
        QTest::addColumn<int>("setting");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("3 pieces of 100") << 100LL << false << 3 << QStringList{"m.001 34", "m.002 34", "m.003 32"};
        QTest::newRow("33% of 1,000") << 1000LL << true << 33
                                      << QStringList{"m.001 330", "m.002 330", "m.003 330", "m.004 10"};
        QTest::newRow("29% of 100") << 100LL << true << 29
                                    << QStringList{"m.001 28", "m.002 28", "m.003 28", "m.004 16"};
    }
    void piecesOfTheCountAndPercentageModes()
    {
        QFETCH(qint64, size);
        QFETCH(bool, percent);
        QFETCH(int, setting);
        const QString d = folder("modes");
        const QByteArray src = pattern(size);
        kivrotest::writeFile(d + "/m", src);
        add(d + "/m");
        gSplitModePercent = percent;
        gSplitModeFiles = !percent;
        gSplitPercent = setting;
        gSplitFiles = setting;
        w->UnpackMnu_Click();
        QCOMPARE(Prompts::records(), QStringList{kOneDone});
        QTEST(pieces(d, "m"), "expected");
        QByteArray joined;
        for (const QString& p : QDir(d).entryList({"m.*"}, QDir::Files, QDir::Name))
            joined += kivrotest::readFile(d + "/" + p);
        QCOMPARE(joined, src);
    }

    void lastPartWithTheMpegHeader()
    {
        const QString d = folder("emh");
        QByteArray src = pattern(20000);
        src.replace(28, 4, QByteArray("\x00\x00\x01\xB3", 4));
        kivrotest::writeFile(d + "/clip.mpg", src);
        add(d + "/clip.mpg");
        gSplitModeLast = true;
        gUnpackSize = 1024;
        w->UnpackEMHMnu_Click();
        w->UnpackMnu_Click();
        QCOMPARE(Prompts::records(), QStringList{kOneDone});
        QCOMPARE(pieces(d, "clip.mpg"), QStringList{"clip.mpg.001.mpg 6652"});
        QCOMPARE(kivrotest::readFile(d + "/clip.mpg.001.mpg"), src.left(5628) + src.mid(18976));
        verifyIdle();
    }

    void twoEntriesWithTheSaveFileTarget()
    {
        const QString d = folder("two");
        QDir().mkpath(d + "/a");
        QDir().mkpath(d + "/b");
        kivrotest::writeFile(d + "/a/x.mpg", pattern(1500000));
        kivrotest::writeFile(d + "/b/y.mpg", pattern(1000000, 5));
        add(d + "/a/x.mpg");
        add(d + "/b/y.mpg");
        gUnpackSize = 1000000;
        w->UnpackSaveFileMnu_Click();
        w->SaveAsNewFilename_txt->setText(d + "/out.mpg");
        Prompts::queue("No");
        w->UnpackMnu_Click();
        QCOMPARE(Prompts::records(),
                 (QStringList{box("Exclamation", "YesNoCancel",
                                  "You are trying to unpack 2 or more files. Kivro cannot save them as the same "
                                  "filename. Specify a custom directory now?",
                                  "No"),
                              box("Information", "OK",
                                  "Kivro will save the unpacked files in the directory where the file is.", "OK"),
                              box("Information", "OK", "2 files successfully unpacked!", "OK")}));
        QVERIFY(w->UnpackWhereFileDirMnu->isChecked());
        QVERIFY(!w->UnpackSaveFileMnu->isChecked());
        QCOMPARE(pieces(d + "/a", "x.mpg"), (QStringList{"x.mpg.001 1000000", "x.mpg.002 500000"}));
        QCOMPARE(pieces(d + "/b", "y.mpg"), QStringList{"y.mpg.001 1000000"});
        QVERIFY(!QFile::exists(d + "/out.mpg.001"));
        verifyIdle();
    }

    void yesPicksTheCustomFolderAndSplitsNothing()
    {
        const QString d = folder("yes");
        QDir().mkpath(d + "/pieces");
        kivrotest::writeFile(d + "/a", pattern(2000000));
        kivrotest::writeFile(d + "/b", pattern(2000000, 1));
        add(d + "/a");
        add(d + "/b");
        w->UnpackSaveFileMnu_Click();
        Prompts::queue({"Yes", d + "/pieces"});
        w->UnpackMnu_Click();
        QCOMPARE(Prompts::records().size(), 2);
        QVERIFY(Prompts::records().at(1).startsWith("dialog|"));
        QVERIFY(w->UnpackCustomDirMnu->isChecked());
        QCOMPARE(gUnpackCustomDir, d + "/pieces");
        QCOMPARE(QDir(d).entryList(QDir::Files), (QStringList{"a", "b"}));
        QVERIFY(QDir(d + "/pieces").isEmpty());
        verifyIdle();

        // The next press splits both into the chosen folder.
        Prompts::enableScripted();
        w->UnpackMnu_Click();
        QCOMPARE(Prompts::records(), QStringList{box("Information", "OK", "2 files successfully unpacked!", "OK")});
        QCOMPARE(QDir(d + "/pieces").entryList(QDir::Files), (QStringList{"a.001", "a.002", "b.001", "b.002"}));
    }

    void joinBatchFileWithTheStampLines()
    {
        const QString d = folder("batch");
        kivrotest::writeFile(d + "/movie.mpg", pattern(3000000));
        add(d + "/movie.mpg");
        kivrotest::writeFile(CopyrightStampFile(), "Copyright Bob\r\n\r\n");
        LoadCopyrightDataFromFile(*w);
        w->CreateJoinBatMnu_Click();
        w->UnpackMnu_Click();
        QCOMPARE(Prompts::records(), QStringList{kOneDone});
        const QByteArray expected
            = "@echo off\r\n@echo Copyright Bob\r\n@echo.\r\n@echo -------------\r\n"
              "If NOT exist \"movie.mpg.001\" Goto 0\r\nIf NOT exist \"movie.mpg.002\" Goto 0\r\n"
              "If NOT exist \"movie.mpg.003\" Goto 0\r\n"
              "Copy/b \"movie.mpg.001\" + \"movie.mpg.002\" + \"movie.mpg.003\" \"movie.mpg-JOIN.mpg\"\r\n"
              "If errorlevel 1 Goto 2\r\ngoto 1\r\n:0\r\nCls\r\n@echo Some required file(s) not found.\r\n"
              "@echo movie.mpg-JOIN.mpg NOT successfully created.\r\nExit\r\n:2\r\n"
              "@echo movie.mpg-JOIN.mpg NOT successfully created.\r\nExit\r\n:1\r\nCls\r\n"
              "@echo movie.mpg-JOIN.mpg successfully created.\r\nExit\r\n";
        QCOMPARE(kivrotest::readFile(d + "/movie.mpg-JOIN.bat"), expected);
        QCOMPARE(expected.count("\r\n"), 22);
    }

    void emptyListAndSmallFiles()
    {
        w->UnpackMnu_Click();
        QCOMPARE(Prompts::records(), QStringList{box("Exclamation", "OK", "Nothing to unpack.", "OK")});
        verifyIdle();

        const QString d = folder("small");
        kivrotest::writeFile(d + "/a", pattern(2000000));
        kivrotest::writeFile(d + "/b", QByteArray());
        kivrotest::writeFile(d + "/c", pattern(1000));
        add(d + "/a");
        add(d + "/b");
        Prompts::enableScripted();
        w->UnpackMnu_Click();
        QCOMPARE(Prompts::records(),
                 QStringList{box("Critical", "OK",
                                 "Cannot unpack '" + d + "/b' which is a 0 byte file. Unpacking aborted!", "OK")});
        w->packList().clear();
        add(d + "/c");
        Prompts::enableScripted();
        w->UnpackMnu_Click();
        QCOMPARE(Prompts::records(),
                 QStringList{
                     box("Critical", "OK",
                         "Cannot unpack '" + d + "/c' because it is a smaller than 1,440,000 bytes. Unpacking aborted!",
                         "OK")});
        QCOMPARE(QDir(d).entryList(QDir::Files), (QStringList{"a", "b", "c"}));
        verifyIdle();
    }
};

KIVRO_TEST_MAIN(TestUnpackWindow)
#include "tst_unpack.moc"
