// The preview player: one media device under a fixed alias, shown inside PreviewVideo_Frame,
// with Play, Pause, Resume and Stop, the sound switch, the position slider and two timers that
// follow the position and the end of the file.
#include "mainwindow/kivromainfrm.h"

#include "engine/EngineGlobals.h"
#include "engine/Mpeg.h"
#include "engine/StringHelpers.h"
#include "mainwindow/MainGlobals.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/WindowHandlers.h"
#include "platform/WindowHandles.h"
#include "preview/ModuleMultimedia.h"
#include "preview/PreviewGlobals.h"
#include "preview/PreviewScale.h"

#include <QEvent>
#include <QIcon>
#include <QLocale>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace kivro {

namespace {

const QString kSuccess = QStringLiteral("Success");

// The device's alias: "movie" followed by the device number, always 0.
QString alias()
{
    return QStringLiteral("movie") + QString::number(0);
}

// A real number as text, with the user's decimal separator.
QString realText(double value)
{
    QString text = QString::number(value, 'g', 15);
    text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return text;
}

void switchOn(QTimer* timer)
{
    // Switching on a running timer leaves its rhythm alone.
    if (!timer->isActive())
        timer->start();
}

// A click on the preview's label: a left press and release both on it.
class LabelClick : public WindowEventFilter {
public:
    LabelClick(QLabel* label, std::function<void()> onClick) : WindowEventFilter(label), m_onClick(std::move(onClick))
    {
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* label = static_cast<QLabel*>(watched);
        if (event->type() == QEvent::MouseButtonPress) {
            m_pressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        } else if (event->type() == QEvent::MouseButtonRelease && m_pressed) {
            m_pressed = false;
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint()))
                m_onClick();
        }
        return false;
    }

private:
    std::function<void()> m_onClick;
    bool m_pressed = false;
};

} // namespace

// --- controls -----------------------------------------------------------------------------------

void kivromainfrm::CreatePreviewControls()
{
    PreviewVideo_Frame = frameControl<QFrame>("PreviewVideo_Frame", true);
    PreviewVideo_Frame->setAutoFillBackground(true);
    QPalette black = PreviewVideo_Frame->palette();
    black.setColor(QPalette::Window, Qt::black);
    PreviewVideo_Frame->setPalette(black);

    const auto playerButton = [this](const char* name, const char* picture, const QString& tip) {
        auto* b = frameControl<QPushButton>(name, true);
        b->setIcon(QIcon(QStringLiteral(":/skin/") + QLatin1String(picture) + QStringLiteral(".svg")));
        b->setIconSize(QSize(12, 12));
        b->setFlat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setToolTip(tip);
        b->setEnabled(false);
        return b;
    };
    CmdPlay = playerButton("CmdPlay", "player_play", QStringLiteral("Play"));
    CmdResume = playerButton("CmdResume", "player_resume", QString());
    CmdResume->hide();
    CmdPause = playerButton("CmdPause", "player_pause", QStringLiteral("Pause"));
    CmdStop = playerButton("CmdStop", "player_stop", QStringLiteral("Stop"));
    CmdClose = frameControl<QPushButton>("CmdClose", false);
    CmdClose->setText(QStringLiteral("&Close"));
    CmdClose->setEnabled(false);

    const auto valueLabel = [this](const char* name) { return frameControl<QLabel>(name, false); };
    LbFileName = valueLabel("LbFileName");
    LbFramesPerSecond = valueLabel("LbFramesPerSecond");
    LbTotalFrames = valueLabel("LbTotalFrames");
    LbTotalTime = valueLabel("LbTotalTime");
    LbActualCx = valueLabel("LbActualCx");
    LbActualCy = valueLabel("LbActualCy");
    LbCurrentCx = valueLabel("LbCurrentCx");
    LbCurrentCy = valueLabel("LbCurrentCy");
    LbCurrentRate = valueLabel("LbCurrentRate");
    LbProgress = valueLabel("LbProgress");
    LbCurrPos = valueLabel("LbCurrPos");
    LbCurrentTime = valueLabel("LbCurrentTime");
    LbStatus = valueLabel("LbStatus");
    PlayProgressLbl = valueLabel("PlayProgressLbl");
    LbResult = valueLabel("LbResult");
    LbResult->setText(QStringLiteral("Result calling Function is : "));

    TimerMisc = new QTimer(this);
    TimerMisc->setObjectName(QStringLiteral("TimerMisc"));
    TimerMisc->setInterval(500);
    TimerAtEndFile = new QTimer(this);
    TimerAtEndFile->setObjectName(QStringLiteral("TimerAtEndFile"));
    TimerAtEndFile->setInterval(100);
}

