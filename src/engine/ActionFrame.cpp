#include "engine/ActionFrame.h"

#include "engine/EngineGlobals.h"
#include "engine/File64.h"
#include "engine/MainWindowLink.h"
#include "platform/MsgBox.h"
#include "platform/RuntimeError.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace kivro {

std::int64_t monotonicMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int PercentDone(std::int64_t bytesDone, std::int64_t totalBytes)
{
    if (totalBytes <= 0)
        return 0;
    const double x = double(bytesDone) / double(totalBytes) * 100.0;
    return int(std::clamp(std::nearbyint(x), 0.0, 100.0));
}

std::int64_t SecondsRemaining(int percent, std::int64_t elapsedMs)
{
    const double e = double(std::max<std::int64_t>(elapsedMs, 0)) / 1000.0;
    double r = percent > 0 ? 2.0 * e * (100.0 / percent - 1.0) : 198.0 * e;
    r = std::max(r, 0.0);
    return std::int64_t(std::nearbyint(r));
}

QString TimeRemainingText(int percent, std::int64_t elapsedMs)
{
    return TimeRemainingText(SecondsRemaining(percent, elapsedMs));
}

QString TimeRemainingText(std::int64_t seconds)
{
    const std::int64_t total = std::max<std::int64_t>(seconds, 0);
    const std::int64_t h = total / 3600;
    const std::int64_t m = (total % 3600) / 60;
    const std::int64_t s = total % 60;

    const QString hourWord = h > 1 ? QStringLiteral(" hours ") : QStringLiteral(" hour ");
    const QString minuteWord = m > 1 ? QStringLiteral(" minutes ") : QStringLiteral(" minute ");
    const QString secondWord = s > 1 ? QStringLiteral(" seconds ") : QStringLiteral(" second ");
    const QString remaining = QStringLiteral("remaining");
    if (h > 0)
        return QString::number(h) + hourWord + QString::number(m) + minuteWord + remaining;
    if (m > 0)
        return QString::number(m) + minuteWord + QString::number(s) + secondWord + remaining;
    return QString::number(s) + secondWord + remaining;
}

ActionFrame::Run::~Run()
{
    if (m_frame)
        m_frame->endRun();
}

ActionFrame::ActionFrame(MainWindowLink& link) : m_link(link)
{}

void ActionFrame::setClock(MonotonicClock clock)
{
    m_clock = std::move(clock);
}

std::int64_t ActionFrame::now() const
{
    return m_clock ? m_clock() : monotonicMilliseconds();
}

ActionFrame::Run ActionFrame::BeginRun()
{
    if (m_running) {
        // The press that asked for this run is dropped, not kept for a later click.
        gActionArmed = false;
        return Run(nullptr);
    }
    m_running = true;
    m_cancelled = false;
    return Run(this);
}

ActionFrame::Run ActionFrame::BeginArmedRun()
{
    if (m_busy || !gActionArmed)
        return Run(nullptr);
    return BeginRun();
}

void ActionFrame::endRun()
{
    HideZipDisplay();
    // A run that unwinds with the window still busy (a failure no handler took) must not leave
    // the window busy with files open.
    if (m_busy && !m_cancelled)
        ErrorResumeProgram();
    m_running = false;
}

void ActionFrame::DisableControlsWhileBusy()
{
    m_busy = true;
    m_link.setBusyIconVisible(true);
    m_link.setBrowserControlsEnabled(false);
    m_link.setMoreInfoEnabled(false);
    m_link.setPackListControlsEnabled(false);
}

void ActionFrame::ResetAfterAction()
{
    m_link.setBusyIconVisible(false);
    if (mActionWord == QLatin1String("pack") || mActionWord == QLatin1String("unpack"))
        m_link.setCancelPictureShown(mActionWord, false);
    m_link.setBrowserControlsEnabled(true);
    if (gMpegInfoAvailable)
        m_link.setMoreInfoEnabled(true);
    m_link.setPackListControlsEnabled(true);
    m_link.setTimeRemainingVisible(false);
    gActionArmed = false;
    gCancelArmed = false;
    m_busy = false;
}

