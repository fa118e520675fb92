// The real main window on a real X server: its shape, dragging by the background, the icon and
// the caption (with and without a docked pack-list window, also a hidden one) and the small skin
// buttons under a real pointer.
//
// Window masks do not exist on the offscreen platform, so the test starts itself again under
// xvfb-run with QT_QPA_PLATFORM=xcb and drives the pointer with xdotool. The same child also
// renders the screenshots for docs/ (scripts/screenshots.sh).
#include "KivroTest.h"

#include "engine/EngineGlobals.h"
#include "mainwindow/SkinLayout.h"
#include "mainwindow/StartupLinks.h"
#include "mainwindow/kivromainfrm.h"
#include "mainwindow/mMain.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListBox.h"
#include "packlist/PackListGlobals.h"
#include "platform/SkinArt.h"

#include <QAction>
#include <QDir>
#include <QScreen>
#include <QStandardPaths>
#include <QStyleHints>

using namespace kivro;

namespace {

const QColor kDesktop(255, 0, 255);
const QPoint kWindowAt(100, 80);

using kivrotest::pointerTo;
using kivrotest::screenPixel;
using kivrotest::settle;
using kivrotest::xdo;

QPoint globalOfSkin(const QWidget& w, QPoint skinPoint)
{
    return w.pos() + skin::kSkinOrigin + skinPoint;
}

QPoint centreOf(const QWidget& w, const char* control)
{
    return w.pos() + skin::windowRect(control).center();
}

bool near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) <= 6 && std::abs(a.green() - b.green()) <= 6
           && std::abs(a.blue() - b.blue()) <= 6;
}

void setDocked(bool docked)
{
    gPackListDockedTop = gPackListDockedBottom = gPackListDockedLeft = false;
    gPackListDockedRight = docked;
}

// A plain backdrop of a colour the skin does not use, standing in for the desktop.
QWidget* makeDesktop()
{
    return kivrotest::makeDesktop(kDesktop);
}

} // namespace