void kivromainfrm::SetupPreview()
{
    connect(ShowPreviewChk, &QCheckBox::clicked, this, [this] { ShowPreviewChk_Click(); });
    new LabelClick(ShowPreviewLbl, [this] { ShowPreviewLbl_Click(); });
    connect(CmdPlay, &QPushButton::clicked, this, [this] { CmdPlay_Click(); });
    connect(CmdPause, &QPushButton::clicked, this, [this] { CmdPause_Click(); });
    connect(CmdResume, &QPushButton::clicked, this, [this] { CmdResume_Click(); });
    connect(CmdStop, &QPushButton::clicked, this, [this] { CmdStop_Click(); });
    connect(CmdClose, &QPushButton::clicked, this, [this] { CmdClose_Click(); });
    connect(SoundOn_Img, &SkinImage::clicked, this, [this] { SoundOn_Img_Click(); });
    connect(SoundOff_Img, &SkinImage::clicked, this, [this] { SoundOff_Img_Click(); });
    connect(MSSlider, &MSSlider::MouseDown, this, [this] { MSSlider_MouseDown(); });
    connect(MSSlider, &MSSlider::MouseUp, this, [this] { MSSlider_MouseUp(); });
    connect(MSSlider, &MSSlider::OnClick, this, [this] { MSSlider_OnClick(); });
    connect(MSSlider, &MSSlider::ValueHasChanged, this, [this] { MSSlider_ValueHasChanged(); });
    connect(TimerMisc, &QTimer::timeout, this, [this] { TimerMisc_Timer(); });
    connect(TimerAtEndFile, &QTimer::timeout, this, [this] { TimerAtEndFile_Timer(); });
}

void kivromainfrm::LogPreviewResult(const QString& result)
{
    LbResult->setText(QStringLiteral("Result calling Function is : ") + result);
}

void kivromainfrm::IdlePreviewButtons()
{
    CmdPlay->show();
    CmdResume->hide();
    for (QPushButton* b : {CmdPlay, CmdStop, CmdPause, CmdResume, CmdClose})
        b->setEnabled(false);
}

void kivromainfrm::ShowPreviewIdle()
{
    ShowMpegInfoNotAvailable(*this);
    IdlePreviewButtons();
    MSSlider->setValue(0);
    MSSlider->setEnabled(false);
}

// --- switching the preview on and off -------------------------------------------------------------

void kivromainfrm::ShowPreviewChk_Click()
{
    if (File1->ListCount() == 0) {
        gPreviewOn = !gPreviewOn;
        return;
    }
    if (!gPreviewOn) {
        setMousePointer(kPointerHourglass);
        OpenFileInPreview(paths::joinPath(gCurrentDir, File1->FileName()));
        gPreviewOn = true;
        setMousePointer(kPointerDefault);
        return;
    }
    setMousePointer(kPointerHourglass);
    StopPreview();
    ClosePreview();
    ShowPreviewIdle();
    setMousePointer(kPointerDefault);
    gPreviewOn = false;
}

void kivromainfrm::ShowPreviewLbl_Click()
{
    {
        const QSignalBlocker blocker(ShowPreviewChk);
        ShowPreviewChk->setChecked(!ShowPreviewChk->isChecked());
    }
    ShowPreviewChk_Click();
}

bool kivromainfrm::OpenFileInPreview(const QString& path)
{
    ShowMpegInfo(*this, path, false);
    ClosePreview();
    LbFileName->setText(path);
    OpenPreview();
    if (gPreviewOpenFailed) {
        setMousePointer(kPointerHourglass);
        ShowPreviewIdle();
        setMousePointer(kPointerDefault);
        return false;
    }
    PlacePreviewWindow();
    ModuleMultimedia::PlayMedia(alias(), QStringLiteral("1"), QStringLiteral("1"));
    ModuleMultimedia::StopMedia(alias());
    // A preview switched to silence stays silent for the next file.
    if (!SoundOff_Img->isHidden())
        SoundOn_Img_Click();
    CmdPlay->setEnabled(true);
    CmdClose->setEnabled(true);
    MSSlider->setEnabled(true);
    gPreviewPlaying = false;
    setMousePointer(kPointerDefault);
    return true;
}

