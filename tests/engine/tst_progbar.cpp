// CProgBar32: where the bar is created and how large, its styles and colours, positions, the
// events it lets run, and that it can be destroyed safely any number of times.
#include "KivroTest.h"

#include "engine/CProgBar32.h"

#include <QImage>
#include <QProgressBar>
#include <QThread>

using namespace kivro;

class TestProgBar : public QObject {
    Q_OBJECT

    static QImage grabBar(const CProgBar32& pb) { return pb.bar()->grab().toImage(); }

private slots:
    void createWithoutAnyParentCreatesNothing()
    {
        CProgBar32 pb;
        QVERIFY(!pb.Create());
        QVERIFY(!pb.Create(0, 0, 100, 10, true));
        QCOMPARE(pb.bar(), nullptr);
        QCOMPARE(pb.ProgBarHwnd(), 0);
        // Messages without a bar have no effect.
        pb.SetProgBarPos(50);
        pb.ClearProgBar();
        pb.SetBarColor(RGB(1, 2, 3));
        pb.DestroyProgBar();
    }

    void createWithFormOnlyUsesDefaults()
    {
        QWidget form;
        form.resize(433, 300);
        CProgBar32 pb;
        pb.setParent(&form);
        QVERIFY(pb.Create());
        QProgressBar* bar = pb.bar();
        QVERIFY(bar);
        QCOMPARE(bar->parentWidget(), &form);
        QCOMPARE(bar->geometry(), QRect(0, 0, 433, 20));
        QVERIFY(!bar->isHidden());
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 100);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(bar->orientation(), Qt::Horizontal);
        QCOMPARE(pb.Style(), 0x50000000u);
        QVERIFY(pb.ProgBarHwnd() != 0);
    }

    void handleTakesPrecedenceAndGeometryIsInPixels()
    {
        QWidget form;
        form.resize(500, 300);
        QWidget inner(&form);
        inner.setGeometry(10, 10, 300, 200);
        CProgBar32 pb;
        pb.setParent(&form);
        pb.setSethWndParent(&inner);
        QCOMPARE(pb.SethWndParent(), &inner);
        QVERIFY(pb.Create(70, 185, 246, 15, true));
        QCOMPARE(pb.bar()->parentWidget(), &inner);
        QCOMPARE(pb.bar()->geometry(), QRect(70, 185, 246, 15));
    }

    void verticalAndSmoothStyle()
    {
        QWidget form;
        form.resize(100, 200);
        CProgBar32 pb;
        pb.setParent(&form);
        pb.SetProgVert(true);
        QVERIFY(pb.Create(0, 0, 20, 100, true));
        QCOMPARE(pb.Style(), 0x50000000u | 4u | 1u);
        QCOMPARE(pb.bar()->orientation(), Qt::Vertical);

        // Filled from the bottom up: at 50 the lower half is bar colour, the upper half background.
        pb.SetBackColor(RGB(0, 0, 0));
        pb.SetBarColor(RGB(200, 200, 200));
        pb.SetProgBarPos(50);
        const QImage img = grabBar(pb);
        QCOMPARE(QColor(img.pixel(10, 90)), QColor(200, 200, 200));
        QCOMPARE(QColor(img.pixel(10, 10)), QColor(0, 0, 0));

        pb.SetProgVert(false);
        QVERIFY(pb.Create(0, 0, 100, 20));
        QCOMPARE(pb.Style(), 0x50000000u);
        QCOMPARE(pb.bar()->orientation(), Qt::Horizontal);
    }

    void coloursAreBlueGreenRedValues()
    {
        QWidget form;
        form.resize(300, 100);
        CProgBar32 pb;
        pb.setParent(&form);
        QVERIFY(pb.Create(0, 0, 200, 20, true));
        pb.SetBackColor(0x00102030); // red 0x30, green 0x20, blue 0x10
        pb.SetBarColor(RGB(10, 20, 200));
        pb.SetProgBarPos(50);
        const QImage img = grabBar(pb);
        QCOMPARE(QColor(img.pixel(20, 10)), QColor(10, 20, 200));
        QCOMPARE(QColor(img.pixel(180, 10)), QColor(0x30, 0x20, 0x10));

        pb.SetProgBarPos(100);
        QCOMPARE(QColor(grabBar(pb).pixel(195, 10)), QColor(10, 20, 200));
        pb.SetProgBarPos(0);
        QCOMPARE(QColor(grabBar(pb).pixel(5, 10)), QColor(0x30, 0x20, 0x10));
    }

    void positionsStayWithinTheRange_data()
    {
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("shown");
        QTest::newRow("full") << 100 << 100;
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("middle") << 37 << 37;
        QTest::newRow("above") << 150 << 100;
        QTest::newRow("below") << -5 << 0;
    }
    void positionsStayWithinTheRange()
    {
        QFETCH(int, pos);
        QFETCH(int, shown);
        QWidget form;
        CProgBar32 pb;
        pb.setParent(&form);
        QVERIFY(pb.Create(0, 0, 100, 10));
        pb.SetProgBarPos(63);
        pb.SetProgBarPos(pos);
        QCOMPARE(pb.bar()->value(), shown);
        pb.ClearProgBar();
        QCOMPARE(pb.bar()->value(), 0);
    }

    void positionCallLetsPendingEventsRunFirst()
    {
        QWidget form;
        CProgBar32 pb;
        pb.setParent(&form);
        QVERIFY(pb.Create(0, 0, 100, 10));
        pb.SetProgBarPos(20);

        int seen = -1;
        QMetaObject::invokeMethod(
            &form, [&] { seen = pb.bar()->value(); }, Qt::QueuedConnection);
        pb.SetProgBarPos(70);
        QCOMPARE(seen, 20); // ran inside the call, before the position changed
        QCOMPARE(pb.bar()->value(), 70);

        // A handler that destroys the bar inside the call (as a cancel does) is safe.
        QMetaObject::invokeMethod(
            &form, [&] { pb.DestroyProgBar(); }, Qt::QueuedConnection);
        pb.SetProgBarPos(90);
        QCOMPARE(pb.bar(), nullptr);
        QVERIFY(form.findChildren<QProgressBar*>().isEmpty());

        bool ran = false;
        QMetaObject::invokeMethod(
            &form, [&] { ran = true; }, Qt::QueuedConnection);
        pb.DelayProgBar(1);
        QVERIFY(ran);
    }

    // A copy sets the position after every block: an unchanged position lets pending events run
    // only once the pumping interval has passed, so that a click still gets through.
    void unchangedPositionLetsEventsRunAfterTheInterval()
    {
        QWidget form;
        CProgBar32 pb;
        pb.setParent(&form);
        QVERIFY(pb.Create(0, 0, 100, 10));
        pb.SetProgBarPos(40);
        bool ran = false;
        QMetaObject::invokeMethod(
            &form, [&] { ran = true; }, Qt::QueuedConnection);
        QThread::msleep(CProgBar32::kPumpIntervalMs + 5);
        pb.SetProgBarPos(40);
        QVERIFY(ran);
        QCOMPARE(pb.bar()->value(), 40);

        // A new run starts with a turn for the window, whatever the position.
        ran = false;
        QMetaObject::invokeMethod(
            &form, [&] { ran = true; }, Qt::QueuedConnection);
        pb.ResetPacing();
        pb.SetProgBarPos(40);
        QVERIFY(ran);
    }

    void destroyTwiceAndCreateAgain()
    {
        QWidget form;
        CProgBar32 pb;
        pb.setParent(&form);
        QVERIFY(pb.Create(0, 0, 100, 10));
        const qint32 first = pb.ProgBarHwnd();
        pb.DestroyProgBar();
        pb.DestroyProgBar();
        QCOMPARE(pb.bar(), nullptr);
        QCOMPARE(pb.ProgBarHwnd(), first); // the id stays
        QVERIFY(form.findChildren<QProgressBar*>().isEmpty());

        // A second Create while a bar lives replaces it: no bar is left behind unreachable.
        QVERIFY(pb.Create(0, 0, 100, 10));
        QVERIFY(pb.Create(0, 20, 100, 10));
        QCOMPARE(form.findChildren<QProgressBar*>().size(), 1);
        QCOMPARE(pb.bar()->y(), 20);
        QVERIFY(pb.ProgBarHwnd() != first);
    }

    void barGoesWithItsParent()
    {
        CProgBar32 pb;
        {
            QWidget form;
            pb.setParent(&form);
            QVERIFY(pb.Create(0, 0, 100, 10));
        }
        QCOMPARE(pb.bar(), nullptr);
        QCOMPARE(pb.Parent(), nullptr);
        pb.SetProgBarPos(10);
        pb.DestroyProgBar();
        QVERIFY(!pb.Create());
    }
};

KIVRO_TEST_MAIN(TestProgBar)
#include "tst_progbar.moc"
