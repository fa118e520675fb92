// The preview player of the main window: the exact command strings of every step through a
// recorder (a scripted device), the states of the buttons, slider, timers and labels, and a few
// runs through the real media-control layer with the media fixtures.
#include "KivroTest.h"
#include "MciRecorder.h"

#include "engine/EngineGlobals.h"
#include "mainwindow/MainGlobals.h"
#include "mainwindow/kivromainfrm.h"
#include "mainwindow/mMain.h"
#include "platform/Globals.h"
#include "platform/MediaControl.h"
#include "platform/MsgBox.h"
#include "platform/WindowHandles.h"
#include "preview/PreviewGlobals.h"

#include <QMediaPlayer>
#include <QVideoFrame>
#include <QVideoSink>
#include <QVideoWidget>

using namespace kivro;

namespace {

const QString kClose = QStringLiteral("Close movie0");
const QString kWhere = QStringLiteral("Where movie0 destination");
const QString kSetMs = QStringLiteral("set movie0 time format ms");
const QString kSetFrames = QStringLiteral("set movie0 time format frames");
const QString kLength = QStringLiteral("status movie0 length");
const QString kPosition = QStringLiteral("status movie0 position");
const QString kSpeed = QStringLiteral("status movie0 speed");
const QString kPut = QStringLiteral("put movie0 window at 0 0 124 87");
const QString kShowFirst = QStringLiteral("play movie0 from 1 to 1");
const QString kStop = QStringLiteral("Stop movie0");
const QString kMuteOff = QStringLiteral("set movie0 audio all off");

constexpr int kWait = 60000; // for anything the real device opens, plays or decodes

// An MPEG-1 sequence header (352 x 240, 29.97 fps) and some filler.
QByteArray mpegBytes()
{
    return QByteArray("\x00\x00\x01\xB3\x16\x00\xF0\x14", 8) + QByteArray(200, '\x55');
}

QString fixture(const char* name)
{
    return QStringLiteral(KIVRO_SOURCE_DIR "/tests/preview/data/") + QString::fromUtf8(name);
}

// A device that answers its lengths in the time format it was last set to, as a real one does.
class ScriptedDevice : public MciRecorder {
public:
    QString lengthMs = QStringLiteral("300000");
    QString lengthFrames = QStringLiteral("7500");
    // Called with every command before the device answers it.
    std::function<void(const QString&)> onCommand;

    ScriptedDevice() { script(); }
    // The answers of a 352 x 240 picture at normal speed (again after clear()).
    void script()
    {
        answer(kWhere, 0, QStringLiteral("0 0 352 240"));
        answer(kSpeed, 0, QStringLiteral("1000"));
    }
    void reset()
    {
        clear();
        script();
    }

    std::uint32_t mciSendStringA(const QString& command, QString* reply, std::uint32_t length,
                                 std::int32_t callback) override
    {
        if (onCommand)
            onCommand(command);
        if (command == kSetMs)
            m_ms = true;
        else if (command == kSetFrames)
            m_ms = false;
        const std::uint32_t code = MciRecorder::mciSendStringA(command, reply, length, callback);
        if (code == 0 && command == kLength && reply && reply->isEmpty())
            *reply = m_ms ? lengthMs : lengthFrames;
        return code;
    }

private:
    bool m_ms = false;
};

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& pos)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void click(QWidget* target, QPoint pos = QPoint(-1, -1))
{
    if (pos.x() < 0)
        pos = target->rect().center();
    sendMouse(target, QEvent::MouseButtonPress, pos);
    sendMouse(target, QEvent::MouseButtonRelease, pos);
}

// The frame number the preview's picture shows (its stripes), or -1 without a picture.
int shownPicture()
{
    QMediaPlayer* player = win::mciDevicePlayer(QStringLiteral("movie0"));
    auto* video = player ? qobject_cast<QVideoWidget*>(player->videoOutput()) : nullptr;
    if (!video)
        return -1;
    const QImage image = video->videoSink()->videoFrame().toImage();
    if (image.isNull())
        return -1;
    int n = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (qGray(image.pixel((2 * bit + 1) * image.width() / 16, image.height() / 2)) > 128)
            n |= 1 << bit;
    return n;
}