// Runs on the X server that xvfb-run starts.
class TestSkinWindowX11 : public QObject {
    Q_OBJECT
public:
    // The screenshots for the README (the child's "screenshot" mode).
    static int renderScreenshots(const QString& dir);

private:
    QWidget* desktop = nullptr;

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        desktop = makeDesktop();
        QVERIFY(QTest::qWaitForWindowExposed(desktop));
    }
    void cleanupTestCase() { delete desktop; }
    void init() { setDocked(false); }

    void maskShowsTheDesktopOutsideTheSkin()
    {
        kivromainfrm w;
        w.move(kWindowAt);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(screenPixel(globalOfSkin(w, {266, 150})) != kDesktop);

        const QImage art = SkinArt::pixmap(QStringLiteral("main_bg"), skin::kSkinSize, 1.0).toImage();
        // Outside the shape: the skin's cut corner, the window's own frame corner, the cut
        // right edge and the cut bottom left.
        QCOMPARE(screenPixel(globalOfSkin(w, {0, 0})), kDesktop);
        QCOMPARE(screenPixel(kWindowAt + QPoint(1, 1)), kDesktop);
        QCOMPARE(screenPixel(globalOfSkin(w, {533, 100})), kDesktop);
        QCOMPARE(screenPixel(globalOfSkin(w, {10, 290})), kDesktop);
        // Inside: the skin picture where no control lies, and the window's content (the file
        // list) at the middle.
        for (const QPoint p : {QPoint(2, 2), QPoint(60, 300), QPoint(480, 120)}) {
            const QColor got = screenPixel(globalOfSkin(w, p));
            QVERIFY2(near(got, art.pixelColor(p)), qPrintable(QStringLiteral("skin (%1, %2): %3, expected %4")
                                                                  .arg(p.x())
                                                                  .arg(p.y())
                                                                  .arg(got.name(), art.pixelColor(p).name())));
        }
    }

    void dragMovesTheWindow_data()
    {
        QTest::addColumn<QString>("handle");
        QTest::addColumn<QPoint>("press"); // skin pixels
        QTest::addColumn<bool>("docked");
        QTest::addColumn<bool>("packListShown");
        QTest::addColumn<bool>("disarms");
        QTest::newRow("background, pack list docked: carried along")
            << "BG_Img" << QPoint(480, 120) << true << true << true;
        QTest::newRow("background, docked and hidden: carried along")
            << "BG_Img" << QPoint(480, 120) << true << false << true;
        QTest::newRow("background, not docked: stays") << "BG_Img" << QPoint(480, 120) << false << true << true;
        QTest::newRow("caption, docked") << "TesmaKivroCaption" << QPoint(60, 12) << true << true << false;
        QTest::newRow("icon, not docked") << "KivroIcon_Img" << QPoint(16, 12) << false << true << false;
    }
    void dragMovesTheWindow()
    {
        QFETCH(QString, handle);
        QFETCH(QPoint, press);
        QFETCH(bool, docked);
        QFETCH(bool, packListShown);
        QFETCH(bool, disarms);
        kivromainfrm w;
        Brovletfrm* packList = PackListForm();
        packList->move(700, 80);
        setDocked(docked);
        w.move(kWindowAt);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        if (packListShown) {
            packList->show();
            QVERIFY(QTest::qWaitForWindowExposed(packList));
        }
        settle();
        const QPoint start = w.pos();
        const QPoint packStart = packList->pos();
        QCOMPARE(w.childAt(skin::kSkinOrigin + press)->objectName(), handle);

        // Armed as by a press of Pack: moves over the background disarm it, the others do not.
        gActionArmed = true;
        const QPoint at = globalOfSkin(w, press);
        QVERIFY(pointerTo(at));
        settle();
        // Long enough after the previous row's press at this place not to be its double-click.
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
        QVERIFY(xdo({QStringLiteral("mousedown"), QStringLiteral("1")}));
        QTRY_VERIFY(w.mDrag.dragging);
        QVERIFY(pointerTo(at + QPoint(20, 10)));
        settle();
        QVERIFY(xdo({QStringLiteral("mouseup"), QStringLiteral("1")}));
        settle();

        QTRY_COMPARE(w.pos(), start + QPoint(20, 10));
        QVERIFY(!w.mDrag.dragging);
        QCOMPARE(packList->pos(), docked ? packStart + QPoint(20, 10) : packStart);
        QCOMPARE(packList->isVisible(), packListShown);
        QCOMPARE(gActionArmed, !disarms);
        // The X server agrees: the skin is now under the new place.
        QTRY_VERIFY(screenPixel(globalOfSkin(w, {480, 120})) != kDesktop);

        // A move without a button held drags nothing.
        QVERIFY(pointerTo(at + QPoint(60, 30)));
        settle();
        QCOMPARE(w.pos(), start + QPoint(20, 10));
        packList->hide();
        gActionArmed = false;
    }

    void skinButtonsShowOverDownAndUp()
    {
        kivromainfrm w;
        w.move(kWindowAt);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        settle();
        SkinImage* add = w.ButtonAdd_Img;
        int adds = 0;
        connect(w.AddFileToList_Cmb, &QPushButton::clicked, this, [&] { ++adds; });
        const QPoint addAt = centreOf(w, "ButtonAdd_Img");
        const QPoint background = globalOfSkin(w, {480, 120});

        QVERIFY(pointerTo(addAt));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Over);
        QCOMPARE(add->pictureName(add->picture()), w.ButtonAdd_Over_Img->pictureName(SkinImage::Picture::Up));
        // Moving over the background puts every skin button back to its up picture.
        QVERIFY(pointerTo(background));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Up);

        QVERIFY(pointerTo(addAt));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Over);
        QVERIFY(xdo({QStringLiteral("mousedown"), QStringLiteral("1")}));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Down);
        QVERIFY(xdo({QStringLiteral("mouseup"), QStringLiteral("1")}));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Up);
        QTRY_COMPARE(adds, 1);

        // Pressed on Add, released off it: the picture comes back up, nothing is added. (The press
        // comes after the double-click time: a quicker one would be the click's double-click.)
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
        QVERIFY(xdo({QStringLiteral("mousedown"), QStringLiteral("1")}));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Down);
        QVERIFY(pointerTo(background));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Over); // every move reaches it while held
        QVERIFY(xdo({QStringLiteral("mouseup"), QStringLiteral("1")}));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Up);
        settle();
        QCOMPARE(adds, 1);

        // Close: pressed on it, released far away: the program ends through the shutdown.
        QList<int> ended;
        mMain::SetEndProcessForTests([&](int status) { ended << status; });
        QVERIFY(pointerTo(centreOf(w, "ButtonClose_Img")));
        QTRY_COMPARE(w.ButtonClose_Img->picture(), SkinImage::Picture::Over);
        QVERIFY(xdo({QStringLiteral("mousedown"), QStringLiteral("1")}));
        QTRY_COMPARE(w.ButtonClose_Img->picture(), SkinImage::Picture::Down);
        QVERIFY(pointerTo(background + QPoint(0, 300)));
        settle();
        QVERIFY(ended.isEmpty());
        QVERIFY(xdo({QStringLiteral("mouseup"), QStringLiteral("1")}));
        QTRY_COMPARE(ended, QList<int>{0});
        mMain::SetEndProcessForTests(nullptr);
        QCOMPARE(w.ButtonClose_Img->picture(), SkinImage::Picture::Up);
        QVERIFY(!w.isVisible());
    }
};