void kivromainfrm::OpenPreview()
{
    gPreviewOpenFailed = false;
    const QString fileName = LbFileName->text();
    const QString extension = fileName.right(4).toLower();
    QString deviceType = QStringLiteral("MPEGVideo");
    if (extension == QLatin1String(".avi")) {
        deviceType = QStringLiteral("AviVideo");
    } else if (extension == QLatin1String(".vob")) {
        MsgBoxResult(QStringLiteral("You trying Now to open DVD Video you must have")
                         + QStringLiteral(" a VGA card Support DVD like ATI All in Wonder 128."),
                     vbInformation | vbOKOnly);
        MsgBoxResult(QStringLiteral("Are you want to select type (MPEGVideo) or Type (DvdVideo)THIS TYPE FOR ATI "
                                    "CARD.my advice to you to use type (MPEGVideo) because it Also will support ANY "
                                    "TYPE FOR DVD VIDEO. if you want to use type (MPEGVideo) click on yes and if you "
                                    "want to use type (DVDVideo)click on no"),
                     vbQuestion | vbYesNo | vbDefaultButton1);
        deviceType = gMsgResult == vbYes ? QStringLiteral("MPEGVideo") : QStringLiteral("DvDVideo");
    }

    const QString result = ModuleMultimedia::OpenMedia(win::RegisterWindow(PreviewVideo_Frame), alias(), fileName,
                                                       deviceType);
    LogPreviewResult(result);
    if (result != kSuccess) {
        gPreviewOpenFailed = true;
        return;
    }
    mPreviewDeviceOpen = true;
    LbActualCx->setText(QString::number(ModuleMultimedia::GetMediaDestinationSize(alias(), QStringLiteral("cx"))));
    LbActualCy->setText(QString::number(ModuleMultimedia::GetMediaDestinationSize(alias(), QStringLiteral("cy"))));
    const std::int32_t fps = ModuleMultimedia::GetFramesPerSecond(alias());
    mPreviewFps = fps;
    LbFramesPerSecond->setText(QString::number(fps));
    mPreviewLengthFrames = ModuleMultimedia::GetMediaLengthFrames(alias());
    LbTotalFrames->setText(QString::number(mPreviewLengthFrames));
    mPreviewLengthMs = ModuleMultimedia::GetMediaLengthMs(alias());
    LbTotalTime->setText(realText(double(mPreviewLengthMs) / 1000.0));
    LbCurrentRate->setText(QString::number(ModuleMultimedia::GetMediaSpeed(alias())) + QStringLiteral(" %"));
    if (const auto maximum = PreviewScale::SliderMaximum(double(mPreviewLengthFrames), double(fps)))
        MSSlider->setMax(*maximum);
    switchOn(TimerMisc);
    CmdPlay->show();
    CmdResume->hide();
}

// --- the player -----------------------------------------------------------------------------------

void kivromainfrm::PlacePreviewWindow()
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    const QString result = ModuleMultimedia::PutMediaWindow(win::RegisterWindow(PreviewVideo_Frame), alias(), 0, 0,
                                                            width, height);
    LogPreviewResult(result);
    if (result != kSuccess)
        return;
    LbCurrentCx->setText(QString::number(ModuleMultimedia::GetMediaDestinationSize(alias(), QStringLiteral("cx"))));
    LbCurrentCy->setText(QString::number(ModuleMultimedia::GetMediaDestinationSize(alias(), QStringLiteral("cy"))));
}

void kivromainfrm::PlayPreview()
{
    PlacePreviewWindow();
    const std::int32_t from = PreviewScale::StartFrame(double(mPreviewFps.value_or(0)), MSSlider->Value());
    const QString result = ModuleMultimedia::PlayMedia(alias(), QString::number(from), QString());
    LogPreviewResult(result);
    if (result != kSuccess)
        return;
    gPreviewPlaying = true;
    CmdPlay->hide();
    CmdResume->show();
    CmdPlay->setEnabled(false);
    CmdStop->setEnabled(true);
    CmdPause->setEnabled(true);
    CmdResume->setEnabled(false);
    switchOn(TimerAtEndFile);
}

void kivromainfrm::PausePreview()
{
    const QString result = ModuleMultimedia::PauseMedia(alias());
    LogPreviewResult(result);
    if (result != kSuccess)
        return;
    gPreviewPlaying = false;
    CmdPlay->hide();
    CmdResume->show();
    CmdPause->setEnabled(false);
    CmdResume->setEnabled(true);
}

