// Start-up and shutdown of the kivro program: the single-instance test with real processes,
// the windows shown at start, the screen scale, the last resort for run-time errors, and the
// settings written by every close of the main window.
#include "KivroTest.h"
#include "StoredSettings.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/Tipfrm.h"
#include "engine/EngineGlobals.h"
#include "engine/Registry.h"
#include "mainwindow/MainGlobals.h"
#include "mainwindow/agreefrm.h"
#include "mainwindow/kivromainfrm.h"
#include "mainwindow/StartupLinks.h"
#include "mainwindow/mMain.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/Globals.h"
#include "platform/Paths.h"
#include "platform/RuntimeError.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>

#include <stdexcept>
#include <sys/stat.h>

using namespace kivro;
using namespace kivro::Registry;

Q_DECLARE_METATYPE(std::optional<QPointF>)
Q_DECLARE_METATYPE(std::optional<QString>)

static int child(const QString& mode)
{
    if (mode == QLatin1String("runtime-error"))
        return mMain::RunGuarded([] {
            raiseError(53);
            return 0;
        });
    if (mode == QLatin1String("error-in-event"))
        return mMain::RunGuarded([] {
            QTimer::singleShot(0, [] { raiseError(75, QStringLiteral("Path/File access error")); });
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < 2000)
                QCoreApplication::processEvents();
            return 0;
        });
    if (mode == QLatin1String("other-exception"))
        return mMain::RunGuarded([]() -> int { throw std::out_of_range("index 7 is out of range"); });
    if (mode == QLatin1String("close-in-loop")) {
        // A copy loop that pumps events while the main window is closed under it.
        MainForm()->show();
        QTimer::singleShot(20, [] { MainForm()->close(); });
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 3000)
            QCoreApplication::processEvents();
        std::puts("returned into the loop");
        return 7;
    }
    return 99;
}

namespace {

struct Program {
    QString root;
    QProcessEnvironment env;
    QString log;
};

Program privateProgramEnvironment(const QString& name)
{
    Program p;
    p.root = kivrotest::rootDir() + QLatin1Char('/') + name;
    for (const char* sub : {"config", "data", "runtime"})
        QDir().mkpath(p.root + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(p.root + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    p.log = p.root + QStringLiteral("/log.txt");
    kivrotest::writeFile(p.root + QStringLiteral("/answers.txt"), QByteArray());
    p.env = QProcessEnvironment::systemEnvironment();
    p.env.insert(QStringLiteral("XDG_CONFIG_HOME"), p.root + QStringLiteral("/config"));
    p.env.insert(QStringLiteral("XDG_DATA_HOME"), p.root + QStringLiteral("/data"));
    p.env.insert(QStringLiteral("XDG_RUNTIME_DIR"), p.root + QStringLiteral("/runtime"));
    p.env.insert(QStringLiteral("HOME"), p.root);
    p.env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.env.insert(QStringLiteral("KIVRO_TEST_LOG"), p.log);
    p.env.insert(QStringLiteral("KIVRO_TEST_ANSWERS"), p.root + QStringLiteral("/answers.txt"));
    return p;
}

void startKivro(QProcess& proc, const Program& p)
{
    proc.setProcessEnvironment(p.env);
    proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    proc.start(QStringLiteral(KIVRO_PROGRAM_DIR "/kivro"), {});
    QVERIFY(proc.waitForStarted());
}

// The tip window's load writes "ShowTod", so once it is in the settings file the start-up has
// passed the single-instance test and shown its windows.
bool waitForStartedWindows(const Program& p, QProcess& proc)
{
    const QString ini = p.root + QStringLiteral("/config/Tesma/Kivro.ini");
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 30000) {
        if (kivrotest::readFile(ini).contains("ShowTod=1"))
            return true;
        if (proc.state() != QProcess::Running)
            return false;
        QTest::qWait(50);
    }
    return false;
}

// A program folder with the shipped data files.
QString programFolderWithData(const QStringList& names)
{
    static int n = 0;
    const QString dir = kivrotest::rootDir() + QStringLiteral("/app%1").arg(++n);
    QDir().mkpath(dir);
    for (const QString& name : names)
        QFile::copy(QStringLiteral(KIVRO_SOURCE_DIR "/data/") + name, dir + QLatin1Char('/') + name);
    gAppPath = dir;
    return dir;
}

QString setting(const QString& name)
{
    return kivrotest::storedSetting(name, QStringLiteral("<missing>"));
}

const QString kInvalidIcon = QStringLiteral(
    "box|None|OK|Tesma Kivro Pro|Invalid icon file or file does not contain 32x32 or 16x16 icon|OK");

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        Prompts::enableScripted();
        QFile::remove(paths::settingsFile());
    }