// Renders the real main window with the pack-list window docked on its right into `dir`:
// kivro.png (idle) and kivro-packing.png (a pack running) at scale 1, kivro@2x.png at scale 2.
// Nothing is put into the windows here: the settings file and the sample files that
// scripts/screenshots.sh made are read by the load (the browser opens the sample folder and shows
// the first file's MPEG information), the files in KIVRO_SHOT_HAND_OFF reach the pack list by the
// command-line hand-off, whose save dialog is answered with KIVRO_SHOT_SAVE_AS, and the pack runs
// as the Pack menu item runs it. What lies outside the windows' shapes is transparent.
int TestSkinWindowX11::renderScreenshots(const QString& dir)
{
    std::unique_ptr<QWidget> desktop(makeDesktop());
    kivromainfrm w;
    w.move(kWindowAt);
    w.show();
    startup::ShowPackListWindowAtStart(&w);
    Prompts::queue(qEnvironmentVariable("KIVRO_SHOT_SAVE_AS"));
    w.ArmContextMenuShellTimer(qEnvironmentVariable("KIVRO_SHOT_HAND_OFF"));
    Brovletfrm* packList = PackListForm();
    if (!QTest::qWaitFor([&] { return w.packList().count() > 0 && packList->isVisible(); }, 30000))
        return 4;
    // Docked the way the Magnetise menu item does it.
    w.MagnetisePackList();
    if (!QTest::qWaitForWindowExposed(&w) || !QTest::qWaitForWindowExposed(packList))
        return 2;
    QDir().mkpath(dir);
    QScreen* screen = QGuiApplication::primaryScreen();
    const bool hiDpi = screen->devicePixelRatio() > 1.0;
    const QRect area = w.frameGeometry().united(packList->frameGeometry());
    const auto shoot = [&](const QString& name) {
        QTest::qWait(400);
        QImage shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                          .toImage()
                          .convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < shot.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(shot.scanLine(y));
            for (int x = 0; x < shot.width(); ++x)
                if ((line[x] & 0xffffff) == (kDesktop.rgb() & 0xffffff))
                    line[x] = 0;
        }
        return shot.save(dir + QLatin1Char('/') + name);
    };
    if (hiDpi)
        return shoot(QStringLiteral("kivro@2x.png")) ? 0 : 3;
    if (!shoot(QStringLiteral("kivro.png")))
        return 3;
    // The pack, pictured once its progress has passed a third (its progress updates let the
    // timer run).
    bool packed = false;
    QTimer whilePacking;
    whilePacking.setInterval(20);
    QObject::connect(&whilePacking, &QTimer::timeout, &w, [&] {
        if (packed || !w.ActionRunning() || w.percentdone_lbl->text().remove(QLatin1Char('%')).toInt() < 34)
            return;
        whilePacking.stop();
        packed = shoot(QStringLiteral("kivro-packing.png"));
    });
    whilePacking.start();
    w.PackMnu_Click();
    return packed ? 0 : 5;
}

static int child(const QString& mode)
{
    Prompts::enableScripted();
    if (mode == QLatin1String("x11")) {
        TestSkinWindowX11 tc;
        return QTest::qExec(&tc, QStringList{QCoreApplication::applicationFilePath()});
    }
    if (mode == QLatin1String("screenshot"))
        return TestSkinWindowX11::renderScreenshots(qEnvironmentVariable("KIVRO_SHOT_DIR", QStringLiteral("docs")));
    return 99;
}

class TestSkinWindow : public QObject {
    Q_OBJECT
private slots:
    void onTheX11Platform()
    {
        const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
        if (xvfbRun.isEmpty())
            QSKIP("xvfb-run is not installed");
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty(), "xdotool is not installed");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KIVRO_TEST_CHILD"), QStringLiteral("x11"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("QT_SCALE_FACTOR"));
        QByteArray out;
        // Several tests may start an X server at once; "xvfb-run -a" can then pick a display
        // number another one takes first. Such a start is tried again.
        for (int attempt = 0; attempt < 3; ++attempt) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(xvfbRun,
                    {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x800x24 -nolisten tcp"),
                     QCoreApplication::applicationFilePath()});
            QVERIFY(p.waitForStarted());
            const bool finished = p.waitForFinished(180000);
            if (!finished)
                p.kill();
            out = p.readAll();
            QVERIFY2(finished, out.constData());
            if (!out.contains("Totals:")
                && (out.contains("Xvfb failed to start") || out.contains("Server is already active")))
                continue;
            QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, out.constData());
            QVERIFY2(out.contains("Totals:") && out.contains(" 0 failed"), out.constData());
            return;
        }
        QFAIL(out.constData());
    }
};

KIVRO_TEST_MAIN_WITH_CHILD(TestSkinWindow, child)
#include "tst_skinwindow.moc"