void kivromainfrm::ResumePreview()
{
    const QString result = ModuleMultimedia::ResumeMedia(alias());
    LogPreviewResult(result);
    if (result != kSuccess)
        return;
    gPreviewPlaying = true;
    CmdPause->setEnabled(true);
    CmdResume->setEnabled(false);
}

void kivromainfrm::StopPreview()
{
    const QString result = ModuleMultimedia::StopMedia(alias());
    LogPreviewResult(result);
    if (result == kSuccess)
        gPreviewPlaying = false;
    ModuleMultimedia::PlayMedia(alias(), QStringLiteral("1"), QStringLiteral("1"));
    ModuleMultimedia::StopMedia(alias());
    CmdPlay->show();
    CmdResume->hide();
    CmdPlay->setEnabled(true);
    for (QPushButton* b : {CmdStop, CmdPause, CmdResume})
        b->setEnabled(false);
    gPreviewPlaying = false;
}

void kivromainfrm::ClosePreview()
{
    const QString result = ModuleMultimedia::CloseMedia(alias());
    LogPreviewResult(result);
    if (result != kSuccess)
        return;
    mPreviewDeviceOpen = false;
    TimerMisc->stop();
    TimerAtEndFile->stop();
    for (QLabel* label : {LbFramesPerSecond, LbTotalFrames, LbTotalTime, LbActualCx, LbActualCy, LbCurrentCx,
                          LbCurrentCy, LbCurrentRate, LbProgress, LbCurrPos, LbCurrentTime, LbStatus})
        label->clear();
    mPreviewFps.reset();
    mPreviewLengthFrames = 0;
    mPreviewLengthMs = 0;
    IdlePreviewButtons();
    MSSlider->setValue(0);
    MSSlider->setEnabled(false);
}

// --- sound ------------------------------------------------------------------------------------------

void kivromainfrm::SoundOn_Img_Click()
{
    const QString result = ModuleMultimedia::SetMediaAudio(alias(), QStringLiteral("all"), QStringLiteral("off"));
    LogPreviewResult(result);
    if (result == kSuccess)
        switchOn(TimerAtEndFile);
    SoundOff_Img->show();
    SoundOn_Img->hide();
}

void kivromainfrm::SoundOff_Img_Click()
{
    const QString result = ModuleMultimedia::SetMediaAudio(alias(), QStringLiteral("all"), QStringLiteral("on"));
    LogPreviewResult(result);
    if (result == kSuccess) {
        switchOn(TimerAtEndFile);
        ModuleMultimedia::SetMediaVolume(alias(), QStringLiteral("all"), 100);
    }
    SoundOn_Img->show();
    SoundOff_Img->hide();
}

// --- slider and timers --------------------------------------------------------------------------------

void kivromainfrm::MSSlider_MouseDown()
{
    gSliderDragging = true;
}

void kivromainfrm::MSSlider_MouseUp()
{
    gSliderDragging = false;
}

void kivromainfrm::MSSlider_OnClick()
{
    if (!mPreviewFps)
        return;
    const std::int32_t position = PreviewScale::StartFrame(double(*mPreviewFps), MSSlider->Value());
    LogPreviewResult(ModuleMultimedia::SeekMediaAndPlay(alias(), position));
    // A stopped or paused device only moves its picture.
    if (!gPreviewPlaying)
        ModuleMultimedia::StopMedia(alias());
}

void kivromainfrm::MSSlider_ValueHasChanged()
{
    PlayProgressLbl->setText(QString::number(MSSlider->Value()));
}

void kivromainfrm::TimerMisc_Timer()
{
    const std::int32_t percent = ModuleMultimedia::GetPercentPlayed(alias());
    if (!gSliderDragging) {
        const double p = PreviewScale::SliderPosition(percent, MSSlider->Max());
        PlayProgressLbl->setText(realText(p));
        MSSlider->setValue(PreviewScale::SliderValue(p));
    }
    LbProgress->setText(QString::number(percent) + QStringLiteral(" %"));
    const std::int32_t position = ModuleMultimedia::GetMediaPosition(alias());
    LbCurrPos->setText(QString::number(position));
    if (!mPreviewFps || *mPreviewFps == 0)
        return;
    LbCurrentTime->setText(realText(double(position) / double(*mPreviewFps)));
    LbStatus->setText(ModuleMultimedia::GetMediaMode(alias()));
}

void kivromainfrm::TimerAtEndFile_Timer()
{
    // The length is fetched afresh at every tick.
    std::int32_t end = 0;
    if (ModuleMultimedia::IsMediaAtEnd(alias(), end))
        StopPreview();
}

} // namespace kivro
