// The collector's window and its wait, in the test process: the first copy's small window,
// a later copy that only adds its line, and the reads a tick apart that decide when to hand over
// (ticks are called one by one, so nothing depends on the clock).
#include "KivroTest.h"
#include "StubKivro.h"

#include "collector/Form1.h"
#include "platform/Paths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>

namespace {

QString listFile()
{
    return kivro::paths::joinPath(kivro::paths::runtimeDir(), QStringLiteral("brovlet.tmp"));
}

QString callsDir()
{
    return kivrotest::rootDir() + QStringLiteral("/calls");
}

// The stub kivro's starts so far, waiting up to a minute for `count` of them.
QList<QStringList> waitForCalls(int count)
{
    QElapsedTimer clock;
    clock.start();
    QList<QStringList> calls = stubkivro::calls(callsDir());
    while (calls.size() < count && clock.elapsed() < 60000) {
        QThread::msleep(20);
        calls = stubkivro::calls(callsDir());
    }
    return calls;
}

// A collector whose end is recorded instead of ending the test.
struct Collector {
    kivro::Form1 form;
    int ended = -1;
    Collector()
    {
        form.endProgram = [this](int status) { ended = status; };
    }
};

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // A stub kivro on PATH (the test program's own folder holds none).
        const QString bin = kivrotest::rootDir() + QStringLiteral("/bin");
        stubkivro::write(bin + QStringLiteral("/kivro"), callsDir());
        qputenv("PATH", QFile::encodeName(bin) + ":/usr/bin:/bin");
    }

    void init()
    {
        QDir(callsDir()).removeRecursively();
        QDir().mkpath(callsDir());
        QFile::remove(listFile());
    }

    // The first copy shows its 23 x 19 borderless window in the middle of the screen with the
    // hourglass and waits; a later copy adds its line and ends without a window. Two equal
    // reads hand both paths over and end the collector, which is then no longer the collector.
    void firstAndLaterCopy()
    {
        Collector first;
        first.form.Form_Load({QStringLiteral("/x/a b.mpg")});
        QCOMPARE(first.ended, -1);
        QVERIFY(first.form.isVisible());
        QCOMPARE(first.form.windowTitle(), QStringLiteral("Tesma Kivro - BrovletTmp"));
        QCOMPARE(first.form.size(), QSize(23, 19));
        QVERIFY(first.form.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(first.form.cursor().shape(), Qt::WaitCursor);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(
            first.form.geometry().center(),
            QRect(screen.x() + (screen.width() - 23) / 2, screen.y() + (screen.height() - 19) / 2, 23, 19).center());
        QVERIFY(first.form.Timer1->isActive());
        QCOMPARE(first.form.Timer1->interval(), 1000);
        QCOMPARE(first.form.addwhichlst, std::int16_t(1));
        first.form.Timer1->stop(); // the test ticks by hand

        Collector later;
        later.form.Form_Load({QStringLiteral("/x/c.mpg")});
        QCOMPARE(later.ended, 0);
        QVERIFY(!later.form.isVisible());
        QCOMPARE(kivrotest::readFile(listFile()), QByteArray("/x/a b.mpg\r\n/x/c.mpg\r\n"));

        first.form.Timer1_Timer();
        QCOMPARE(first.form.List1->count(), 2);
        QCOMPARE(first.form.addwhichlst, std::int16_t(2));
        QCOMPARE(first.ended, -1);
        first.form.Timer1_Timer();
        QCOMPARE(first.ended, 0);
        QVERIFY(!QFile::exists(listFile()));
        QCOMPARE(waitForCalls(1), QList<QStringList>{{QStringLiteral("/x/a b.mpg|/x/c.mpg")}});
        QVERIFY(!first.form.isVisible());

        // A copy that comes after the last read, while the collector still runs, collects for
        // itself: its path goes to a new list that it reads.
        Collector next;
        next.form.Form_Load({QStringLiteral("/x/e.mpg")});
        QCOMPARE(next.ended, -1);
        QVERIFY(next.form.isVisible());
        QCOMPARE(kivrotest::readFile(listFile()), QByteArray("/x/e.mpg\r\n"));
    }

    // Once the window's end has begun, its timer's tick reaches it no more.
    void endOfTheWindow() { QCOMPARE(kivrotest::handlersLeftAtWindowEnd(new kivro::Form1), QStringList()); }

    // What the list holds at each tick ("-" missing, "" empty, else its lines joined by ",")
    // decides the tick that ends the wait and what is handed over.
    void ticks_data()
    {
        QTest::addColumn<QStringList>("listAtTick");
        QTest::addColumn<int>("endTick");
        QTest::addColumn<QString>("handed");
        QTest::newRow("one path") << QStringList{"a", "a"} << 2 << "a";
        QTest::newRow("grows, then settles") << QStringList{"a", "a,b", "a,b,c", "a,b,c"} << 4 << "a|b|c";
        QTest::newRow("same count, other lines") << QStringList{"a,b", "c,d"} << 2 << "c|d";
        QTest::newRow("missing from the start") << QStringList{"-", "-"} << 2 << QString();
        QTest::newRow("deleted after a read") << QStringList{"a", "-", "-"} << 3 << QString();
        QTest::newRow("emptied after a read") << QStringList{"a", "", ""} << 3 << QString();
        QTest::newRow("deleted, then a new path") << QStringList{"a", "-", "b", "b"} << 4 << "b";
    }
    void ticks()
    {
        QFETCH(QStringList, listAtTick);
        QFETCH(int, endTick);
        QFETCH(QString, handed);
        Collector c;
        c.form.Form_Load({QStringLiteral("start")});
        c.form.Timer1->stop();
        for (int tick = 1; tick <= listAtTick.size(); ++tick) {
            const QString state = listAtTick[tick - 1];
            QFile::remove(listFile());
            if (state != QLatin1String("-")) {
                QByteArray text;
                for (const QString& line : state.split(QLatin1Char(','), Qt::SkipEmptyParts))
                    text += line.toUtf8() + "\r\n";
                kivrotest::writeFile(listFile(), text);
            }
            QCOMPARE(c.ended, -1);
            c.form.Timer1_Timer();
            QCOMPARE(c.ended, tick == endTick ? 0 : -1);
        }
        QVERIFY(!QFile::exists(listFile()));
        if (handed.isEmpty()) {
            QThread::msleep(200);
            QCOMPARE(waitForCalls(0), QList<QStringList>());
        } else {
            QCOMPARE(waitForCalls(1), QList<QStringList>{{handed}});
        }
    }
};

KIVRO_TEST_MAIN(TestForm1)
#include "tst_form1.moc"