void ActionFrame::StartClock()
{
    mStartTime = now();
    mProgressBar.ResetPacing();
    m_shownPercent = -1;
    m_captionPercent = -1;
    m_captionSeconds = -1;
}

void ActionFrame::ShowProgressBar()
{
    QWidget* parent = m_link.progressBarParent();
    mProgressBar.setParent(parent);
    if (!parent)
        return;
    const QRect place = m_link.progressBarPlace();
    mProgressBar.Create(place.x(), place.y(), place.width(), place.height(), true);
    mProgressBar.SetBackColor(0);
    mProgressBar.SetBarColor(RGB(200, 200, 200));
}

bool ActionFrame::ProgressFeedback()
{
    if (m_cancelled)
        return false;
    const int p = PercentDone(mBytesDone, mTotalBytes);
    mProgressBar.SetProgBarPos(p);
    // A cancel handled inside the position call has reset the window: leave it as it is.
    if (m_cancelled)
        return false;
    if (p != m_captionPercent) {
        m_captionPercent = p;
        m_percentCaption = QString::number(p) + QLatin1Char('%');
    }
    m_link.setPercentDoneCaption(m_percentCaption);
    if (p % 2 == 0) {
        const std::int64_t seconds = SecondsRemaining(p, now() - mStartTime);
        if (seconds != m_captionSeconds) {
            m_captionSeconds = seconds;
            m_timeCaption = TimeRemainingText(seconds);
        }
        m_link.setTimeRemainingCaption(m_timeCaption);
    }
    if (p != m_shownPercent) {
        // Every widget changed above only asked to be redrawn; draw them all now in one paint.
        // On X11 each paint waits for the server to take the last picture, so a label or bar
        // drawn on its own would cost a round trip to the server each.
        m_shownPercent = p;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    }
    return true;
}

void ActionFrame::PackCANCELImg_Click()
{
    cancelRun(QStringLiteral("Packing aborted by user"));
}

void ActionFrame::UnPackCANCELImg_Click()
{
    cancelRun(QStringLiteral("Unpacking aborted by user"));
}

void ActionFrame::cancelRun(const QString& message)
{
    if (m_link.mousePointer() == MainWindowLink::kPointerHourglass || !gCancelArmed)
        return;
    if (!m_running || m_cancelled)
        return;
    m_cancelled = true;
    m_link.file64().CloseAllFilesQuietly();
    MsgBoxResult(message, vbInformation | vbOKOnly | vbTopMost);
    mProgressBar.DestroyProgBar();
    m_link.setPercentDoneCaption(QString());
    m_link.setPercentDoneVisible(false);
    m_link.setTimeRemainingCaption(QString());
    m_link.setMousePointer(MainWindowLink::kPointerDefault);
    ResetAfterAction();
}

void ActionFrame::ErrorResumeProgram()
{
    mProgressBar.DestroyProgBar();
    m_link.setPercentDoneCaption(QString());
    m_link.setMousePointer(MainWindowLink::kPointerDefault);
    m_link.file64().CloseAllFilesQuietly();
    ResetAfterAction();
}

void ActionFrame::ShowZipDisplay(const QString& caption)
{
    mZipStepRunning = true;
    m_zipShown = true;
    m_link.setZipAnimVisible(true);
    m_link.setZipProcessCaption(caption);
    m_link.setZipProcessVisible(true);
}

void ActionFrame::HideZipDisplay()
{
    if (m_zipShown) {
        m_link.setZipAnimVisible(false);
        m_link.setZipProcessVisible(false);
        m_zipShown = false;
    }
    mZipStepRunning = false;
}

void ActionFrame::UnexpectedError(int number, const QString& description)
{
    if (m_running && m_cancelled)
        return;
    MsgBoxResult(unexpectedErrorText(number, description), vbCritical | vbOKOnly | vbTopMost);
    ErrorResumeProgram();
}

} // namespace kivro