    void dpiScale_data()
    {
        QTest::addColumn<QString>("dpi");
        QTest::addColumn<float>("scale");
        QTest::newRow("96") << "96" << 1.0f;
        QTest::newRow("120") << "120" << 1.25f;
        QTest::newRow("144") << "144" << 1.5f;
        QTest::newRow("192") << "192" << 2.0f;
        QTest::newRow("97") << "97" << float((97.0 - 96) / 96 + 1);
        QTest::newRow("below 96") << "72" << 1.0f;
        QTest::newRow("nothing") << "" << 1.0f;
        QTest::newRow("no number") << "high" << 1.0f;
        QTest::newRow("leading number only") << " 120 dpi" << 1.25f;
        QTest::newRow("decimal") << "120.5" << float((120.5 - 96) / 96 + 1);
        QTest::newRow("negative") << "-120" << 1.0f;
    }
    void dpiScale()
    {
        QFETCH(QString, dpi);
        QFETCH(float, scale);
        QCOMPARE(mMain::DpiScaleFromText(dpi), scale);
    }

    void programFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("appPath");
        QTest::newRow("plain") << "/opt/kivro"
                               << "/opt/kivro";
        QTest::newRow("trailing slash") << "/opt/kivro/"
                                        << "/opt/kivro";
        QTest::newRow("root stays root") << "/"
                                         << "/";
    }
    void programFolder()
    {
        QFETCH(QString, folder);
        QFETCH(QString, appPath);
        QCOMPARE(mMain::ProgramFolder(folder), appPath);
        QCOMPARE(paths::joinPath(mMain::ProgramFolder(folder), QStringLiteral("tod.ctd")),
                 appPath == QLatin1String("/") ? QStringLiteral("/tod.ctd") : appPath + QStringLiteral("/tod.ctd"));
    }

    void tipWindowAtStart_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("shown");
        QTest::newRow("0") << "0" << false;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("missing") << QString() << true;
    }
    void tipWindowAtStart()
    {
        QFETCH(QString, stored);
        QFETCH(bool, shown);
        if (!stored.isNull())
            RegWriteString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("ShowTod"), stored);
        const QString dir = programFolderWithData({"tod.ctd", "Tod.ir", "KivroPro.ir", "Amail.ir"});
        kivrotest::writeFile(dir + QStringLiteral("/tod.ctd"), "Hello\r\n");
        TipForm()->Unload();

        AgreeForm()->ShowStartupWindows();

        QVERIFY(MainForm()->isVisible());
        QCOMPARE(MainForm()->windowTitle(), QStringLiteral("Tesma Kivro Pro"));
        QVERIFY(PackListForm()->isVisible());
        QVERIFY(PackListForm()->isWindow());
        QCOMPARE(PackListForm()->parentWidget(), static_cast<QWidget*>(MainForm()));
        QCOMPARE(PackListForm()->windowTitle(), QStringLiteral("Pack List"));
        QCOMPARE(TipForm()->isVisible(), shown);
        if (shown) {
            QCOMPARE(TipForm()->parentWidget(), static_cast<QWidget*>(MainForm()));
            QCOMPARE(TipForm()->lblTipText->text(), QStringLiteral("Hello"));
        }
        QCOMPARE(setting(QStringLiteral("ShowTod")), shown ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(AgreeForm()->PicIcon2.size(), QSize(32, 32));
        QCOMPARE(AgreeForm()->PicIcon3.size(), QSize(32, 32));
        QVERIFY(AgreeForm()->PicIcon2 != AgreeForm()->PicIcon3);
        QVERIFY(Prompts::records().isEmpty());
        MainForm()->hide();
        PackListForm()->hide();
    }

    void aboutBoxIcons_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("product");
        QTest::addColumn<bool>("mail");
        QTest::newRow("both") << QStringList{"KivroPro.ir", "Amail.ir"} << true << true;
        QTest::newRow("without KivroPro.ir neither") << QStringList{"Amail.ir"} << false << false;
        QTest::newRow("without Amail.ir only the product") << QStringList{"KivroPro.ir"} << true << false;
    }
    void aboutBoxIcons()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, product);
        QFETCH(bool, mail);
        programFolderWithData(files);
        agreefrm* start = AgreeForm();
        start->PicIcon2 = QImage();
        start->PicIcon3 = QImage();
        start->picTemp = {};
        start->LoadAboutBoxIcons();
        QCOMPARE(!start->PicIcon2.isNull(), product);
        QCOMPARE(!start->PicIcon3.isNull(), mail);
        QCOMPARE(Prompts::records(), product && mail ? QStringList() : QStringList{kInvalidIcon});
    }

    void secondCopyEndsAtTheSingleInstanceTest()
    {
        const Program p = privateProgramEnvironment(QStringLiteral("single"));
        QProcess first;
        startKivro(first, p);
        QVERIFY(waitForStartedWindows(p, first));

        QProcess second;
        startKivro(second, p);
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(
            QString::fromUtf8(kivrotest::readFile(p.log)),
            QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|This program is already running!|OK\nboxstyle|OK|1\n"));
        QCOMPARE(first.state(), QProcess::Running);

        // A copy that dies leaves its lock behind; it must not block the next start.
        first.kill();
        QVERIFY(first.waitForFinished());
        QVERIFY(QFile::exists(p.root + QStringLiteral("/runtime/tesma-kivro/kivro.lock")));
        QFile::remove(p.root + QStringLiteral("/config/Tesma/Kivro.ini"));
        QProcess third;
        startKivro(third, p);
        QVERIFY(waitForStartedWindows(p, third));

        // A close asked by the system ends it through the shutdown: status 0, lock released.
        third.terminate();
        QVERIFY(third.waitForFinished(30000));
        QCOMPARE(third.exitStatus(), QProcess::NormalExit);
        QCOMPARE(third.exitCode(), 0);
        QVERIFY(!QFile::exists(p.root + QStringLiteral("/runtime/tesma-kivro/kivro.lock")));
        // The log still holds the second copy's box alone.
        QCOMPARE(
            QString::fromUtf8(kivrotest::readFile(p.log)),
            QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|This program is already running!|OK\nboxstyle|OK|1\n"));
    }

    // A runtime folder that is a link, another user's or open to others could have its lock
    // held by someone else for ever: the critical box, status 1, no window, nothing written
    // into the folder.
    void unsafeRuntimeFolderEndsAtTheSingleInstanceTest_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("open to all") << "0777";
        QTest::newRow("group may read") << "0750";
        QTest::newRow("a link to a private folder") << "link";
    }
    void unsafeRuntimeFolderEndsAtTheSingleInstanceTest()
    {
        QFETCH(QString, kind);
        const Program p = privateProgramEnvironment(QStringLiteral("unsafe ") + kind);
        const QString folder = p.root + QStringLiteral("/runtime/tesma-kivro");
        if (kind == QLatin1String("link")) {
            const QString target = p.root + QStringLiteral("/elsewhere");
            QVERIFY(QDir().mkpath(target));
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QVERIFY(QFile::link(target, folder));
        } else {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), mode_t(kind.toInt(nullptr, 8))) == 0);
        }
        QProcess kivro;
        startKivro(kivro, p);
        QVERIFY(kivro.waitForFinished(30000));
        QCOMPARE(kivro.exitStatus(), QProcess::NormalExit);
        QCOMPARE(kivro.exitCode(), 1);
        QStringList boxes = QString::fromUtf8(kivrotest::readFile(p.log)).split(QLatin1Char('\n'));
        boxes = boxes.filter(QRegularExpression(QStringLiteral("^(box|dialog)\\|")));
        QCOMPARE(boxes, QStringList{QStringLiteral("box|Critical|OK|Tesma Kivro Pro|'%1' belongs to someone else or "
                                                   "is open to others; Tesma Kivro Pro cannot run safely.|OK")
                                        .arg(folder)});
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        QVERIFY(!QFile::exists(p.root + QStringLiteral("/config/Tesma/Kivro.ini")));
    }

    void closingTheMainWindowEndsTheProgram()
    {
        QList<int> ended;
        mMain::SetEndProcessForTests([&](int status) { ended << status; });
        MainForm()->mShuttingDown = false;
        MainForm()->show();
        MainForm()->close();
        mMain::SetEndProcessForTests(nullptr);
        QCOMPARE(ended, QList<int>{0});
        QVERIFY(!MainForm()->isVisible());
        QVERIFY(Prompts::records().isEmpty());
        MainForm()->mShuttingDown = false;
    }

    void closeStoresThePackListWindowsPlace()
    {
        QList<int> ended;
        mMain::SetEndProcessForTests([&](int status) { ended << status; });
        MainForm()->mShuttingDown = false;
        MainForm()->show();
        // Placed before it is shown, as the main window's load places it; owning keeps the place.
        PackListForm()->setParent(nullptr, Qt::Window);
        PackListForm()->move(400, 300);
        startup::ShowPackListWindowAtStart(MainForm());
        QCOMPARE(PackListForm()->parentWidget(), static_cast<QWidget*>(MainForm()));
        QCOMPARE(PackListForm()->pos(), QPoint(400, 300));
        MainForm()->close();
        mMain::SetEndProcessForTests(nullptr);
        MainForm()->mShuttingDown = false;
        QCOMPARE(ended, QList<int>{0});
        QCOMPARE(setting(QStringLiteral("BrovletXpos")), QStringLiteral("6000"));
        QCOMPARE(setting(QStringLiteral("BrovletYpos")), QStringLiteral("4500"));
        PackListForm()->hide();
    }

    void closeDuringARunCleansUpFirst()
    {
        kivromainfrm* w = MainForm();
        ActionFrame& frame = w->mActionFrame;
        const QString out = kivrotest::rootDir() + QStringLiteral("/run-output.mpg");
        QList<int> ended;
        mMain::SetEndProcessForTests([&](int status) {
            // What the end of the process finds: files closed, no bar, the window idle.
            QCOMPARE(gOpenFileCount, 0);
            QCOMPARE(frame.mProgressBar.bar(), nullptr);
            QVERIFY(w->BusyIconImg->isHidden());
            ended << status;
        });
        w->mShuttingDown = false;
        w->show();
        {
            auto run = frame.BeginRun();
            QVERIFY(run);
            frame.mActionWord = QStringLiteral("pack");
            w->DisableControlsWhileBusy();
            w->setCancelPictureShown(frame.mActionWord, true);
            frame.mProgressBar.setParent(w);
            QVERIFY(frame.mProgressBar.Create(70, 200, 246, 15, true));
            QVERIFY(frame.mProgressBar.bar());
            w->file64().OpenFile(out, QStringLiteral("READ_WRITE"));
            QCOMPARE(gOpenFileCount, 1);
            QVERIFY(!w->BusyIconImg->isHidden());
            w->close(); // the Close picture acts during a run
        }
        mMain::SetEndProcessForTests(nullptr);
        w->mShuttingDown = false;
        QCOMPARE(ended, QList<int>{0});
        QVERIFY(Prompts::records().isEmpty());
    }

    void closeInsideEventPumpingNeverReturns()
    {
        QByteArray out;
        QCOMPARE(kivrotest::runChild(QStringLiteral("close-in-loop"), {}, &out), 0);
        QVERIFY2(!out.contains("returned"), out.constData());
    }

    void shutdownSettings_data()
    {
        QTest::addColumn<std::optional<QPointF>>("position");
        QTest::addColumn<std::optional<QString>>("folder");
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("y");
        QTest::addColumn<QString>("dir");
        QTest::newRow("400 px from the left")
            << std::optional<QPointF>(QPointF(6000, 4500)) << std::optional<QString>("/home/u/Videos") << "6000"
            << "4500"
            << "/home/u/Videos";
        QTest::newRow("off screen, root folder")
            << std::optional<QPointF>(QPointF(-3000, 0)) << std::optional<QString>("/") << "-3000"
            << "0"
            << "/";
        QTest::newRow("whole twips") << std::optional<QPointF>(QPointF(6000.4, 15.6)) << std::optional<QString>("/a, b")
                                     << "6000"
                                     << "16"
                                     << "/a, b";
        QTest::newRow("nothing known") << std::optional<QPointF>() << std::optional<QString>() << "<missing>"
                                       << "<missing>"
                                       << "<missing>";
    }
    void shutdownSettings()
    {
        QFETCH(std::optional<QPointF>, position);
        QFETCH(std::optional<QString>, folder);
        QFETCH(QString, x);
        QFETCH(QString, y);
        QFETCH(QString, dir);
        kivromainfrm::WriteShutdownSettings(position, folder);
        QCOMPARE(setting(QStringLiteral("BrovletXpos")), x);
        QCOMPARE(setting(QStringLiteral("BrovletYpos")), y);
        QCOMPARE(setting(QStringLiteral("LastUsedDir")), dir);
    }

    void unhandledRunTimeErrors_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("box");
        QTest::newRow("raised in the sequence") << "runtime-error"
                                                << "Run-time error '53':\\n\\nFile not found";
        QTest::newRow("raised in an event") << "error-in-event"
                                            << "Run-time error '75':\\n\\nPath/File access error";
        QTest::newRow("any other failure") << "other-exception"
                                           << "Run-time error '51':\\n\\nindex 7 is out of range";
    }
    void unhandledRunTimeErrors()
    {
        QFETCH(QString, mode);
        QFETCH(QString, box);
        const QString log = kivrotest::rootDir() + QStringLiteral("/error-") + mode + QStringLiteral(".txt");
        const QString answers = kivrotest::rootDir() + QStringLiteral("/no-answers.txt");
        kivrotest::writeFile(answers, QByteArray());
        QCOMPARE(kivrotest::runChild(
                     mode, {QStringLiteral("KIVRO_TEST_LOG=") + log, QStringLiteral("KIVRO_TEST_ANSWERS=") + answers}),
                 1);
        QCOMPARE(QString::fromUtf8(kivrotest::readFile(log)),
                 QStringLiteral("box|Critical|OK|Tesma Kivro Pro|") + box + QStringLiteral("|OK\nboxstyle|OK|0\n"));
    }
};

KIVRO_TEST_MAIN_WITH_CHILD(TestStartup, child)
#include "tst_startup.moc"
