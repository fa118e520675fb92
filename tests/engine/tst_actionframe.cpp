// The action frame without a window: percentages and time-remaining texts with an injected clock,
// the busy state and its reset, cancel as an explicit flag of the running action, the guard that
// lasts until a run has unwound, and the recovery after a failure.
#include "KivroTest.h"

#include "engine/ActionFrame.h"
#include "engine/EngineGlobals.h"
#include "engine/File64.h"
#include "HeadlessLink.h"
#include "engine/MainWindowLink.h"
#include "engine/PackListModel.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"

using namespace kivro;

namespace {

// Records what the frame shows, one line per call.
class FakeLink : public kivrotest::HeadlessLink {
public:
    PackListModel& packList() override { return list; }
    File64& file64() override { return file; }
    ActionOptions actionOptions() const override { return {}; }
    DeleteAfterAction deleteAfterAction() const override { return DeleteAfterAction::No; }

    int mousePointer() const override { return pointer; }
    void setMousePointer(int p) override
    {
        pointer = p;
        log << QStringLiteral("pointer %1").arg(p);
    }
    void setBusyIconVisible(bool v) override { log << QStringLiteral("busy %1").arg(v); }
    void setCancelPictureShown(const QString& w, bool v) override
    {
        log << QStringLiteral("cancel picture %1 %2").arg(w).arg(v);
    }
    void setBrowserControlsEnabled(bool e) override { log << QStringLiteral("browser %1").arg(e); }
    void setMoreInfoEnabled(bool e) override { log << QStringLiteral("more info %1").arg(e); }
    void setPackListControlsEnabled(bool e) override { log << QStringLiteral("pack list %1").arg(e); }
    void setPercentDoneCaption(const QString& c) override
    {
        percent = c;
        log << "percent " + c;
    }
    void setPercentDoneVisible(bool v) override { log << QStringLiteral("percent shown %1").arg(v); }
    void setTimeRemainingCaption(const QString& c) override
    {
        time = c;
        log << "time " + c;
    }
    void setTimeRemainingVisible(bool v) override { log << QStringLiteral("time shown %1").arg(v); }
    void setZipProcessCaption(const QString& c) override { log << "zip caption " + c; }
    void setZipProcessVisible(bool v) override { log << QStringLiteral("zip label %1").arg(v); }
    void setZipAnimVisible(bool v) override { log << QStringLiteral("zip picture %1").arg(v); }

    PackListModel list;
    File64 file;
    int pointer = 0;
    QString percent;
    QString time;
    QStringList log;
};

} // namespace

class TestActionFrame : public QObject {
    Q_OBJECT

    QString dir;
    std::int64_t clockMs = 0;

