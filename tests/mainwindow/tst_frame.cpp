// The action frame through the real main window (offscreen): a small action that copies its
// sources block by block into an output file and reports every block, cancelled by a click that
// lands in a progress update, followed by a fresh run; the busy state of the window's controls;
// the pointer state.
#include "KivroTest.h"

#include "engine/ActionFrame.h"
#include "engine/EngineGlobals.h"
#include "mainwindow/kivromainfrm.h"
#include "platform/MsgBox.h"
#include "platform/RuntimeError.h"

#include <QProgressBar>
#include <vector>

using namespace kivro;

namespace {

enum class Outcome { Refused, Finished, Cancelled };

} // namespace

class TestFrameWindow : public QObject {
    Q_OBJECT
    // A run shaped like the program's actions: entry test and guard, busy state, progress bar,
    // hourglass, output opened, each source copied in blocks with a progress update after every
    // block, then the end of copying, the reset and a result message.
    struct CopyAction {
        kivromainfrm& w;
        QString word;
        QStringList sources;
        QString output;
        int blockSize = 4;
        // Called before progress update number n (from 0) of the run.
        std::function<void(int)> beforeUpdate = {};
        int sourcesOpened = 0;

        Outcome run()
        {
            ActionFrame& frame = w.mActionFrame;
            if (!w.BusyIconImg->isHidden() || !gActionArmed)
                return Outcome::Refused;
            auto guard = frame.BeginRun();
            if (!guard)
                return Outcome::Refused;

            frame.mActionWord = word;
            w.DisableControlsWhileBusy();
            w.setCancelPictureShown(word, true);
            frame.mProgressBar.setParent(&w);
            frame.mProgressBar.Create(70, 200, 246, 15, true);
            frame.mProgressBar.SetBackColor(0);
            frame.mProgressBar.SetBarColor(RGB(200, 200, 200));
            w.setMousePointer(MainWindowLink::kPointerHourglass);
            frame.mTotalBytes = 0;
            frame.mBytesDone = 0;
            for (const QString& s : sources)
                frame.mTotalBytes += GetFileLen(s);

            File64& io = w.file64();
            frame.StartClock();
            w.setTimeRemainingVisible(true);
            io.OpenFile(output, QStringLiteral("READ_WRITE"));
            const qint32 out = io.FileHandle();
            w.setPercentDoneCaption(QStringLiteral("0%"));
            w.setPercentDoneVisible(true);

            std::vector<char> buffer(static_cast<std::size_t>(blockSize));
            int update = 0;
            for (const QString& s : sources) {
                io.OpenFile(s, QStringLiteral("READ_ONLY"));
                ++sourcesOpened;
                const qint32 in = io.FileHandle();
                for (;;) {
                    const qint64 n = io.ReadInto(in, buffer.data(), blockSize);
                    if (n <= 0)
                        break;
                    io.WriteFrom(out, buffer.data(), n);
                    frame.mBytesDone += n;
                    if (beforeUpdate)
                        beforeUpdate(update);
                    ++update;
                    if (!w.ProgressFeedback())
                        return Outcome::Cancelled;
                }
                io.CloseFile(in);
            }
            frame.mProgressBar.DestroyProgBar();
            w.setPercentDoneCaption(QString());
            w.setTimeRemainingCaption(QString());
            io.CloseFile(out);
            w.ResetAfterAction();
            MsgBoxResult(QStringLiteral("copied"), vbInformation | vbOKOnly | vbTopMost);
            w.setMousePointer(MainWindowLink::kPointerDefault);
            return Outcome::Finished;
        }
    };

    static QList<QWidget*> browserControls(kivromainfrm& w)
    {
        return {w.AddFileToList_Cmb,
                w.SelAll_Cmd,
                w.DeSelAll_Cmd,
                w.InvSel_Cmd,
                w.Drive1,
                w.Dir1,
                w.File1,
                w.pattern_cmb,
                w.ShowPreviewChk,
                w.ShowPreviewLbl,
                w.Browse_cmd,
                w.SaveAsNewFilename_txt};
    }

    QString dir;

private slots:
    void initTestCase()
    {
        dir = kivrotest::rootDir() + QStringLiteral("/run");
        QDir().mkpath(dir);
        kivrotest::writeFile(dir + "/a", "AAAABBBBCC");  // 3 updates
        kivrotest::writeFile(dir + "/b", "DDDDEEEEFFF"); // 3 updates
    }
    void init()
    {
        Prompts::enableScripted();
        gActionArmed = false;
        gCancelArmed = false;
        gMpegInfoAvailable = false;
        QFile::remove(dir + "/out");
    }

