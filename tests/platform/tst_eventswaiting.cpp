// Whether the event loop has something waiting: an event posted to the GUI thread, and on X11 a
// real key from the X server, are seen before the loop has run them, and letting the loop run
// delivers them.
#include "KivroTest.h"

#include "platform/EventsWaiting.h"

#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QProcess>
#include <QWidget>

using namespace kivro;

namespace {

class KeyCounter : public QWidget {
public:
    int keys = 0;
    int events = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            ++events;
        return QWidget::event(e);
    }
};

// Polls EventsWaiting until it is true (10 s at most) without letting the loop run.
bool waitForWaiting()
{
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired())
        if (EventsWaiting())
            return true;
    return false;
}

} // namespace

// On X11: a key typed into the shown window through the X server is seen waiting, then delivered.
static int child(const QString& mode)
{
    if (mode != QLatin1String("x11key"))
        return 99;
    KeyCounter w;
    w.resize(200, 100);
    w.show();
    w.activateWindow();
    if (!QTest::qWaitForWindowExposed(&w))
        return 2;
    QCoreApplication::processEvents();
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("key"), QStringLiteral("--window"), QString::number(w.winId()), QStringLiteral("a")});
    if (!xdotool.waitForFinished(30000) || xdotool.exitCode() != 0)
        return 3;
    if (!waitForWaiting())
        return 4;
    const QDeadlineTimer deadline(10000);
    while (w.keys == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents();
    return w.keys > 0 ? 0 : 5;
}

class TestEventsWaiting : public QObject {
    Q_OBJECT

private slots:
    void postedEventIsSeenBeforeItRuns()
    {
        KeyCounter w;
        QCoreApplication::postEvent(&w, new QEvent(QEvent::User));
        QVERIFY(waitForWaiting());
        QCOMPARE(w.events, 0);
        QCoreApplication::processEvents();
        QCOMPARE(w.events, 1);
    }

    void keyFromTheXServerIsSeenBeforeItRuns()
    {
        QByteArray output;
        const int code = kivrotest::runChildOnX11(QStringLiteral("x11key"), {}, QString(), &output);
        if (code == -3)
            QSKIP("xvfb-run is not installed");
        QVERIFY2(code == 0, output.constData());
    }
};

KIVRO_TEST_MAIN_WITH_CHILD(TestEventsWaiting, child)
#include "tst_eventswaiting.moc"
