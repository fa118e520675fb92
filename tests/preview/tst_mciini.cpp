// The media-driver entries of the per-user system.ini, over the profile-string calls: reading
// with the "None" default and the classic buffer, writing in place without disturbing the rest
// of the file, names without regard to case.
#include "KivroTest.h"

#include "platform/ProfileString.h"
#include "preview/MciIni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace kivro;

class TestMciIni : public QObject {
    Q_OBJECT

    QString ini() { return MciIniPath(); }

private slots:
    void init() { QFile::remove(ini()); }

    void fileIsPerUser() { QCOMPARE(ini(), kivrotest::rootDir() + QStringLiteral("/data/Tesma/Kivro/system.ini")); }

    void missingFileReadsNoneAndWriteCreatesIt()
    {
        QCOMPARE(ReadMciIniEntry(QStringLiteral("MPEGVideo")), QStringLiteral("None"));
        WriteMciIniEntry(QStringLiteral("MPEGVideo"), QStringLiteral("mciqtz.drv"));
        QCOMPARE(kivrotest::readFile(ini()), QByteArray("[MCI]\nMPEGVideo=mciqtz.drv\n"));
        QCOMPARE(ReadMciIniEntry(QStringLiteral("MPEGVideo")), QStringLiteral("mciqtz.drv"));
    }

    void writeKeepsTheRestOfTheFile()
    {
        kivrotest::writeFile(ini(),
                             "; my drivers\n[boot]\nshell=x\n\n[mci]\nmpegvideo = \"old.drv\"\ncdaudio=mcicda.drv\n"
                             "[drivers]\nwave=w.drv\n");
        QCOMPARE(ReadMciIniEntry(QStringLiteral("MPEGVideo")), QStringLiteral("old.drv"));
        QCOMPARE(ReadMciIniEntry(QStringLiteral("wave")), QStringLiteral("None")); // another section

        WriteMciIniEntry(QStringLiteral("MPEGVideo"), QStringLiteral("mciqtz.drv"));
        WriteMciIniEntry(QStringLiteral("avivideo"), QStringLiteral("mciavi.drv"));
        QCOMPARE(kivrotest::readFile(ini()),
                 QByteArray("; my drivers\n[boot]\nshell=x\n\n[mci]\nMPEGVideo=mciqtz.drv\ncdaudio=mcicda.drv\n"
                            "avivideo=mciavi.drv\n[drivers]\nwave=w.drv\n"));
    }

    void readsAtMost254Characters()
    {
        const QString longValue(300, QLatin1Char('x'));
        WriteMciIniEntry(QStringLiteral("sequencer"), longValue);
        QCOMPARE(ReadMciIniEntry(QStringLiteral("sequencer")), longValue.left(254));
        QString out;
        QCOMPARE(win::GetPrivateProfileStringA(QStringLiteral("MCI"), QStringLiteral("missing"), QStringLiteral("None"),
                                               &out, 3, ini()),
                 2u);
        QCOMPARE(out, QStringLiteral("No"));
    }

    // A system.ini that cannot be replaced (here a folder of that name) is not reported.
    void failedWriteIsSilent()
    {
        QDir().mkpath(ini());
        WriteMciIniEntry(QStringLiteral("MPEGVideo"), QStringLiteral("mciqtz.drv"));
        QCOMPARE(ReadMciIniEntry(QStringLiteral("MPEGVideo")), QStringLiteral("None"));
        QVERIFY(
            !win::WritePrivateProfileStringA(QStringLiteral("MCI"), QStringLiteral("a"), QStringLiteral("b"), ini()));
        QDir(ini()).removeRecursively();
    }

    // A write cut short (a full disk, here a file-size limit) is a failure, and the file keeps
    // what it held.
    void shortWriteKeepsTheOldFile()
    {
        const QByteArray old = "[mci]\nmpegvideo=old.drv\n";
        kivrotest::writeFile(ini(), old);
        {
            kivrotest::FileSizeLimit limit(old.size() + 4);
            QVERIFY(!win::WritePrivateProfileStringA(QStringLiteral("MCI"), QStringLiteral("MPEGVideo"),
                                                     QStringLiteral("a much longer driver name.drv"), ini()));
        }
        QCOMPARE(kivrotest::readFile(ini()), old);
        QCOMPARE(QDir(QFileInfo(ini()).path()).entryList(QDir::Files), QStringList{QStringLiteral("system.ini")});
    }
};

KIVRO_TEST_MAIN(TestMciIni)
#include "tst_mciini.moc"
