// The skinned window on a real X server: the window shape, dragging by the background (with and
// without a docked pack-list window) and the skin buttons' pictures under a real pointer.
//
// Window masks do not exist on the offscreen platform, so the test starts itself again under
// xvfb-run with QT_QPA_PLATFORM=xcb and drives the pointer with xdotool. The same child also
// renders the screenshots for docs/ (scripts/screenshots.sh).
#include "KivroTest.h"
#include "SkinTestWindow.h"

#include "platform/SkinArt.h"

#include <QDir>
#include <QPainter>
#include <QScreen>
#include <QStandardPaths>

using namespace kivro;

namespace {

const QColor kDesktop(255, 0, 255);
const QPoint kWindowAt(100, 80);

// Runs xdotool with the arguments; true when it succeeded.
bool xdo(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Lets the X server's events reach the windows.
void settle()
{
    QTest::qWait(150);
    QCoreApplication::processEvents();
}

QColor screenPixel(const QPoint& global)
{
    const QImage img = QGuiApplication::primaryScreen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage();
    return img.pixelColor(0, 0);
}

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
    return std::abs(a.red() - b.red()) <= 6 && std::abs(a.green() - b.green()) <= 6 && std::abs(a.blue() - b.blue()) <= 6;
}

} // namespace

// Runs on the X server that xvfb-run starts.
class TestSkinWindowX11 : public QObject {
    Q_OBJECT
    QWidget* desktop = nullptr;

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        // A plain backdrop of a colour the skin does not use, standing in for the desktop.
        desktop = new QWidget(nullptr, Qt::FramelessWindowHint);
        desktop->setAutoFillBackground(true);
        QPalette pal = desktop->palette();
        pal.setColor(QPalette::Window, kDesktop);
        desktop->setPalette(pal);
        desktop->setGeometry(QGuiApplication::primaryScreen()->geometry());
        desktop->show();
        QVERIFY(QTest::qWaitForWindowExposed(desktop));
    }
    void cleanupTestCase() { delete desktop; }

    void maskShowsTheDesktopOutsideTheSkin()
    {
        kivrotest::SkinTestWindow w(false);
        w.move(kWindowAt);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(screenPixel(globalOfSkin(w, {266, 150})) != kDesktop);

        const QImage art = SkinArt::pixmap(QStringLiteral("main_bg"), skin::kSkinSize, 1.0).toImage();
        // Outside the shape: the skin's cut corner and the window's own frame corner.
        QCOMPARE(screenPixel(globalOfSkin(w, {0, 0})), kDesktop);
        QCOMPARE(screenPixel(kWindowAt + QPoint(1, 1)), kDesktop);
        QCOMPARE(screenPixel(globalOfSkin(w, {533, 100})), kDesktop);
        QCOMPARE(screenPixel(globalOfSkin(w, {10, 290})), kDesktop);
        // Inside: the skin picture itself.
        for (const QPoint p : {QPoint(2, 2), QPoint(266, 150), QPoint(60, 300)}) {
            const QColor got = screenPixel(globalOfSkin(w, p));
            QVERIFY2(near(got, art.pixelColor(p)), qPrintable(QStringLiteral("skin (%1, %2): %3, expected %4")
                                                                   .arg(p.x()).arg(p.y()).arg(got.name(), art.pixelColor(p).name())));
        }
    }

    void dragByTheBackground_data()
    {
        QTest::addColumn<bool>("docked");
        QTest::newRow("pack list docked: carried along") << true;
        QTest::newRow("pack list not docked: stays") << false;
    }
    void dragByTheBackground()
    {
        QFETCH(bool, docked);
        kivrotest::SkinTestWindow w(false);
        QWidget packList(nullptr, Qt::FramelessWindowHint);
        packList.setWindowTitle(QStringLiteral("Pack List"));
        packList.setGeometry(700, 80, 322, 293);
        w.packList = &packList;
        w.dockFlags.right = docked;
        w.move(kWindowAt);
        w.show();
        packList.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(QTest::qWaitForWindowExposed(&packList));
        settle();
        const QPoint start = w.pos();
        const QPoint packStart = packList.pos();

        // Press on the background, move by (+20, +10), release.
        const QPoint press = globalOfSkin(w, {480, 120});
        QVERIFY(xdo({QStringLiteral("mousemove"), QString::number(press.x()), QString::number(press.y())}));
        settle();
        QVERIFY(xdo({QStringLiteral("mousedown"), QStringLiteral("1")}));
        QTRY_VERIFY(w.drag.dragging);
        QVERIFY(xdo({QStringLiteral("mousemove"), QString::number(press.x() + 20), QString::number(press.y() + 10)}));
        settle();
        QVERIFY(xdo({QStringLiteral("mouseup"), QStringLiteral("1")}));
        settle();

        QTRY_COMPARE(w.pos(), start + QPoint(20, 10));
        QVERIFY(!w.drag.dragging);
        QCOMPARE(packList.pos(), docked ? packStart + QPoint(20, 10) : packStart);
        // The X server agrees: the skin is now under the new place.
        QTRY_VERIFY(screenPixel(globalOfSkin(w, {266, 150})) != kDesktop);

        // A move without a button held drags nothing.
        QVERIFY(xdo({QStringLiteral("mousemove"), QString::number(press.x() + 60), QString::number(press.y() + 30)}));
        settle();
        QCOMPARE(w.pos(), start + QPoint(20, 10));
    }

    void skinButtonsShowOverDownAndUp()
    {
        kivrotest::SkinTestWindow w(false);
        w.move(kWindowAt);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        settle();
        SkinImage* add = w.image("ButtonAdd_Img");
        SkinImage* close = w.image("ButtonClose_Img");
        int adds = 0, addUps = 0, closes = 0;
        connect(add, &SkinImage::clicked, this, [&] { ++adds; });
        connect(add, &SkinImage::mouseUp, this, [&] { ++addUps; });
        // Close acts on its release, wherever the pointer is then.
        connect(close, &SkinImage::mouseUp, this, [&] { ++closes; });

        const QPoint addAt = centreOf(w, "ButtonAdd_Img");
        const QPoint background = globalOfSkin(w, {480, 120});
        const auto moveTo = [](QPoint p) {
            return xdo({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
        };

        QVERIFY(moveTo(addAt));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Over);
        // Moving over the background puts every skin button back to its up picture.
        QVERIFY(moveTo(background));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Up);

        QVERIFY(moveTo(addAt));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Over);
        QVERIFY(xdo({QStringLiteral("mousedown"), QStringLiteral("1")}));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Down);
        QVERIFY(xdo({QStringLiteral("mouseup"), QStringLiteral("1")}));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Up);
        QTRY_COMPARE(adds, 1);

        // Pressed on Add, released off it: the release comes, the click does not.
        QVERIFY(xdo({QStringLiteral("mousedown"), QStringLiteral("1")}));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Down);
        QVERIFY(moveTo(background));
        QTRY_COMPARE(add->picture(), SkinImage::Picture::Over); // every move reaches it while held
        QVERIFY(xdo({QStringLiteral("mouseup"), QStringLiteral("1")}));
        QTRY_COMPARE(addUps, 2);
        QCOMPARE(add->picture(), SkinImage::Picture::Up);
        QCOMPARE(adds, 1);

        // Close: pressed on it, released far away: its release still arrives.
        QVERIFY(moveTo(centreOf(w, "ButtonClose_Img")));
        QTRY_COMPARE(close->picture(), SkinImage::Picture::Over);
        QVERIFY(xdo({QStringLiteral("mousedown"), QStringLiteral("1")}));
        QTRY_COMPARE(close->picture(), SkinImage::Picture::Down);
        QVERIFY(moveTo(background));
        QVERIFY(xdo({QStringLiteral("mouseup"), QStringLiteral("1")}));
        QTRY_COMPARE(closes, 1);
        QCOMPARE(close->picture(), SkinImage::Picture::Up);
    }
};