QString boxesText()
{
    return Prompts::records().join(QLatin1Char('\n'));
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT

    QString m_root;

    // A folder holding exactly `names` (MPEG bytes each), the browser on it, its first file current.
    QString browseFolderWith(kivromainfrm& form, const QString& folderName, const QStringList& names)
    {
        const QString dir = kivrotest::freshFolder(m_root + QLatin1Char('/') + folderName);
        for (const QString& name : names)
            kivrotest::writeFile(dir + QLatin1Char('/') + name, mpegBytes());
        form.File1->setPattern(QStringLiteral("*.*"));
        if (!form.BrowseTo(dir))
            qFatal("cannot browse the test folder");
        Prompts::clearRecords();
        return dir;
    }

    // The preview switched on over a.mpg of a fresh folder; the recorder emptied after it.
    QString openA(kivromainfrm& form, ScriptedDevice& mci)
    {
        const QString dir = browseFolderWith(form, QStringLiteral("a"), {QStringLiteral("a.mpg")});
        form.ShowPreviewChk->click();
        if (!gPreviewOn || gPreviewOpenFailed)
            qFatal("the preview did not open");
        mci.reset();
        return dir;
    }

    // Play with the slider at `value`; the recorder emptied after it.
    void play(kivromainfrm& form, ScriptedDevice& mci, int value)
    {
        form.MSSlider->setValue(value);
        form.CmdPlay->click();
        mci.reset();
    }

    void verifyIdleButtons(const kivromainfrm& form)
    {
        QVERIFY(!form.CmdPlay->isHidden());
        QVERIFY(form.CmdResume->isHidden());
        for (QPushButton* b : {form.CmdPlay, form.CmdStop, form.CmdPause, form.CmdResume, form.CmdClose})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    }

private slots:
    void initTestCase()
    {
        m_root = kivrotest::rootDir() + QStringLiteral("/preview");
        win::setOpenWaitLimitMs(kWait);
    }

    void init()
    {
        gPreviewOn = false;
        gPreviewPlaying = false;
        gPreviewOpenFailed = false;
        gSliderDragging = false;
        gMsgResult = 0;
        Prompts::enableScripted();
    }

    void openSendsTheWholeSequence()
    {
        ScriptedDevice mci;
        kivromainfrm form;
        const QString dir = browseFolderWith(form, QStringLiteral("open"), {QStringLiteral("a.mpg")});
        const int frameId = win::RegisterWindow(form.PreviewVideo_Frame);
        // The pointer the open runs under, as the device sees it.
        int pointerWhileOpening = -1;
        mci.onCommand = [&](const QString& command) {
            if (command.startsWith(QLatin1String("open ")))
                pointerWhileOpening = form.mousePointer();
        };
        form.ShowPreviewChk->click();
        mci.onCommand = nullptr;

        QCOMPARE(mci.commands(),
                 (QStringList{kClose,
                              QStringLiteral("open %1/a.mpg type MPEGVideo Alias movie0 parent %2 Style 1073741824")
                                  .arg(dir)
                                  .arg(frameId),
                              kWhere,
                              kWhere,
                              kSetMs,
                              kLength,
                              kSetFrames,
                              kSetFrames,
                              kLength,
                              kSetFrames,
                              kLength,
                              kSetMs,
                              kLength,
                              kSetFrames,
                              kSpeed,
                              kPut,
                              kWhere,
                              kWhere,
                              kShowFirst,
                              kStop}));
        QVERIFY(gPreviewOn);
        QVERIFY(form.ShowPreviewChk->isChecked());
        QCOMPARE(form.LbFileName->text(), dir + QStringLiteral("/a.mpg"));
        QCOMPARE(form.LbFramesPerSecond->text(), QStringLiteral("25"));
        QCOMPARE(form.LbTotalFrames->text(), QStringLiteral("7500"));
        QCOMPARE(form.LbTotalTime->text(), QStringLiteral("300"));
        QCOMPARE(form.LbCurrentRate->text(), QStringLiteral("100 %"));
        QCOMPARE(form.LbActualCx->text(), QStringLiteral("352"));
        QCOMPARE(form.LbCurrentCy->text(), QStringLiteral("240"));
        QCOMPARE(form.LbResult->text(), QStringLiteral("Result calling Function is : Success"));
        QCOMPARE(form.MSSlider->Max(), 150);
        QVERIFY(form.MSSlider->Enabled());
        QVERIFY(!form.CmdPlay->isHidden());
        QVERIFY(form.CmdPlay->isEnabled());
        QVERIFY(form.CmdResume->isHidden());
        QVERIFY(form.CmdClose->isEnabled());
        QVERIFY(!form.CmdStop->isEnabled());
        QVERIFY(form.TimerMisc->isActive());
        QCOMPARE(form.TimerMisc->interval(), 500);
        QVERIFY(!form.TimerAtEndFile->isActive());
        QCOMPARE(form.TimerAtEndFile->interval(), 100);
        QCOMPARE(pointerWhileOpening, 11);
        QCOMPARE(form.mousePointer(), 0);
        QVERIFY(!gPreviewPlaying);
        // The header's picture size and rate under the pane.
        QCOMPARE(form.MpegInfoVideoSize_Lbl->text(), QStringLiteral("352x240 (pxls)"));

        form.MoreInfo_Cmd->click();
        QVERIFY2(boxesText().contains(QStringLiteral("Duration: 00:05:00:00 secs\\nTotal Frames: 7500 frames")),
                 qPrintable(boxesText()));

        // Close without switching the preview off: the lengths go with the device.
        Prompts::clearRecords();
        mci.reset();
        form.CmdClose->click();
        QCOMPARE(mci.commands(), QStringList{kClose});
        QVERIFY(gPreviewOn);
        verifyIdleButtons(form);
        QVERIFY(!form.TimerMisc->isActive());
        QVERIFY(!form.MSSlider->Enabled());
        QCOMPARE(form.LbTotalFrames->text(), QString());
        QCOMPARE(form.LbFramesPerSecond->text(), QString());
        QCOMPARE(form.LbFileName->text(), dir + QStringLiteral("/a.mpg"));
        QCOMPARE(form.LbResult->text(), QStringLiteral("Result calling Function is : Success"));
        form.MoreInfo_Cmd->click();
        QVERIFY2(boxesText().contains(QStringLiteral("Total Frames: 0 frames")), qPrintable(boxesText()));
    }

    // The slider's maximum from the device's frames and milliseconds.
    void sliderMaximum_data()
    {
        QTest::addColumn<QString>("ms");
        QTest::addColumn<QString>("frames");
        QTest::addColumn<QString>("fps");
        QTest::addColumn<int>("maximum");
        QTest::newRow("25 fps, 7,500 frames") << "300000"
                                              << "7500"
                                              << "25" << 150;
        QTest::newRow("29.97 fps counts as 30") << "1800000"
                                                << "53946"
                                                << "30" << 899;
        QTest::newRow("a rate of 0 keeps the old maximum") << "0"
                                                           << "7500"
                                                           << "0" << 100;
    }
    void sliderMaximum()
    {
        QFETCH(QString, ms);
        QFETCH(QString, frames);
        QFETCH(QString, fps);
        QFETCH(int, maximum);
        ScriptedDevice mci;
        mci.lengthMs = ms;
        mci.lengthFrames = frames;
        kivromainfrm form;
        openA(form, mci);
        QCOMPARE(form.LbFramesPerSecond->text(), fps);
        QCOMPARE(form.MSSlider->Max(), maximum);
    }

    void playFromTheSlider()
    {
        ScriptedDevice mci;
        kivromainfrm form;
        openA(form, mci);
        form.MSSlider->setValue(75);
        form.CmdPlay->click();
        QCOMPARE(mci.commands(), (QStringList{kPut, kWhere, kWhere, kSetFrames, kLength,
                                              QStringLiteral("play movie0 from 3750 to 7500")}));
        QVERIFY(gPreviewPlaying);
        QVERIFY(form.CmdPlay->isHidden());
        QVERIFY(!form.CmdResume->isHidden());
        QVERIFY(!form.CmdResume->isEnabled());
        QVERIFY(form.CmdStop->isEnabled());
        QVERIFY(form.CmdPause->isEnabled());
        QVERIFY(form.TimerAtEndFile->isActive());

        // A start the device refuses changes nothing.
        form.CmdStop->click();
        mci.reset();
        mci.answer(QStringLiteral("play movie0 from 3750 to 7500"), win::mcierr::kOutOfRange);
        form.CmdPlay->click();
        QVERIFY(!gPreviewPlaying);
        QVERIFY(!form.CmdPlay->isHidden());
        QVERIFY(form.LbResult->text().startsWith(QStringLiteral("Result calling Function is : The value")));
    }

    // The position tick puts the slider at percent / 100 x maximum (halves to even).
    void positionTick_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("value");
        QTest::newRow("half of 150") << 150 << "3750" << 75;
        QTest::newRow("25 % of 2") << 2 << "1875" << 0;
        QTest::newRow("75 % of 2") << 2 << "5625" << 2;
    }
    void positionTick()
    {
        QFETCH(int, maximum);
        QFETCH(QString, position);
        QFETCH(int, value);
        ScriptedDevice mci;
        kivromainfrm form;
        openA(form, mci);
        play(form, mci, 0);
        form.MSSlider->setMax(maximum);
        mci.answer(kPosition, 0, position);
        mci.answer(QStringLiteral("status movie0 mode"), 0, QStringLiteral("playing"));
        form.TimerMisc_Timer();
        QCOMPARE(mci.commands(),
                 (QStringList{kSetFrames, kLength, kPosition, kPosition, QStringLiteral("status movie0 mode")}));
        QCOMPARE(form.MSSlider->Value(), value);
        QCOMPARE(form.PlayProgressLbl->text(), QString::number(value));
        QCOMPARE(form.LbCurrPos->text(), position);
        QCOMPARE(form.LbStatus->text(), QStringLiteral("playing"));
    }

    void positionTickLeavesAHeldSlider()
    {
        ScriptedDevice mci;
        kivromainfrm form;
        openA(form, mci);
        play(form, mci, 0);
        mci.answer(kPosition, 0, QStringLiteral("3750"));
        // The mouse held on the track: the gripper goes where it was pressed and stays there.
        const QPoint onTrack(form.MSSlider->width() / 4, form.MSSlider->height() / 2);
        sendMouse(form.MSSlider, QEvent::MouseButtonPress, onTrack);
        QVERIFY(gSliderDragging);
        const int held = form.MSSlider->Value();
        QVERIFY(held != 75);
        form.TimerMisc_Timer();
        QCOMPARE(form.MSSlider->Value(), held);
        QCOMPARE(form.LbProgress->text(), QStringLiteral("50 %"));
        sendMouse(form.MSSlider, QEvent::MouseButtonRelease, onTrack);
        QVERIFY(!gSliderDragging);
        form.TimerMisc_Timer();
        QCOMPARE(form.MSSlider->Value(), 75);
    }

    void endTickStopsAndShowsPictureOne()
    {
        ScriptedDevice mci;
        kivromainfrm form;
        openA(form, mci);
        play(form, mci, 0);
        mci.answer(kPosition, 0, QStringLiteral("7499"));
        form.TimerAtEndFile_Timer();
        QCOMPARE(mci.commands(), (QStringList{kSetFrames, kLength, kPosition}));
        QVERIFY(gPreviewPlaying);

        mci.reset();
        mci.answer(kPosition, 0, QStringLiteral("7500"));
        form.TimerAtEndFile_Timer();
        QCOMPARE(mci.commands(), (QStringList{kSetFrames, kLength, kPosition, kStop, kShowFirst, kStop}));
        QVERIFY(!form.CmdPlay->isHidden());
        QVERIFY(form.CmdPlay->isEnabled());
        for (QPushButton* b : {form.CmdStop, form.CmdPause, form.CmdResume})
            QVERIFY(!b->isEnabled());
        QVERIFY(!gPreviewPlaying);
        QVERIFY(form.TimerMisc->isActive());
        QVERIFY(form.TimerAtEndFile->isActive());
    }

    void seekWhilePaused()
    {
        ScriptedDevice mci;
        kivromainfrm form;
        openA(form, mci);
        play(form, mci, 0);
        form.CmdPause->click();
        QCOMPARE(mci.commands(), QStringList{QStringLiteral("Pause movie0")});
        QVERIFY(!gPreviewPlaying);
        mci.reset();

        // A click on the track: the device moves to the slider's place and stays stopped.
        click(form.MSSlider, QPoint(form.MSSlider->width() / 2, form.MSSlider->height() / 2));
        const int value = form.MSSlider->Value();
        QVERIFY(value > 0);
        QCOMPARE(mci.commands(), (QStringList{QStringLiteral("seek movie0 to %1").arg(50 * value),
                                              QStringLiteral("Play movie0"), kStop}));
        QVERIFY(!gSliderDragging);
        // The buttons still show Paused.
        QVERIFY(form.CmdPlay->isHidden());
        QVERIFY(!form.CmdResume->isHidden());
        QVERIFY(form.CmdResume->isEnabled());
        QVERIFY(!form.CmdPause->isEnabled());
        QVERIFY(form.CmdStop->isEnabled());

        mci.reset();
        form.CmdResume->click();
        QCOMPARE(mci.commands(), QStringList{QStringLiteral("Resume movie0")});
        QVERIFY(gPreviewPlaying);
        QVERIFY(form.CmdPlay->isHidden());
        QVERIFY(form.CmdPause->isEnabled());
        QVERIFY(!form.CmdResume->isEnabled());

        // While playing, a seek plays on from the new place.
        mci.reset();
        click(form.MSSlider, QPoint(form.MSSlider->width() / 4, form.MSSlider->height() / 2));
        QCOMPARE(mci.commands(), (QStringList{QStringLiteral("seek movie0 to %1").arg(50 * form.MSSlider->Value()),
                                              QStringLiteral("Play movie0")}));
    }

    void soundStateOutlivesTheDevice()
    {
        ScriptedDevice mci;
        kivromainfrm form;
        browseFolderWith(form, QStringLiteral("sound"), {QStringLiteral("a.mpg")});
        QVERIFY(form.SoundOn_Img->isEnabled());
        // Off before any open: no device answers, the pictures swap all the same.
        mci.answer(kMuteOff, win::mcierr::kNotOpen);
        click(form.SoundOn_Img);
        QCOMPARE(mci.commands(), QStringList{kMuteOff});
        QVERIFY(form.SoundOn_Img->isHidden());
        QVERIFY(!form.SoundOff_Img->isHidden());
        QVERIFY(!form.TimerAtEndFile->isActive());

        // The next open ends with the new device switched silent, and so does every reopen.
        for (int round = 0; round < 2; ++round) {
            mci.reset();
            form.ShowPreviewChk->click();
            QVERIFY(gPreviewOn);
            QCOMPARE(mci.commands().last(), kMuteOff);
            QVERIFY(form.TimerAtEndFile->isActive());
            QVERIFY(!form.SoundOff_Img->isHidden());
            form.ShowPreviewChk->click();
            QVERIFY(!gPreviewOn);
        }

        form.ShowPreviewChk->click();
        mci.reset();
        click(form.SoundOff_Img);
        QCOMPARE(mci.commands(), (QStringList{QStringLiteral("set movie0 audio all on"),
                                              QStringLiteral("setaudio movie0 Volume to 1000")}));
        QVERIFY(!form.SoundOn_Img->isHidden());
        QVERIFY(form.SoundOff_Img->isHidden());
    }

    void emptyFileListOnlyFlipsTheFlag()
    {
        ScriptedDevice mci;
        kivromainfrm form;
        browseFolderWith(form, QStringLiteral("empty"), {});
        QCOMPARE(form.File1->ListCount(), 0);
        form.ShowPreviewChk->click();
        QVERIFY(gPreviewOn);
        form.ShowPreviewChk->click();
        QVERIFY(!gPreviewOn);
        QVERIFY(mci.commands().isEmpty());
        QVERIFY(Prompts::records().isEmpty());
    }

    void deviceTypeFromTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("type");
        QTest::newRow("VOB, Yes") << "CLIP.VOB" << QStringList{"OK", "Yes"} << "MPEGVideo";
        QTest::newRow("VOB, No") << "CLIP.VOB" << QStringList{"OK", "No"} << "DvDVideo";
        QTest::newRow("mpeg") << "clip.mpeg" << QStringList() << "MPEGVideo";
        QTest::newRow("mp3") << "song.mp3" << QStringList() << "MPEGVideo";
        QTest::newRow("no extension") << "README" << QStringList() << "MPEGVideo";
        QTest::newRow("AVI in capitals") << "x.AVI" << QStringList() << "AviVideo";
    }
    void deviceTypeFromTheName()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, answers);
        QFETCH(QString, type);
        ScriptedDevice mci;
        kivromainfrm form;
        const QString dir = browseFolderWith(form, QStringLiteral("type"), {name});
        const int frameId = win::RegisterWindow(form.PreviewVideo_Frame);
        Prompts::queue(answers);
        form.ShowPreviewChk->click();
        QCOMPARE(mci.commands().value(1), QStringLiteral("open %1/%2 type %3 Alias movie0 parent %4 Style 1073741824")
                                              .arg(dir, name, type)
                                              .arg(frameId));
        if (answers.isEmpty()) {
            QVERIFY2(Prompts::records().isEmpty(), qPrintable(boxesText()));
            return;
        }
        QCOMPARE(Prompts::records(),
                 (QStringList{QStringLiteral("box|Information|OK|Tesma Kivro Pro|You trying Now to open DVD Video you "
                                             "must have a VGA card Support DVD like ATI All in Wonder 128.|OK"),
                              QStringLiteral("box|Question|YesNo|Tesma Kivro Pro|Are you want to select type "
                                             "(MPEGVideo) or Type (DvdVideo)THIS TYPE FOR ATI CARD.my advice to you "
                                             "to use type (MPEGVideo) because it Also will support ANY TYPE FOR DVD "
                                             "VIDEO. if you want to use type (MPEGVideo) click on yes and if you want "
                                             "to use type (DVDVideo)click on no|")
                                  + answers[1]}));
        QCOMPARE(gMsgResult, answers[1] == QLatin1String("Yes") ? vbYes : vbNo);
    }

    // A click in the file list opens the clicked file, but never the one already shown.
    void fileListClickOpensTheNextFile()
    {
        ScriptedDevice mci;
        kivromainfrm form;
        const QString dir = browseFolderWith(form, QStringLiteral("click"), {"a.mpg", "b.mpg"});
        const auto clickRow = [&form](int row) {
            click(form.File1->viewport(), form.File1->visualItemRect(form.File1->item(row)).center());
        };
        clickRow(1);
        QVERIFY(mci.commands().isEmpty()); // the preview is off
        clickRow(0);
        form.ShowPreviewChk->click();
        mci.reset();

        clickRow(1);
        QCOMPARE(form.LbFileName->text(), dir + QStringLiteral("/b.mpg"));
        QCOMPARE(mci.commands().mid(0, 2),
                 (QStringList{kClose, QStringLiteral("open %1/b.mpg type MPEGVideo Alias movie0 parent %2 Style "
                                                     "1073741824")
                                          .arg(dir)
                                          .arg(win::RegisterWindow(form.PreviewVideo_Frame))}));
        QCOMPARE(mci.commands().mid(mci.commands().size() - 2), (QStringList{kShowFirst, kStop}));
        QVERIFY(form.CmdPlay->isEnabled());
        QVERIFY(form.MSSlider->Enabled());

        mci.reset();
        clickRow(1);
        QVERIFY(mci.commands().isEmpty());
        QVERIFY(Prompts::records().isEmpty());

        // A file the device refuses: "Not Available", and the click ends without its box.
        form.File1->clearSelection();
        mci.reset();
        mci.answer(QStringLiteral("open %1/a.mpg type MPEGVideo Alias movie0 parent %2 Style 1073741824")
                       .arg(dir)
                       .arg(win::RegisterWindow(form.PreviewVideo_Frame)),
                   win::mcierr::kNotMedia);
        clickRow(0);
        QVERIFY(gPreviewOpenFailed);
        QVERIFY(gPreviewOn);
        QCOMPARE(form.MpegInfoVideoSize_Lbl->text(), QStringLiteral("Not Available"));
        QVERIFY(!form.MoreInfo_Cmd->isEnabled());
        verifyIdleButtons(form);
        QVERIFY(!form.MSSlider->Enabled());
        QCOMPARE(form.mousePointer(), 0);
    }

    void labelTurnsTheBoxOver()
    {
        ScriptedDevice mci;
        kivromainfrm form;
        browseFolderWith(form, QStringLiteral("label"), {"a.mpg"});
        click(form.ShowPreviewLbl);
        QVERIFY(form.ShowPreviewChk->isChecked());
        QVERIFY(gPreviewOn);
        QCOMPARE(mci.commands().count(kClose), 1);
        QCOMPARE(mci.commands().filter(QStringLiteral("open ")).size(), 1);

        mci.reset();
        click(form.ShowPreviewLbl);
        QVERIFY(!form.ShowPreviewChk->isChecked());
        QVERIFY(!gPreviewOn);
        QCOMPARE(mci.commands(), (QStringList{kStop, kShowFirst, kStop, kClose}));
        verifyIdleButtons(form);
        QCOMPARE(form.MpegInfoVideoRate_Lbl->text(), QStringLiteral("Not Available"));
        QVERIFY(!gMpegInfoAvailable);
        QCOMPARE(form.mousePointer(), 0);
    }

    void playerButtonsHaveTheirPlacesAndTips()
    {
        kivromainfrm form;
        QCOMPARE(form.CmdPlay->toolTip(), QStringLiteral("Play"));
        QCOMPARE(form.CmdPause->toolTip(), QStringLiteral("Pause"));
        QCOMPARE(form.CmdStop->toolTip(), QStringLiteral("Stop"));
        QCOMPARE(form.CmdResume->toolTip(), QString());
        QCOMPARE(form.CmdResume->geometry(), form.CmdPlay->geometry());
        QVERIFY(form.CmdPause->geometry().left() > form.CmdPlay->geometry().left());
        QVERIFY(!form.CmdPlay->icon().isNull());
        verifyIdleButtons(form);
        // A move over a player button puts the skin buttons back up.
        form.ButtonAdd_Img->showDown();
        sendMouse(form.CmdStop, QEvent::MouseMove, QPoint(2, 2));
        QCOMPARE(form.ButtonAdd_Img->picture(), SkinImage::Picture::Up);
    }

    void exitStopsAndClosesFirst_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("Exit") << true;
        QTest::newRow("Close picture") << false;
    }
    void exitStopsAndClosesFirst()
    {
        QFETCH(bool, byMenu);
        ScriptedDevice mci;
        auto* form = new kivromainfrm;
        openA(*form, mci);
        play(*form, mci, 0);
        QList<int> ended;
        mMain::SetEndProcessForTests([&](int status) { ended << status; });
        if (byMenu)
            form->ExitMnu_Click();
        else
            form->ButtonClose_Img_MouseUp();
        mMain::SetEndProcessForTests(nullptr);
        QCOMPARE(mci.commands(), (QStringList{kStop, kShowFirst, kStop, kClose}));
        QCOMPARE(ended, QList<int>{0});
        QVERIFY(Prompts::records().isEmpty());
        delete form;
    }

    // --- through the real media-control layer ---------------------------------------------------

    void realDeviceRefusesAFileThatIsNoMedia()
    {
        kivromainfrm form;
        const QString dir = kivrotest::freshFolder(m_root + QStringLiteral("/real-text"));
        QVERIFY(QFile::copy(fixture("not_media.mpg"), dir + QStringLiteral("/not_media.mpg")));
        form.File1->setPattern(QStringLiteral("*.*"));
        QVERIFY(form.BrowseTo(dir));
        Prompts::clearRecords();
        form.ShowPreviewChk->click();
        QVERIFY(gPreviewOpenFailed);
        QVERIFY(gPreviewOn);
        QCOMPARE(form.MpegInfoVideoSize_Lbl->text(), QStringLiteral("Not Available"));
        QCOMPARE(form.MpegInfoVideoRate_Lbl->text(), QStringLiteral("Not Available"));
        QVERIFY(!form.MoreInfo_Cmd->isEnabled());
        verifyIdleButtons(form);
        QCOMPARE(form.MSSlider->Value(), 0);
        QVERIFY(!form.MSSlider->Enabled());
        QVERIFY(!form.TimerMisc->isActive());
        QVERIFY(form.LbResult->text().startsWith(QStringLiteral("Result calling Function is : ")));
        QVERIFY(form.LbResult->text() != QStringLiteral("Result calling Function is : Success"));
        QVERIFY(Prompts::records().isEmpty());
    }

    void realDevicePlaysAnAviToItsEnd()
    {
        kivromainfrm form;
        const QString dir = kivrotest::freshFolder(m_root + QStringLiteral("/real-avi"));
        QVERIFY(QFile::copy(fixture("clip_mjpeg_320x240_25.avi"), dir + QStringLiteral("/clip.avi")));
        form.File1->setPattern(QStringLiteral("*.*"));
        QVERIFY(form.BrowseTo(dir));
        form.ShowPreviewChk->click();
        QVERIFY2(!gPreviewOpenFailed, qPrintable(form.LbResult->text()));
        QCOMPARE(form.LbFramesPerSecond->text(), QStringLiteral("25"));
        QCOMPARE(form.LbTotalFrames->text(), QStringLiteral("125"));
        QCOMPARE(form.mPreviewLengthMs, 5000);
        // 125 / 50 = 2.5 gives 2 (halves to even).
        QCOMPARE(form.MSSlider->Max(), 2);
        QCOMPARE(form.LbCurrentCx->text(), QString::number(form.PreviewVideo_Frame->width()));
        QTRY_COMPARE_WITH_TIMEOUT(shownPicture(), 1, kWait);

        // A seek to the end of the track while stopped shows picture 100 and stays stopped.
        form.MSSlider->setValue(2);
        form.MSSlider_OnClick();
        QTRY_VERIFY_WITH_TIMEOUT(std::abs(shownPicture() - 100) <= 2, kWait);
        QCOMPARE(win::mciDevicePlayer(QStringLiteral("movie0"))->playbackState(), QMediaPlayer::PausedState);

        // Play from the slider's start to the end: the end tick brings picture 1 back.
        form.MSSlider->setValue(0);
        form.CmdPlay->click();
        QVERIFY2(gPreviewPlaying, qPrintable(form.LbResult->text()));
        QVERIFY(form.TimerAtEndFile->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!gPreviewPlaying, kWait);
        QVERIFY(form.CmdPlay->isEnabled());
        QVERIFY(!form.CmdStop->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(shownPicture(), 1, kWait);
    }
};

KIVRO_TEST_MAIN(TestPreview)
#include "tst_preview.moc"