    void cancelInAProgressUpdateEndsTheRun_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("clickAt");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<int>("opened");
        QTest::newRow("pack, first update") << "pack" << 0 << QByteArray("AAAA") << 1;
        QTest::newRow("unpack, first update") << "unpack" << 0 << QByteArray("AAAA") << 1;
        // After the last read of the first source: the next source is never opened.
        QTest::newRow("pack, end of a source") << "pack" << 2 << QByteArray("AAAABBBBCC") << 1;
        // After the very last block: no end of copying, no reset by the run, no result message.
        QTest::newRow("pack, last update") << "pack" << 5 << QByteArray("AAAABBBBCCDDDDEEEEFFF") << 2;
    }
    void cancelInAProgressUpdateEndsTheRun()
    {
        QFETCH(QString, word);
        QFETCH(int, clickAt);
        QFETCH(QByteArray, written);
        QFETCH(int, opened);
        kivromainfrm w;
        CopyAction action{w, word, {dir + "/a", dir + "/b"}, dir + "/out"};
        Outcome nested = Outcome::Finished;
        action.beforeUpdate = [&](int n) {
            if (n != clickAt)
                return;
            // The user's press, move and click on the Cancel picture wait in the queue until the
            // progress update lets them run; a press of the action's button follows at once.
            QMetaObject::invokeMethod(
                &w,
                [&] {
                    gCancelArmed = true;
                    w.setMousePointer(MainWindowLink::kPointerHand);
                    if (word == QLatin1String("pack"))
                        w.PackCANCELImg_Click();
                    else
                        w.UnPackCANCELImg_Click();
                    gActionArmed = true;
                    CopyAction second{w, word, {dir + "/a"}, dir + "/out2"};
                    nested = second.run();
                },
                Qt::QueuedConnection);
        };

        gActionArmed = true;
        QCOMPARE(action.run(), Outcome::Cancelled);
        QCOMPARE(nested, Outcome::Refused);
        QVERIFY(!QFile::exists(dir + "/out2"));

        const QString message = word == QLatin1String("pack") ? QStringLiteral("Packing aborted by user")
                                                              : QStringLiteral("Unpacking aborted by user");
        QCOMPARE(Prompts::records(),
                 QStringList{QStringLiteral("box|Information|OK|Tesma Kivro Pro|%1|OK").arg(message)});
        QCOMPARE(action.sourcesOpened, opened);
        QCOMPARE(kivrotest::readFile(dir + "/out"), written);
        QCOMPARE(gOpenFileCount, 0);

        // The window is idle: bar gone, labels empty and hidden, pointer normal, controls back.
        QCOMPARE(w.mActionFrame.mProgressBar.bar(), nullptr);
        QVERIFY(w.findChildren<QProgressBar*>().isEmpty());
        for (QLabel* label : {w.percentdone_lbl, w.percentdone_lbl_above96DPI, w.TimeRemainingLbl}) {
            QCOMPARE(label->text(), QString());
            QVERIFY(label->isHidden());
        }
        QCOMPARE(w.mousePointer(), MainWindowLink::kPointerDefault);
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
        QVERIFY(w.BusyIconImg->isHidden());
        QWidget* button = word == QLatin1String("pack") ? w.PackImg : w.UnpackImg;
        QWidget* cancel = word == QLatin1String("pack") ? w.PackCANCELImg : w.UnPackCANCELImg;
        QVERIFY(!button->isHidden());
        QVERIFY(cancel->isHidden());
        for (QWidget* c : browserControls(w))
            QVERIFY2(c->isEnabled(), qPrintable(c->objectName()));
        QVERIFY(!gActionArmed);
        QVERIFY(!gCancelArmed);

        // Once the cancelled run has unwound, a new press starts a fresh, complete run.
        Prompts::clearRecords();
        CopyAction again{w, word, {dir + "/a", dir + "/b"}, dir + "/out"};
        QFile::remove(dir + "/out");
        QCOMPARE(again.run(), Outcome::Refused); // not armed
        gActionArmed = true;
        QCOMPARE(again.run(), Outcome::Finished);
        QCOMPARE(kivrotest::readFile(dir + "/out"), QByteArray("AAAABBBBCCDDDDEEEEFFF"));
        QCOMPARE(Prompts::records(), QStringList{QStringLiteral("box|Information|OK|Tesma Kivro Pro|copied|OK")});
        QCOMPARE(gOpenFileCount, 0);
    }

    void progressShowsOnTheWindow()
    {
        kivromainfrm w;
        std::int64_t clockMs = 0;
        w.mActionFrame.setClock([&] { return clockMs; });
        CopyAction action{w, "pack", {dir + "/a"}, dir + "/out"}; // 10 bytes: 40 %, 80 %, 100 %
        QStringList seen;
        QList<int> bar;
        action.beforeUpdate = [&](int n) {
            clockMs = 2000 * (n + 1);
            if (n > 0) {
                seen << w.percentdone_lbl->text() + " / " + w.percentdone_lbl_above96DPI->text() + " / "
                            + w.TimeRemainingLbl->text();
                bar << w.mActionFrame.mProgressBar.bar()->value();
                QVERIFY(!w.BusyIconImg->isHidden());
                QVERIFY(w.PackImg->isHidden());
                QVERIFY(!w.PackCANCELImg->isHidden());
                QVERIFY(!w.TimeRemainingLbl->isHidden());
                QVERIFY(!w.percentdone_lbl->isHidden());
                QCOMPARE(w.mousePointer(), MainWindowLink::kPointerHourglass);
                QCOMPARE(w.cursor().shape(), Qt::WaitCursor);
            }
        };
        gActionArmed = true;
        QCOMPARE(action.run(), Outcome::Finished);
        // 40 % after 2 s: 2 x 2 x 1.5 = 6 s; 80 % after 4 s: 2 x 4 x 0.25 = 2 s.
        QCOMPARE(seen, (QStringList{"40% / 40% / 6 seconds remaining", "80% / 80% / 2 seconds remaining"}));
        QCOMPARE(bar, (QList<int>{40, 80}));
    }

    void busyStateSwitchesTheControls_data()
    {
        QTest::addColumn<bool>("mpegInfo");
        QTest::newRow("no MPEG information") << false;
        QTest::newRow("MPEG information") << true;
    }
    void busyStateSwitchesTheControls()
    {
        QFETCH(bool, mpegInfo);
        kivromainfrm w;
        gMpegInfoAvailable = mpegInfo;
        QVERIFY(w.BusyIconImg->isHidden());
        w.DisableControlsWhileBusy();
        QVERIFY(!w.BusyIconImg->isHidden());
        for (QWidget* c : browserControls(w))
            QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
        QVERIFY(!w.MoreInfo_Cmd->isEnabled());

        w.ResetAfterAction();
        QVERIFY(w.BusyIconImg->isHidden());
        for (QWidget* c : browserControls(w))
            QVERIFY2(c->isEnabled(), qPrintable(c->objectName()));
        // Without MPEG information to show, the button stays disabled.
        QCOMPARE(w.MoreInfo_Cmd->isEnabled(), mpegInfo);
    }

    void errorResumeKeepsTheLabelsShown()
    {
        kivromainfrm w;
        CopyAction action{w, "unpack", {dir + "/a"}, dir + "/out"};
        action.beforeUpdate = [&](int n) {
            if (n == 1)
                throw RuntimeError(61);
        };
        gActionArmed = true;
        try {
            action.run();
            QFAIL("the failure did not arrive");
        } catch (const RuntimeError& e) {
            // What an action's handler does with a failure it has no row for.
            w.mActionFrame.UnexpectedError(e.number(), e.description());
        }
        QCOMPARE(Prompts::records().size(), 1);
        QVERIFY(Prompts::records().first().contains("Error 61: 'Disk full'  detected."));
        QCOMPARE(gOpenFileCount, 0);
        QVERIFY(w.findChildren<QProgressBar*>().isEmpty());
        QCOMPARE(w.percentdone_lbl->text(), QString());
        QVERIFY(!w.percentdone_lbl->isHidden()); // emptied, still shown
        QVERIFY(w.TimeRemainingLbl->isHidden());
        QVERIFY(!w.UnpackImg->isHidden());
        QVERIFY(w.UnPackCANCELImg->isHidden());
        QCOMPARE(w.mousePointer(), MainWindowLink::kPointerDefault);
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
    }

    void pointerStateIsAppliedNotReadBack()
    {
        kivromainfrm w;
        QCOMPARE(w.mousePointer(), 0);
        w.setMousePointer(11);
        QCOMPARE(w.cursor().shape(), Qt::WaitCursor);
        w.setMousePointer(99);
        QCOMPARE(w.mousePointer(), 99);
        QCOMPARE(w.cursor().shape(), w.mHandCursor.shape());
        w.setCursor(Qt::IBeamCursor); // the cursor shown is no state
        QCOMPARE(w.mousePointer(), 99);
        w.setMousePointer(0);
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
    }
};

KIVRO_TEST_MAIN(TestFrameWindow)
#include "tst_frame.moc"