// Renders the main window with the pack-list window docked on its right into `dir`: kivro.png
// (idle) and kivro-packing.png (a pack running) at scale 1, kivro@2x.png at scale 2. What lies
// outside the windows' shapes is transparent.
static int renderScreenshots(const QString& dir)
{
    QWidget desktop(nullptr, Qt::FramelessWindowHint);
    desktop.setAutoFillBackground(true);
    QPalette pal = desktop.palette();
    pal.setColor(QPalette::Window, kDesktop);
    desktop.setPalette(pal);
    desktop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    desktop.show();

    kivrotest::SkinTestWindow w(true);
    kivrotest::PackListTestWindow packList;
    w.move(kWindowAt);
    packList.move(kWindowAt + QPoint(w.width() + 40, 0));
    // Docked the way the Magnetise menu item does it.
    const MagnetResult docked = MagnetisePackList(windowTwips(&w), windowTwips(&packList));
    moveWindowTwips(&packList, docked.left, docked.top);
    w.show();
    packList.show();
    if (!QTest::qWaitForWindowExposed(&w) || !QTest::qWaitForWindowExposed(&packList))
        return 2;
    QDir().mkpath(dir);
    QScreen* screen = QGuiApplication::primaryScreen();
    const bool hiDpi = screen->devicePixelRatio() > 1.0;
    const QRect area = w.frameGeometry().united(packList.frameGeometry());
    const auto shoot = [&](const QString& name) {
        QTest::qWait(400);
        QImage shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage().convertToFormat(QImage::Format_ARGB32);
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
    w.showPacking(42);
    return shoot(QStringLiteral("kivro-packing.png")) ? 0 : 3;
}

static int child(const QString& mode)
{
    if (mode == QLatin1String("x11")) {
        TestSkinWindowX11 tc;
        return QTest::qExec(&tc, QStringList{QCoreApplication::applicationFilePath()});
    }
    if (mode == QLatin1String("screenshot"))
        return renderScreenshots(qEnvironmentVariable("KIVRO_SHOT_DIR", QStringLiteral("docs")));
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
            p.start(xvfbRun, {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x800x24 -nolisten tcp"),
                              QCoreApplication::applicationFilePath()});
            QVERIFY(p.waitForStarted());
            const bool finished = p.waitForFinished(180000);
            if (!finished)
                p.kill();
            out = p.readAll();
            QVERIFY2(finished, out.constData());
            if (!out.contains("Totals:") && (out.contains("Xvfb failed to start") || out.contains("Server is already active")))
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
