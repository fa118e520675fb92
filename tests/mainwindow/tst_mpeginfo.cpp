// The main window's MPEG information labels, filled by the engine's routines through the window
// itself.
#include "KivroTest.h"

#include "engine/EngineGlobals.h"
#include "engine/Mpeg.h"
#include "mainwindow/kivromainfrm.h"

using namespace kivro;

class TestMpegInfo : public QObject {
    Q_OBJECT

    QString dir;

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/info");
        QDir().mkpath(dir);
    }

    void labelsFollowTheChosenFile()
    {
        kivromainfrm form;
        const QString good = dir + QStringLiteral("/good.mpg");
        const QString plain = dir + QStringLiteral("/plain.bin");
        kivrotest::writeFile(good, QByteArray("\x00\x00\x01\xB3\x2D\x02\x40\x13", 8) + QByteArray(100, '\x55'));
        kivrotest::writeFile(plain, QByteArray(100, '\x55'));

        form.mPreviewLengthMs = 2000;
        form.mPreviewLengthFrames = 50;
        ShowMpegInfo(form, good, false);
        QCOMPARE(form.MpegInfoVideoSize_Lbl->text(), QStringLiteral("720x576 (pxls)"));
        QCOMPARE(form.MpegInfoVideoRate_Lbl->text(), QStringLiteral("25 fps"));
        QVERIFY(form.MoreInfo_Cmd->isEnabled());
        QVERIFY(gMpegInfoAvailable);
        QCOMPARE(form.mousePointer(), 0);
        QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);

        ShowMpegInfo(form, good, true);
        QVERIFY(Prompts::records().value(0).contains(
            QLatin1String("Duration: 00:00:02:00 secs\\nTotal Frames: 50 frames")));

        ShowMpegInfo(form, plain, false);
        QCOMPARE(form.MpegInfoVideoSize_Lbl->text(), QStringLiteral("Not Available"));
        QCOMPARE(form.MpegInfoVideoRate_Lbl->text(), QStringLiteral("Not Available"));
        QVERIFY(!form.MoreInfo_Cmd->isEnabled());
        QVERIFY(!gMpegInfoAvailable);
    }
};

KIVRO_TEST_MAIN(TestMpegInfo)
#include "tst_mpeginfo.moc"