    void useFakeClock(ActionFrame& frame)
    {
        frame.setClock([this] { return clockMs; });
    }

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/frame");
        QDir().mkpath(dir);
    }
    void init()
    {
        Prompts::enableScripted();
        gOpenFileHandles.clear();
        gOpenFileCount = 0;
        gActionArmed = false;
        gCancelArmed = false;
        gMpegInfoAvailable = false;
        clockMs = 0;
    }

    void timeRemainingText_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<QString>("text");
        QTest::newRow("50% after 30 s") << 50 << qint64(30000) << "1 minute 0 second remaining";
        QTest::newRow("20% after 600 s") << 20 << qint64(600000) << "1 hour 20 minutes remaining";
        QTest::newRow("0% counts as 1") << 0 << qint64(1000) << "3 minutes 18 seconds remaining";
        QTest::newRow("10% after 5 s") << 10 << qint64(5000) << "1 minute 30 seconds remaining";
        QTest::newRow("80% after 2 s") << 80 << qint64(2000) << "1 second remaining";
        QTest::newRow("25% after 10 min") << 25 << qint64(600000) << "1 hour 0 minute remaining";
        // 2 x 13 h x (100/50 - 1) = 26 h: whole hours, no day dropped.
        QTest::newRow("26 hours") << 50 << qint64(13 * 3600000) << "26 hours 0 minute remaining";
        QTest::newRow("2 hours") << 50 << qint64(3600000) << "2 hours 0 minute remaining";
        QTest::newRow("done") << 100 << qint64(90000) << "0 second remaining";
        // The estimate is rounded to whole seconds (halves to even) before it is split.
        QTest::newRow("59.5 s to 60") << 50 << qint64(29750) << "1 minute 0 second remaining";
        QTest::newRow("0.5 s to 0") << 50 << qint64(250) << "0 second remaining";
        QTest::newRow("1.5 s to 2") << 50 << qint64(750) << "2 seconds remaining";
        QTest::newRow("3599.6 s to 1 h") << 50 << qint64(1799800) << "1 hour 0 minute remaining";
        QTest::newRow("clock never negative") << 50 << qint64(-5000) << "0 second remaining";
    }
    void timeRemainingText()
    {
        QFETCH(int, percent);
        QFETCH(qint64, elapsedMs);
        QFETCH(QString, text);
        QCOMPARE(TimeRemainingText(percent, elapsedMs), text);
    }

    void percentDone_data()
    {
        QTest::addColumn<qint64>("done");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<int>("percent");
        QTest::newRow("1 of 8 half to even down") << qint64(1) << qint64(8) << 12;
        QTest::newRow("3 of 8 half to even up") << qint64(3) << qint64(8) << 38;
        QTest::newRow("5 of 8") << qint64(5) << qint64(8) << 62;
        QTest::newRow("nothing yet") << qint64(0) << qint64(1000) << 0;
        QTest::newRow("all") << qint64(1000) << qint64(1000) << 100;
        QTest::newRow("no total") << qint64(0) << qint64(0) << 0;
        QTest::newRow("above 4 GiB") << qint64(3) << qint64(6) * 1024 * 1024 * 1024 << 0;
        QTest::newRow("big halves") << qint64(5) * 1024 * 1024 * 1024 << qint64(10) * 1024 * 1024 * 1024 << 50;
    }
    void percentDone()
    {
        QFETCH(qint64, done);
        QFETCH(qint64, total);
        QFETCH(int, percent);
        QCOMPARE(PercentDone(done, total), percent);
    }

    void feedbackFollowsEveryCallButTimeOnlyEvenPercentages()
    {
        FakeLink link;
        ActionFrame frame(link);
        useFakeClock(frame);
        auto run = frame.BeginRun();
        QVERIFY(run);
        clockMs = 1000000;
        frame.StartClock();
        QCOMPARE(frame.mStartTime, 1000000);
        frame.mTotalBytes = 100;

        frame.mBytesDone = 50;
        clockMs += 30000;
        QVERIFY(frame.ProgressFeedback());
        QCOMPARE(link.percent, QStringLiteral("50%"));
        QCOMPARE(link.time, QStringLiteral("1 minute 0 second remaining"));

        // 51 right after 50: the percentage follows, the time text stays.
        frame.mBytesDone = 51;
        clockMs += 9000;
        link.log.clear();
        QVERIFY(frame.ProgressFeedback());
        QCOMPARE(link.percent, QStringLiteral("51%"));
        QCOMPARE(link.time, QStringLiteral("1 minute 0 second remaining"));
        QCOMPARE(link.log, QStringList{QStringLiteral("percent 51%")});

        frame.mBytesDone = 80; // 2 x 41 s x 0.25 = 20.5 s, half to even
        QVERIFY(frame.ProgressFeedback());
        QCOMPARE(link.time, QStringLiteral("20 seconds remaining"));

        // The same percentage later: the time text follows the clock, the percentage is handed
        // on again after every block.
        clockMs += 3000; // 2 x 42 s x 0.25 = 21 s
        link.log.clear();
        QVERIFY(frame.ProgressFeedback());
        QCOMPARE(link.log, (QStringList{"percent 80%", "time 21 seconds remaining"}));
        clockMs += 100; // 21.05 s
        link.log.clear();
        QVERIFY(frame.ProgressFeedback());
        QCOMPARE(link.log, (QStringList{"percent 80%", "time 21 seconds remaining"}));

        frame.mTotalBytes = 8;
        frame.mBytesDone = 1;
        QVERIFY(frame.ProgressFeedback());
        QCOMPARE(link.percent, QStringLiteral("12%"));
        frame.mBytesDone = 3;
        QVERIFY(frame.ProgressFeedback());
        QCOMPARE(link.percent, QStringLiteral("38%"));
    }

    void busyStateAndReset_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("mpegInfo");
        QTest::addColumn<QStringList>("reset");
        QTest::newRow("pack") << "pack" << false
                              << QStringList{"busy 0", "cancel picture pack 0", "browser 1", "pack list 1",
                                             "time shown 0"};
        QTest::newRow("unpack with MPEG information")
            << "unpack" << true
            << QStringList{"busy 0",      "cancel picture unpack 0", "browser 1", "more info 1", "pack list 1",
                           "time shown 0"};
        QTest::newRow("no action word") << "" << false
                                        << QStringList{"busy 0", "browser 1", "pack list 1", "time shown 0"};
    }
    void busyStateAndReset()
    {
        QFETCH(QString, word);
        QFETCH(bool, mpegInfo);
        QFETCH(QStringList, reset);
        FakeLink link;
        ActionFrame frame(link);
        frame.mActionWord = word;
        gMpegInfoAvailable = mpegInfo;

        frame.DisableControlsWhileBusy();
        QCOMPARE(link.log, (QStringList{"busy 1", "browser 0", "more info 0", "pack list 0"}));
        QVERIFY(frame.busy());

        gActionArmed = true;
        gCancelArmed = true;
        link.log.clear();
        frame.ResetAfterAction();
        QCOMPARE(link.log, reset);
        QVERIFY(!frame.busy());
        QVERIFY(!gActionArmed);
        QVERIFY(!gCancelArmed);
        QVERIFY(Prompts::records().isEmpty());
    }

    void cancelActsOnlyWhenArmedDuringARun_data()
    {
        QTest::addColumn<bool>("inRun");
        QTest::addColumn<bool>("armed");
        QTest::addColumn<int>("pointer");
        QTest::addColumn<bool>("acts");
        QTest::newRow("armed, hand pointer") << true << true << 99 << true;
        QTest::newRow("armed, default pointer") << true << true << 0 << true;
        QTest::newRow("hourglass (zip step)") << true << true << 11 << false;
        QTest::newRow("not armed") << true << false << 99 << false;
        QTest::newRow("no run") << false << true << 99 << false;
    }
    void cancelActsOnlyWhenArmedDuringARun()
    {
        QFETCH(bool, inRun);
        QFETCH(bool, armed);
        QFETCH(int, pointer);
        QFETCH(bool, acts);
        kivrotest::writeFile(dir + "/src", "0123456789");
        FakeLink link;
        ActionFrame frame(link);
        frame.mActionWord = QStringLiteral("unpack");
        link.file.OpenFile(dir + "/src", QStringLiteral("READ_ONLY"));
        const auto click = [&] {
            gCancelArmed = armed;
            link.pointer = pointer;
            link.log.clear();
            frame.UnPackCANCELImg_Click();
        };
        if (inRun) {
            auto run = frame.BeginRun();
            frame.DisableControlsWhileBusy();
            click();
            QCOMPARE(frame.cancelled(), acts);
            QCOMPARE(frame.busy(), !acts);
            frame.ResetAfterAction();
        } else {
            click();
        }
        if (acts) {
            QCOMPARE(Prompts::records(),
                     QStringList{"box|Information|OK|Tesma Kivro Pro|Unpacking aborted by user|OK"});
            QCOMPARE(gMsgResult, vbOK);
            QCOMPARE(link.log.mid(0, 9),
                     (QStringList{"percent ", "percent shown 0", "time ", "pointer 0", "busy 0",
                                  "cancel picture unpack 0", "browser 1", "pack list 1", "time shown 0"}));
            QCOMPARE(gOpenFileCount, 0);
            QVERIFY(!link.file.IsOpen());
        } else {
            QVERIFY(Prompts::records().isEmpty());
            QVERIFY(!frame.cancelled());
            QCOMPARE(gOpenFileCount, 1); // the click closed nothing
            link.file.CloseAllFilesQuietly();
        }
    }

    void cancelInsideFeedbackStopsTheRunThere()
    {
        FakeLink link;
        ActionFrame frame(link);
        useFakeClock(frame);
        auto run = frame.BeginRun();
        frame.mActionWord = QStringLiteral("pack");
        frame.DisableControlsWhileBusy();
        link.setMousePointer(11);
        frame.mTotalBytes = 100;
        frame.mBytesDone = 10;
        frame.StartClock();

        // The click waits in the queue; the position call lets it run.
        QMetaObject::invokeMethod(
            this,
            [&] {
                gCancelArmed = true;
                link.setMousePointer(99);
                frame.PackCANCELImg_Click();
            },
            Qt::QueuedConnection);
        link.log.clear();
        QVERIFY(!frame.ProgressFeedback());
        QVERIFY(frame.cancelled());
        // Nothing of the window is touched after the cancel's own reset.
        QCOMPARE(link.log.last(), QStringLiteral("time shown 0"));
        QVERIFY(!link.log.contains("percent 10%"));
        QCOMPARE(link.percent, QString());
        QCOMPARE(link.time, QString());

        // Every later update says the same without letting events run.
        bool ran = false;
        QMetaObject::invokeMethod(
            this, [&] { ran = true; }, Qt::QueuedConnection);
        QVERIFY(!frame.ProgressFeedback());
        QVERIFY(!ran);
        QCoreApplication::processEvents();
        QCOMPARE(Prompts::records().size(), 1);
        // A second click on a cancelled run does nothing.
        gCancelArmed = true;
        frame.PackCANCELImg_Click();
        QCOMPARE(Prompts::records().size(), 1);
    }

    void guardLastsUntilTheRunUnwinds()
    {
        FakeLink link;
        ActionFrame frame(link);
        {
            auto run = frame.BeginRun();
            QVERIFY(run);
            QVERIFY(frame.running());
            gCancelArmed = true;
            frame.PackCANCELImg_Click();
            QVERIFY(frame.cancelled());
            // The window is idle again, but the cancelled run is still on the stack.
            gActionArmed = true;
            auto nested = frame.BeginRun();
            QVERIFY(!nested);
            QVERIFY(!gActionArmed); // the press is dropped
            QVERIFY(frame.running());
        }
        QVERIFY(!frame.running());
        auto next = frame.BeginRun();
        QVERIFY(next);
        QVERIFY(!frame.cancelled());
    }

    // The zip step's display, shared by both actions: shown with its caption, and hidden once,
    // whether the step ends by itself or its run unwinds inside it (here after a cancel).
    void zipDisplayNeverOutlivesItsRun()
    {
        FakeLink link;
        ActionFrame frame(link);
        {
            auto run = frame.BeginRun();
            frame.ShowZipDisplay(QStringLiteral("Zipping 'a'"));
            QVERIFY(frame.mZipStepRunning);
            QCOMPARE(link.log, (QStringList{"zip picture 1", "zip caption Zipping 'a'", "zip label 1"}));
            link.log.clear();
            frame.HideZipDisplay();
            QVERIFY(!frame.mZipStepRunning);
            QCOMPARE(link.log, (QStringList{"zip picture 0", "zip label 0"}));
            link.log.clear();
            frame.HideZipDisplay(); // nothing shown: nothing to hide
            QVERIFY(link.log.isEmpty());

            frame.ShowZipDisplay(QStringLiteral("Zipping 'b'"));
            gCancelArmed = true;
            frame.PackCANCELImg_Click();
            QVERIFY(frame.cancelled());
            link.log.clear();
        }
        QVERIFY(!frame.mZipStepRunning);
        QCOMPARE(link.log, (QStringList{"zip picture 0", "zip label 0"}));
    }

    void errorResumeClosesEverythingWithoutASpuriousBox()
    {
        FakeLink link;
        ActionFrame frame(link);
        auto run = frame.BeginRun();
        frame.mActionWord = QStringLiteral("pack");
        frame.DisableControlsWhileBusy();
        link.setMousePointer(11);
        // A failed open: File64 shows its own message and holds no file.
        link.file.OpenFile(dir + "/missing/none", QStringLiteral("READ_ONLY"));
        QCOMPARE(Prompts::records().size(), 1);
        link.log.clear();
        frame.ErrorResumeProgram();
        QCOMPARE(Prompts::records().size(), 1); // no "There is no open file."
        QCOMPARE(gOpenFileCount, 0);
        QCOMPARE(link.log, (QStringList{"percent ", "pointer 0", "busy 0", "cancel picture pack 0", "browser 1",
                                        "pack list 1", "time shown 0"}));
        QVERIFY(!frame.busy());
    }

    void unexpectedErrorShowsNumberAndDescription()
    {
        FakeLink link;
        ActionFrame frame(link);
        auto run = frame.BeginRun();
        frame.mActionWord = QStringLiteral("unpack");
        frame.DisableControlsWhileBusy();
        kivrotest::writeFile(dir + "/a", "abc");
        link.file.OpenFile(dir + "/a", QStringLiteral("READ_ONLY"));
        frame.UnexpectedError(13, QStringLiteral("Type mismatch"));
        QCOMPARE(Prompts::records(),
                 QStringList{"box|Critical|OK|Tesma Kivro Pro|Unexpected error. It may be a bug or an "
                             "unexpected error has occur! Please quit and restart Tesma Kivro "
                             "Pro.\\nIf the problem persists, please submit a bug report "
                             "immediately.\\n\\nError 13: 'Type mismatch'  detected.|OK"});
        QCOMPARE(gOpenFileCount, 0);
        QVERIFY(!frame.busy());
    }

    void noBoxForAFailureAfterACancel()
    {
        FakeLink link;
        ActionFrame frame(link);
        auto run = frame.BeginRun();
        frame.DisableControlsWhileBusy();
        gCancelArmed = true;
        frame.PackCANCELImg_Click();
        QCOMPARE(Prompts::records().size(), 1);
        link.log.clear();
        frame.UnexpectedError(52, QStringLiteral("Bad file name or number"));
        QCOMPARE(Prompts::records().size(), 1);
        QVERIFY(link.log.isEmpty());
    }

    void runUnwindingWhileBusyReturnsToIdle()
    {
        FakeLink link;
        ActionFrame frame(link);
        kivrotest::writeFile(dir + "/b", "b");
        try {
            auto run = frame.BeginRun();
            frame.mActionWord = QStringLiteral("pack");
            frame.DisableControlsWhileBusy();
            link.file.OpenFile(dir + "/b", QStringLiteral("READ_ONLY"));
            throw std::runtime_error("a failure no handler took");
        } catch (const std::runtime_error&) {}
        QVERIFY(!frame.busy());
        QVERIFY(!frame.running());
        QCOMPARE(gOpenFileCount, 0);
        QVERIFY(link.log.contains("busy 0"));
        QVERIFY(Prompts::records().isEmpty());
    }
};

KIVRO_TEST_MAIN(TestActionFrame)
#include "tst_actionframe.moc"
