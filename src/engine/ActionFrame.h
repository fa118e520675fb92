#pragma once
// The frame every pack and unpack run works inside: the busy state of the window, progress with
// the time remaining, cancel, recovery after a failure and the return to idle, with the run
// state the actions share. It sees the window only through MainWindowLink, so it runs headless.
//
// Everything runs on the one GUI thread. A run gives the window a turn only inside
// ProgressFeedback (the progress bar's position call lets pending events run), inside message
// boxes and inside the zip step's message callback. A Cancel click that lands there closes every
// file of the run, reports the abort and resets the window at once, while the run is still on the
// stack below it. The run learns of it from an explicit flag: ProgressFeedback returns false and
// cancelled() is true, and the run must then return at once without another file step or any
// change to the window.
//
// A run is framed by a Run object that lives until the run has fully unwound: while it exists no
// other run can begin, even though the window already looks idle after a cancel.
#include "engine/CProgBar32.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace kivro {

class MainWindowLink;

// Milliseconds of a clock that never goes back (a run across midnight or a change of the system
// time does not disturb the estimate).
using MonotonicClock = std::function<std::int64_t()>;
std::int64_t monotonicMilliseconds();

// The rounded percentage of a run: bytesDone / totalBytes * 100 to the nearest whole number,
// halves to even (1 of 8 is 12, 3 of 8 is 38), kept within 0..100; 0 when nothing is to be done.
int PercentDone(std::int64_t bytesDone, std::int64_t totalBytes);

// The time-remaining caption at `percent` after `elapsedMs`: the estimate is twice the linear
// extrapolation of the time spent (at 0 % the percentage counts as 1), rounded to whole seconds
// (halves to even), then shown as hours and minutes, minutes and seconds, or seconds:
// "1 hour 20 minutes remaining", "1 minute 0 second remaining", "1 second remaining".
// Hours are not wrapped at a day.
QString TimeRemainingText(int percent, std::int64_t elapsedMs);
// The two halves of TimeRemainingText: the estimate in whole seconds, and its caption. A copy
// asks for the estimate after every block of an even percentage, and the caption is built anew
// only when the estimate changes.
std::int64_t SecondsRemaining(int percent, std::int64_t elapsedMs);
QString TimeRemainingText(std::int64_t seconds);

class ActionFrame {
public:
    // The guard of one run; see the header comment. Falsy when the run could not begin because
    // another one is still on the stack.
    class Run {
    public:
        Run(const Run&) = delete;
        Run& operator=(const Run&) = delete;
        ~Run();
        explicit operator bool() const { return m_frame != nullptr; }

    private:
        friend class ActionFrame;
        explicit Run(ActionFrame* frame) : m_frame(frame) {}
        ActionFrame* m_frame;
    };

    explicit ActionFrame(MainWindowLink& link);
    ActionFrame(const ActionFrame&) = delete;
    ActionFrame& operator=(const ActionFrame&) = delete;

    MainWindowLink& link() const { return m_link; }

    // The clock the time remaining is measured with; an empty function restores the monotonic
    // clock of the system.
    void setClock(MonotonicClock clock);
    std::int64_t now() const;

    // Begins a run unless one is still on the stack (then gActionArmed is cleared: the press is
    // dropped). The action keeps the result until it returns:
    // `auto run = frame.BeginRun(); if (!run) return;`.
    [[nodiscard]] Run BeginRun();
    // The run of a Pack or Unpack press: only a press that armed the action (gActionArmed) on a
    // window that is not busy, and never beside another run; falsy otherwise.
    [[nodiscard]] Run BeginArmedRun();
    // A run is on the stack.
    bool running() const { return m_running; }
    // The busy state is on (from DisableControlsWhileBusy to ResetAfterAction).
    bool busy() const { return m_busy; }
    // The current (or last) run was cancelled; it must do nothing more.
    bool cancelled() const { return m_cancelled; }

    // Busy state on: busy icon shown, browser, save-as and pack-list controls disabled. The
    // pointer is the action's own business.
    void DisableControlsWhileBusy();
    // Busy state off: busy icon hidden, the running action's button back in place of its Cancel
    // picture, controls enabled (MoreInfo_Cmd only with MPEG information to show), time-remaining
    // label hidden, both armed flags cleared. Neither the pointer nor the progress bar change.
    void ResetAfterAction();
    // mStartTime <- now.
    void StartClock();
    // The run's progress bar, created at the place the window gives it, black with a light grey
    // bar. Nothing is shown when the window offers no parent for it.
    void ShowProgressBar();
    // After every copied block: bar position, both percentage labels, and the time remaining at
    // even percentages (the text of an odd percentage is the one of the last even one). Returns
    // false when the run has been cancelled, also by a click handled inside this very call; the
    // caller must then return at once. When the percentage changes, the new bar, labels and time
    // text are drawn together at once, in one paint of the window.
    [[nodiscard]] bool ProgressFeedback();
    // The Cancel pictures' clicks: they act only during a run that is not yet cancelled, when
    // gCancelArmed is set and the pointer is not the hourglass.
    void PackCANCELImg_Click();
    void UnPackCANCELImg_Click();
    // Recovery after a failed run: bar destroyed, percentage captions emptied (the labels stay
    // shown), pointer normal, every file closed (no message when none is open), idle again.
    void ErrorResumeProgram();
    // A failure the action's handler has no row for: the shared unexpected-error text with its
    // number and description, then ErrorResumeProgram. Nothing after a cancel, which has ended
    // the run already.
    void UnexpectedError(int number, const QString& description);
    // The zip step's picture and label: shown with the label's caption when a run's zip step
    // begins, which also marks the step as running (mZipStepRunning). HideZipDisplay ends the
    // step and hides whatever the step showed; the run's guard calls it too, so that however a
    // run ends, neither stays behind.
    void ShowZipDisplay(const QString& caption);
    void HideZipDisplay();

    // --- run state shared by the actions -------------------------------------------------------
    QString mActionWord;          // "pack" or "unpack"
    std::int64_t mTotalBytes = 0; // bytes the run copies in all
    std::int64_t mBytesDone = 0;  // bytes copied so far
    std::int64_t mStartTime = 0;  // now() when copying started
    CProgBar32 mProgressBar;
    // True while the running action's zip step runs: the action's error handler then reports
    // failures as failures of the zip step. Set by the run itself, so neither the zip menu nor
    // the label can change what it means.
    bool mZipStepRunning = false;

private:
    void cancelRun(const QString& message);
    void endRun();

    MainWindowLink& m_link;
    MonotonicClock m_clock;
    bool m_running = false;
    bool m_busy = false;
    bool m_cancelled = false;
    bool m_zipShown = false;
    int m_shownPercent = -1; // the percentage the labels were last drawn with in this run
    // The captions of the last block, kept so that a block whose percentage or estimate did not
    // change hands the same text on instead of building it again (a slow copy has hundreds of
    // thousands of blocks).
    int m_captionPercent = -1;
    QString m_percentCaption;
    std::int64_t m_captionSeconds = -1;
    QString m_timeCaption;
};

} // namespace kivro
