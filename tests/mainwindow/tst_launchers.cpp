// The launchers: playing the browser's file, the help file, the web pages and the mail, handed to
// the desktop. The positive launches run in a child of this test on the X11 platform under Xvfb
// (the offscreen platform opens nothing), with a stub xdg-open on PATH that logs its argument.
#include "KivroTest.h"

#include "mainwindow/Launchers.h"
#include "mainwindow/MainGlobals.h"
#include "mainwindow/kivromainfrm.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

using namespace kivro;

namespace {

const QString kOnlyLastPlayed = QStringLiteral(
    "box|Information|OK|Tesma Kivro Pro|More than 1 file selected. Only last selected file will be played.|OK");

QString notFound(const QString& path)
{
    return QStringLiteral("box|Critical|OK|Tesma Kivro Pro|'") + path + QStringLiteral("' was not found!|OK");
}

int logLines(const QString& log)
{
    return int(kivrotest::readFile(log).count('\n'));
}

// Waits until the stub has logged `lines` lines (each launch is a separate process).
bool waitForLog(const QString& log, int lines)
{
    QElapsedTimer timer;
    timer.start();
    while (logLines(log) < lines) {
        if (timer.elapsed() > 15000)
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    return true;
}

} // namespace

class TestLaunchers : public QObject {
    Q_OBJECT
public:
    // The child process of the launch test (run by the test main in place of the tests).
    static int launchChild(const QString& mode);

    QString root;

private slots:
    void initTestCase()
    {
        root = kivrotest::rootDir() + QStringLiteral("/launch");
        QDir().mkpath(root);
    }

    void init() { Prompts::enableScripted(); }

    void missingTargetsAreReported()
    {
        const QString dir = root + QStringLiteral("/missing");
        for (const char* f : {"a.mpg", "b.mpg", "c.mpg"})
            kivrotest::writeFile(dir + QLatin1Char('/') + QLatin1String(f), "x");
        kivromainfrm form;
        QVERIFY(form.BrowseTo(dir));
        form.SelAll_Cmd_Click();
        form.File1->setCurrentRow(1, QItemSelectionModel::NoUpdate);
        QFile::remove(dir + QStringLiteral("/b.mpg"));
        Prompts::clearRecords();

        // Three selected: the note first, then the focused file, which is gone.
        gototesmabas::PlaySelectedFile(form);
        QCOMPARE(Prompts::records(), (QStringList{kOnlyLastPlayed, notFound(dir + QStringLiteral("/b.mpg"))}));
        QCOMPARE(gMsgResult, vbOK);

        // One selected: no note.
        Prompts::clearRecords();
        form.DeSelAll_Cmd_Click();
        form.File1->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
        form.File1_Click();
        form.PlayMpegFileSelPopupMnu_Click();
        QCOMPARE(Prompts::records(), QStringList{notFound(dir + QStringLiteral("/b.mpg"))});

        // The help file is looked for in the program folder.
        Prompts::clearRecords();
        const QString empty = root + QStringLiteral("/noprogram");
        QDir().mkpath(empty);
        gAppPath = empty;
        form.HelpTopicMnu_Click();
        QCOMPARE(Prompts::records(), QStringList{notFound(empty + QStringLiteral("/Kivro.html"))});
        gAppPath = QStringLiteral("/");
        QCOMPARE(gototesmabas::HelpFilePath(), QStringLiteral("/Kivro.html"));
    }

    void roundLinkPointer_data()
    {
        QTest::addColumn<bool>("mail");
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        // A picture of 32 x 32 pixels: 480 x 480 twips, radius 240.
        QTest::newRow("web, centre") << false << QPointF(240, 240) << 0 << 99;
        QTest::newRow("web, on the rim") << false << QPointF(240, 0) << 0 << 0;
        QTest::newRow("web, just inside") << false << QPointF(240, 1) << 0 << 99;
        QTest::newRow("web, corner") << false << QPointF(10, 10) << 0 << 0;
        QTest::newRow("web, busy") << false << QPointF(240, 240) << 11 << 11;
        QTest::newRow("mail, centre") << true << QPointF(240, 240) << 0 << 99;
        QTest::newRow("mail, corner") << true << QPointF(470, 470) << 0 << 0;
        QTest::newRow("mail, busy") << true << QPointF(240, 240) << 11 << 11;
    }

    void roundLinkPointer()
    {
        QFETCH(bool, mail);
        QFETCH(QPointF, at);
        QFETCH(int, before);
        QFETCH(int, after);
        kivromainfrm form;
        form.setMousePointer(before);
        if (mail)
            form.EmailImg_MouseMove(float(at.x()), float(at.y()), 480, 480);
        else
            form.WebBrowserImg_MouseMove(float(at.x()), float(at.y()), 480, 480);
        QCOMPARE(form.mousePointer(), after);
    }

