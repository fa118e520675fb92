// The pack-list window as a window: files dropped on its list (real drop events on the list's
// viewport), dragging it by its background, the form, its icon and its caption (real mouse
// events), the snap against the main window on release, and, on a real X server, its shape and
// a drag under a real pointer.
//
// Window masks and absolute positions need X11, so that part runs in a child of this test under
// xvfb-run with QT_QPA_PLATFORM=xcb and drives the pointer with xdotool.
#include "FakePackListHost.h"
#include "KivroTest.h"

#include "engine/PackListModel.h"
#include "packlist/Brovletfrm.h"
#include "packlist/BrovletSkinLayout.h"
#include "packlist/PackListBox.h"
#include "packlist/PackListDocking.h"
#include "packlist/PackListHost.h"
#include "platform/Globals.h"
#include "platform/SkinImage.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QStandardPaths>
#include <QStyleHints>
#include <QTemporaryDir>

using namespace kivro;

Q_DECLARE_METATYPE(kivro::DockFlags)

namespace {

// The main window as the pack-list window sees it, with the Magnet item on and the main window at
// (0, 0) pixels, 540 x 334, unless a test changes them.
class FakeHost : public kivrotest::FakePackListHost {
public:
    FakeHost()
    {
        magnet = true;
        mainWindow = {0, 0, 540 * 15, 334 * 15};
    }
};

// Drags `data` onto the list's viewport and drops it there; true when the list took the drag.
bool dropOn(PackListBox* list, const QMimeData* data)
{
    QWidget* viewport = list->viewport();
    const QPoint at(10, 10);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at + QPoint(5, 5), Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(QPointF(at + QPoint(5, 5)), Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    return enter.isAccepted();
}

QStringList entries(const PackListModel& m)
{
    QStringList out;
    for (int i = 0; i < m.count(); ++i)
        out << m.folder(i) + QLatin1Char('|') + m.name(i);
    return out;
}

// A mouse event as the window system delivers it, at a global position.
void sendMouse(QWidget* target, QEvent::Type type, const QPoint& global, Qt::MouseButton button = Qt::NoButton,
               Qt::MouseButtons held = Qt::NoButton)
{
    QMouseEvent e(type, target->mapFromGlobal(QPointF(global)), QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

void setDocked(const QString& sides)
{
    setPackListDockFlags({sides.contains(QLatin1Char('T')), sides.contains(QLatin1Char('B')),
                          sides.contains(QLatin1Char('L')), sides.contains(QLatin1Char('R'))});
}

QWidget* dragSurface(Brovletfrm& f, const QString& name)
{
    return name == QLatin1String("form") ? static_cast<QWidget*>(&f)
                                         : f.findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
}

} // namespace

class TestPackListWindow : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QString root;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        root = tmp.path();
        for (const char* name : {"a.mpg", "b c.mpg", "caf\xc3\xa9 100%.mpg"})
            kivrotest::writeFile(root + QLatin1Char('/') + QString::fromUtf8(name), "x");
        QVERIFY(QDir(root).mkdir(QStringLiteral("sub dir")));
        QVERIFY(QFile::link(root + QStringLiteral("/sub dir"), root + QStringLiteral("/dir link")));
        QVERIFY(QFile::link(root + QStringLiteral("/a.mpg"), root + QStringLiteral("/a link.mpg")));
    }
    void init()
    {
        Prompts::clearRecords();
        setDocked({});
    }

    void drops_data()
    {
        // Each url is a name in the fixture folder, or a whole URL when it has a scheme.
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<QStringList>("added"); // names, all in the fixture folder
        QTest::addColumn<QStringList>("boxes"); // names in the messages, "dir:" or "gone:"
        QTest::newRow("file, folder, file") << QStringList{"a.mpg", "sub dir", "b c.mpg"} << false
                                            << QStringList{"a.mpg", "b c.mpg"} << QStringList{"dir:sub dir"};
        QTest::newRow("file, vanished path, file: the drop ends at the vanished path")
            << QStringList{"a.mpg", "gone.mpg", "b c.mpg"} << false << QStringList{"a.mpg"}
            << QStringList{"gone:gone.mpg"};
        QTest::newRow("links are followed; no duplicate check")
            << QStringList{"a link.mpg", "dir link", "a.mpg", "a.mpg"} << false
            << QStringList{"a link.mpg", "a.mpg", "a.mpg"} << QStringList{"dir:dir link"};
        QTest::newRow("a NUL in a file's url: not found, the drop ends")
            << QStringList{"a.mpg", "a.mpg%00junk", "b c.mpg"} << false << QStringList{"a.mpg"}
            << QStringList{"gone:a.mpg%00junk"};
        QTest::newRow("other urls are ignored")
            << QStringList{"https://example.org/x.mpg", "b c.mpg"} << false << QStringList{"b c.mpg"} << QStringList{};
        QTest::newRow("no local file: nothing")
            << QStringList{"https://example.org/x.mpg"} << false << QStringList{} << QStringList{};
        // A name that is not valid UTF-8 is refused by name (each invalid byte shown as U+FFFD),
        // never measured, and the drop goes on; a valid one arrives whole, "%" and accents too.
        QTest::newRow("name not valid UTF-8: skipped, the drop goes on")
            << QStringList{"a.mpg", "file://" + root + "/bad%FF%FEname%C3.mpg", "caf%C3%A9%20100%25.mpg", "b c.mpg"}
            << false << QStringList{"a.mpg", "caf\u00e9 100%.mpg", "b c.mpg"}
            << QStringList{"utf8:bad\ufffd\ufffdname\ufffd.mpg"};
        QTest::newRow("while an action runs: nothing")
            << QStringList{"a.mpg", "sub dir", "gone.mpg"} << true << QStringList{} << QStringList{};
    }
    void drops()
    {
        QFETCH(QStringList, urls);
        QFETCH(bool, busy);
        QFETCH(QStringList, added);
        QFETCH(QStringList, boxes);
        FakeHost host;
        host.model.append(QStringLiteral("/old/"), QStringLiteral("old.mpg"));
        Brovletfrm f(host);
        f.show();
        f.selpos_lst->setSelected(0, true);
        host.busy = busy;

        QMimeData data;
        QList<QUrl> list;
        for (const QString& u : urls)
            list << (u.contains(QLatin1String("://")) ? QUrl(u)
                     : u.contains(QLatin1Char('%'))   ? QUrl(QStringLiteral("file://") + root + QLatin1Char('/') + u)
                                                      : QUrl::fromLocalFile(root + QLatin1Char('/') + u));
        data.setUrls(list);
        dropOn(f.selpos_lst, &data);

        QStringList expected{QStringLiteral("/old/|old.mpg")};
        for (const QString& name : added)
            expected << root + QLatin1Char('/') + QLatin1Char('|') + name;
        QCOMPARE(entries(host.model), expected);
        QStringList expectedBoxes;
        for (const QString& b : boxes) {
            const QString path = QUrl::fromPercentEncoding(
                (root + QLatin1Char('/') + b.mid(b.indexOf(QLatin1Char(':')) + 1)).toUtf8());
            if (b.startsWith(QLatin1String("utf8:"))) {
                expectedBoxes << QStringLiteral("box|Exclamation|OK|Tesma Kivro Pro|'%1' cannot be used: its name is "
                                                "not valid UTF-8. Filename skipped.|OK")
                                     .arg(path);
                continue;
            }
            expectedBoxes << (b.startsWith(QLatin1String("dir:"))
                                  ? QStringLiteral("box|Information|OK|Tesma Kivro Pro|'%1' is a directory. "
                                                   "Filename skipped.|OK")
                                        .arg(path)
                                  : QStringLiteral("box|Critical|OK|Tesma Kivro Pro|'%1' was not found!|OK").arg(path));
        }
        QCOMPARE(Prompts::records(), expectedBoxes);
        QCOMPARE(host.fileListRefreshes, boxes.filter(QStringLiteral("gone:")).size());
        // Nothing gets selected: the selection is the one before the drop.
        QCOMPARE(f.selpos_lst->SelCount(), 1);
        QVERIFY(f.selpos_lst->Selected(0));
    }

    void dropOfPlainTextIsRefused()
    {
        FakeHost host;
        Brovletfrm f(host);
        f.show();
        QMimeData text;
        text.setText(root + QStringLiteral("/a.mpg"));
        QVERIFY(!dropOn(f.selpos_lst, &text));
        QMimeData file;
        file.setUrls({QUrl::fromLocalFile(root + QStringLiteral("/a.mpg"))});
        QVERIFY(dropOn(f.selpos_lst, &file));
        QCOMPARE(entries(host.model), QStringList{root + QStringLiteral("/|a.mpg")});
        QVERIFY(Prompts::records().isEmpty());
    }

    void dropOfAWideNameSetsTheExtent()
    {
        FakeHost host;
        host.widths = {{QStringLiteral("a.mpg"), 4000}, {QStringLiteral("b c.mpg"), 3900}};
        Brovletfrm f(host);
        f.show();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(root + QStringLiteral("/a.mpg")),
                      QUrl::fromLocalFile(root + QStringLiteral("/b c.mpg"))});
        dropOn(f.selpos_lst, &data);
        // 4000 / 15 + 10 = 276.67 -> 277 pixels; the narrower name after it changes nothing.
        QCOMPARE(f.selpos_lst->horizontalExtent(), 277);
        QCOMPARE(host.maxWidth, 4000);
    }

    void dragBySurfaces_data()
    {
        QTest::addColumn<QString>("surface");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("resetsButtons");
        QTest::newRow("background, left button") << "BG_Img" << Qt::LeftButton << true;
        QTest::newRow("the form, middle button") << "form" << Qt::MiddleButton << true;
        QTest::newRow("icon, left button") << "KivroIcon_Img" << Qt::LeftButton << false;
        QTest::newRow("caption, right button") << "TesmaKivroCaption" << Qt::RightButton << false;
    }
    void dragBySurfaces()
    {
        QFETCH(QString, surface);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, resetsButtons);
        FakeHost host;
        host.magnet = false;
        Brovletfrm f(host);
        f.move(900, 300);
        f.show();
        setDocked(QStringLiteral("BR"));
        QWidget* target = dragSurface(f, surface);
        QVERIFY(target);
        // The form shows only outside every control (its frame corner).
        const QPoint local = target == &f ? QPoint(1, 1) : QPoint(4, 4);
        QVERIFY(target == &f ? f.childAt(local) == nullptr : f.childAt(target->mapTo(&f, local)) == target);
        const QPoint press = target->mapToGlobal(local);
        sendMouse(f.ButtonClose_Img, QEvent::MouseMove, f.ButtonClose_Img->mapToGlobal(QPoint(5, 5)));
        QCOMPARE(f.ButtonClose_Img->picture(), SkinImage::Picture::Over);

        sendMouse(target, QEvent::MouseButtonPress, press, button, button);
        QVERIFY(f.dragging());
        QCOMPARE(PackListDockFlags(), DockFlags{}); // no longer attached
        sendMouse(target, QEvent::MouseMove, press + QPoint(12, 4), Qt::NoButton, button);
        sendMouse(target, QEvent::MouseMove, press + QPoint(20, 10), Qt::NoButton, button);
        QCOMPARE(f.pos(), QPoint(920, 310));
        QCOMPARE(f.size(), QSize(322, 293));
        QCOMPARE(f.ButtonClose_Img->picture(), resetsButtons ? SkinImage::Picture::Up : SkinImage::Picture::Over);
        sendMouse(target, QEvent::MouseButtonRelease, press + QPoint(20, 10), button);
        QVERIFY(!f.dragging());
        QCOMPARE(PackListDockFlags(), DockFlags{}); // Magnet off: no snap
        QCOMPARE(f.pos(), QPoint(920, 310));
        // Once released, moves drag nothing.
        sendMouse(target, QEvent::MouseMove, press + QPoint(60, 30));
        QCOMPARE(f.pos(), QPoint(920, 310));
    }

    // Once the window's end has begun (its destructor has run, its controls are going), a drag by
    // its caption reaches the window no more.
    void noDragOnceTheEndHasBegun()
    {
        FakeHost host;
        auto* f = new Brovletfrm(host);
        f->move(900, 300);
        f->show();
        QWidget* caption = dragSurface(*f, QStringLiteral("TesmaKivroCaption"));
        QVERIFY(caption);
        const QPoint press = caption->mapToGlobal(QPoint(4, 4));
        bool moved = true;
        kivrotest::whileWindowEnds(f, [&] {
            sendMouse(caption, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
            sendMouse(caption, QEvent::MouseMove, press + QPoint(20, 10), Qt::NoButton, Qt::LeftButton);
            moved = f->pos() != QPoint(900, 300);
        });
        QVERIFY(!moved);
    }

    void releaseSnapsToTheMainWindow_data()
    {
        // Pixels; the main window at (0, 0), 540 x 334, so Left + 540 = 8100 twips is its right.
        QTest::addColumn<QPoint>("releasedAt");
        QTest::addColumn<bool>("magnet");
        QTest::addColumn<int>("adj");
        QTest::addColumn<QPoint>("landsAt");
        QTest::addColumn<DockFlags>("flags");
        QTest::newRow("right") << QPoint(560, 100) << true << 0 << QPoint(534, 100)
                               << DockFlags{false, false, false, true};
        QTest::newRow("below") << QPoint(100, 360) << true << 0 << QPoint(100, 309)
                               << DockFlags{false, true, false, false};
        // 4640 - 110 = 4530 twips = 302 pixels.
        QTest::newRow("below, caption adjusted")
            << QPoint(100, 360) << true << 110 << QPoint(100, 302) << DockFlags{false, true, false, false};
        QTest::newRow("Magnet off") << QPoint(560, 100) << false << 0 << QPoint(560, 100) << DockFlags{};
        QTest::newRow("overlapping") << QPoint(200, 100) << true << 0 << QPoint(200, 100) << DockFlags{};
    }
    void releaseSnapsToTheMainWindow()
    {
        QFETCH(QPoint, releasedAt);
        QFETCH(bool, magnet);
        QFETCH(int, adj);
        QFETCH(QPoint, landsAt);
        QFETCH(DockFlags, flags);
        FakeHost host;
        host.magnet = magnet;
        Brovletfrm f(host);
        f.move(releasedAt - QPoint(30, 20));
        f.show();
        const std::int16_t savedAdjust = gSkinCaptionAdjust;
        gSkinCaptionAdjust = std::int16_t(adj);
        const QPoint press = f.BG_Img->mapToGlobal(QPoint(150, 120));
        sendMouse(f.BG_Img, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
        sendMouse(f.BG_Img, QEvent::MouseMove, press + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(f.pos(), releasedAt);
        sendMouse(f.BG_Img, QEvent::MouseButtonRelease, press + QPoint(30, 20), Qt::LeftButton);
        gSkinCaptionAdjust = savedAdjust;
        QCOMPARE(f.pos(), landsAt);
        QCOMPARE(f.size(), QSize(322, 293));
        QCOMPARE(PackListDockFlags(), flags);
    }

    void snapSkipsTheRulesAlreadySet()
    {
        // A release without a press of its own keeps the flags the last snap left: below the
        // main window with the bottom flag set, the bottom rule is skipped.
        FakeHost host;
        Brovletfrm f(host);
        f.move(100, 360);
        f.show();
        setDocked(QStringLiteral("B"));
        f.ActivateMagnet();
        QCOMPARE(f.pos(), QPoint(100, 360));
        QCOMPARE(PackListDockFlags(), (DockFlags{false, true, false, false}));
    }

    void onTheX11Platform()
    {
        QByteArray out;
        const int code = kivrotest::runChildOnX11(QStringLiteral("x11"), {}, root, &out, 180000,
                                                  QStringLiteral("-screen 0 1280x800x24 -nolisten tcp"));
        if (code == -3)
            QSKIP("xvfb-run is not installed");
        QVERIFY2(code == 0 && out.contains("Totals:") && out.contains(" 0 failed"), out.constData());
    }
};

// --- on a real X server ---------------------------------------------------------------------------

namespace {

const QColor kDesktop(255, 0, 255);

using kivrotest::pointerTo;
using kivrotest::screenPixel;
using kivrotest::settle;
using kivrotest::xdo;

QPoint globalOfSkin(const QWidget& w, QPoint skinPoint)
{
    return w.pos() + packlistskin::kSkinOrigin + skinPoint;
}

} // namespace

class TestPackListWindowX11 : public QObject {
    Q_OBJECT
    QWidget* desktop = nullptr;

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty(), "xdotool is not installed");
        // A plain backdrop of a colour the skin does not use, standing in for the desktop.
        desktop = kivrotest::makeDesktop(kDesktop);
        QVERIFY(QTest::qWaitForWindowExposed(desktop));
    }
    void cleanupTestCase() { delete desktop; }
    void init() { setDocked({}); }

    void maskShowsTheDesktopOutsideTheSkin()
    {
        FakeHost host;
        Brovletfrm f(host);
        f.move(200, 150);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTRY_VERIFY(screenPixel(globalOfSkin(f, {150, 120})) != kDesktop);
        QCOMPARE(screenPixel(f.pos() + QPoint(1, 1)), kDesktop);
        QCOMPARE(screenPixel(globalOfSkin(f, {0, 0})), kDesktop);
    }

    void realPointerDragsAndSnaps_data()
    {
        QTest::addColumn<QString>("surface");
        QTest::addColumn<QPoint>("press"); // skin pixels
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("magnet");
        QTest::addColumn<QPoint>("landsAt"); // relative to the main window's corner
        QTest::newRow("background, Magnet on: snaps right")
            << "BG_Img" << QPoint(200, 250) << 1 << true << QPoint(534, 100);
        QTest::newRow("caption, right button, Magnet on")
            << "TesmaKivroCaption" << QPoint(40, 10) << 3 << true << QPoint(534, 100);
        QTest::newRow("background, Magnet off: stays")
            << "BG_Img" << QPoint(200, 250) << 1 << false << QPoint(560, 100);
    }
    void realPointerDragsAndSnaps()
    {
        QFETCH(QString, surface);
        QFETCH(QPoint, press);
        QFETCH(int, button);
        QFETCH(bool, magnet);
        QFETCH(QPoint, landsAt);
        const QPoint mainAt(100, 80);
        FakeHost host;
        host.magnet = magnet;
        host.mainWindow = {float(mainAt.x() * 15), float(mainAt.y() * 15), 540 * 15, 334 * 15};
        Brovletfrm f(host);
        f.move(mainAt + QPoint(800, 100));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        settle();
        QCOMPARE(f.childAt(packlistskin::kSkinOrigin + press)->objectName(), surface);
        const QPoint at = globalOfSkin(f, press);
        QVERIFY(pointerTo(at));
        settle();
        QVERIFY(xdo({QStringLiteral("mousedown"), QString::number(button)}));
        QTRY_VERIFY(f.dragging());
        QVERIFY(pointerTo(at - QPoint(120, 0)));
        QTRY_COMPARE(f.pos(), mainAt + QPoint(680, 100));
        QVERIFY(pointerTo(at - QPoint(240, 0)));
        QTRY_COMPARE(f.pos(), mainAt + QPoint(560, 100));
        QVERIFY(xdo({QStringLiteral("mouseup"), QString::number(button)}));
        QTRY_VERIFY(!f.dragging());
        QTRY_COMPARE(f.pos(), mainAt + landsAt);
        // The X server agrees: the skin is now under the new place.
        QTRY_VERIFY(screenPixel(globalOfSkin(f, {150, 120})) != kDesktop);
        // Long enough before the next row's press at this place not to make a double-click.
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
    }
};

static int child(const QString& mode)
{
    Prompts::enableScripted();
    if (mode == QLatin1String("x11")) {
        TestPackListWindowX11 tc;
        return QTest::qExec(&tc, QStringList{QCoreApplication::applicationFilePath()});
    }
    return 99;
}

KIVRO_TEST_MAIN_WITH_CHILD(TestPackListWindow, child)
#include "tst_packlistwindow.moc"