    void helpFileIsShippedWithItsPictures()
    {
        const QString program = QStringLiteral(KIVRO_PROGRAM_DIR);
        const QByteArray html = kivrotest::readFile(program + QStringLiteral("/Kivro.html"));
        QVERIFY2(!html.isEmpty(), "Kivro.html is not in the program folder");
        QVERIFY(html.contains("<title>"));
        // Every picture and local link of the manual is there too.
        static const QRegularExpression ref(QStringLiteral("(?:src|href)=\"([^\"#:]+)\""));
        int pictures = 0;
        for (auto it = ref.globalMatch(QString::fromUtf8(html)); it.hasNext();) {
            const QString target = it.next().captured(1);
            QVERIFY2(QFileInfo::exists(program + QLatin1Char('/') + target), qPrintable(target));
            pictures += target.endsWith(QLatin1String(".svg")) ? 1 : 0;
        }
        QVERIFY(pictures > 0);
    }

    void launchesThroughTheDesktop()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty())
            QSKIP("xvfb-run is not installed");
        const QString dir = root + QStringLiteral("/play");
        for (const char* f : {"a.mpg", "b.mpg", "c d.mpg"})
            kivrotest::writeFile(dir + QLatin1Char('/') + QLatin1String(f), "x");
        const QString stubs = root + QStringLiteral("/bin");
        const QString log = root + QStringLiteral("/xdg-open.log");
        kivrotest::writeFile(stubs + QStringLiteral("/xdg-open"),
                             "#!/bin/sh\nprintf '%s\\n' \"$*\" >> \"$KIVRO_LAUNCH_LOG\"\n");
        QFile::setPermissions(stubs + QStringLiteral("/xdg-open"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString program = QStringLiteral(KIVRO_PROGRAM_DIR);

        QFile::remove(log);
        QByteArray out;
        const int code = kivrotest::runChildOnX11(QStringLiteral("launch"),
                                                  {QStringLiteral("KIVRO_LAUNCH_DIR=") + dir,
                                                   QStringLiteral("KIVRO_LAUNCH_LOG=") + log,
                                                   QStringLiteral("KIVRO_PROGRAM=") + program},
                                                  stubs, &out);
        QVERIFY2(code == 0, out.constData());
        QVERIFY2(out.contains("DONE"), out.constData());

        const QStringList launched
            = QString::fromUtf8(kivrotest::readFile(log)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList expected{
            QString::fromUtf8(QUrl::fromLocalFile(dir + QStringLiteral("/c d.mpg")).toEncoded()),
            QString::fromUtf8(QUrl::fromLocalFile(program + QStringLiteral("/Kivro.html")).toEncoded()),
            QStringLiteral("mailto:support@tesma.example"),
            QStringLiteral("https://tesma.example/"),
            QStringLiteral("https://tesma.example/kivro"),
            QStringLiteral("https://tesma.example/faq"),
            QStringLiteral("https://tesma.example/kivro"),
            QStringLiteral("https://tesma.example/support"),
        };
        QCOMPARE(launched, expected);
        QStringList boxes;
        for (const QByteArray& line : out.split('\n'))
            if (line.startsWith("REC:"))
                boxes << QString::fromUtf8(line.mid(4));
        QCOMPARE(boxes, QStringList{kOnlyLastPlayed});
    }
};

// The child: every launch once, in order, waiting for each to reach the stub; then the boxes it
// showed, one per line.
int TestLaunchers::launchChild(const QString& mode)
{
    if (mode != QLatin1String("launch"))
        return 99;
    Prompts::enableScripted();
    const QString dir = qEnvironmentVariable("KIVRO_LAUNCH_DIR");
    const QString log = qEnvironmentVariable("KIVRO_LAUNCH_LOG");
    kivromainfrm form;
    if (!form.BrowseTo(dir))
        return 2;
    form.SelAll_Cmd_Click();
    form.File1->setCurrentRow(2, QItemSelectionModel::NoUpdate);
    int expected = 0;
    const std::function<void()> launches[] = {
        [&] { form.PlayMpegFileSelPopupMnu_Click(); },
        [&] {
            gAppPath = qEnvironmentVariable("KIVRO_PROGRAM");
            form.HelpTopicMnu_Click();
        },
        [&] { form.EmailImg_Click(); },
        [&] { form.GoToSiteMnu_Click(); },
        [&] { form.KivroSiteMnu_Click(); },
        [&] { form.KivroFAQMnu_Click(); },
        [&] { form.WebBrowserImg_Click(); },
        [&] { gototesmabas::GoToSupportPage(); },
    };
    for (const auto& launch : launches) {
        launch();
        if (!waitForLog(log, ++expected))
            return 3;
    }
    for (const QString& r : Prompts::records())
        printf("REC:%s\n", qPrintable(r));
    printf("DONE\n");
    fflush(stdout);
    return 0;
}

KIVRO_TEST_MAIN_WITH_CHILD(TestLaunchers, TestLaunchers::launchChild)
#include "tst_launchers.moc"
