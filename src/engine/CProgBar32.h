#pragma once
// A progress bar that a window can show without a control of its own: each run creates a fresh
// bar as a child of its parent window and destroys it at its end. Positions are percentages
// (the range stays 0 to 100).
//
// SetProgBarPos and DelayProgBar let the program's pending events run before and after they act.
// That is the one place where a running copy gives the window a turn, and so the way a click on
// Cancel reaches a running action: any handler may run inside these calls. A copy calls
// SetProgBarPos after every block, up to a hundred thousand times a second at the slowest
// transfer rate, so the position call paces that turn (see SetProgBarPos).
#include <QColor>
#include <QPointer>
#include <QProgressBar>
#include <QWidget>
#include <cstdint>
#include <optional>

namespace kivro {

class CProgBar32 {
public:
    // Window style bits the bar is created with (the classic progress-bar styles).
    static constexpr std::uint32_t kStyleChildVisible = 0x50000000; // WS_CHILD | WS_VISIBLE
    static constexpr std::uint32_t kStyleVertical = 4;              // PBS_VERTICAL
    static constexpr std::uint32_t kStyleSmooth = 1;                // PBS_SMOOTH

    CProgBar32() = default;
    // The bar window is not destroyed here: a bar that still exists stays until its parent goes.
    ~CProgBar32() = default;
    CProgBar32(const CProgBar32&) = delete;
    CProgBar32& operator=(const CProgBar32&) = delete;

    // Colours are 0x00BBGGRR values. They act on the live bar only; without one, nothing happens.
    void SetBackColor(std::uint32_t NewBackColor);
    void SetBarColor(std::uint32_t NewBarColor);
    // The orientation the next Create uses.
    void SetProgVert(bool Vertical);

    // Creates the bar in pixels of the parent's client area. With a parent handle set
    // (SethWndParent) the bar is its child, otherwise the parent form's (Parent); with neither,
    // nothing is created and the result is false. Missing arguments: Left 0, Top 0, Width the
    // parent's outer width, Height 20; Smooth false. A bar that still lives is destroyed first,
    // so no bar is ever left behind unreachable.
    bool Create(std::optional<int> Left = {}, std::optional<int> Top = {}, std::optional<int> Width = {},
                std::optional<int> Height = {}, std::optional<bool> Smooth = {});

    QWidget* Parent() const { return m_parentForm; }
    void setParent(QWidget* Frm) { m_parentForm = Frm; }

    // Destroys the live bar; calling it again, or without a bar, does nothing. The id stays.
    void DestroyProgBar();
    // Position 0; nothing without a live bar.
    void ClearProgBar();
    // Lets pending events run, sets the position (clamped to 0..100), lets pending events run.
    // Pending events run only when the position differs from the one of the last call that let
    // them run, when kPumpIntervalMs have passed since then, or when the event loop has something
    // waiting (a click, a key: EventsWaiting, asked at most every kInputCheckUs): what is shown
    // changes at most a hundred times in a run and a click is answered within about a
    // millisecond, while a call that changes nothing costs little more than a clock reading.
    void SetProgBarPos(int ProgPos);
    static constexpr int kPumpIntervalMs = 20;
    static constexpr int kInputCheckUs = 1000;
    // The next SetProgBarPos lets pending events run, whatever the position (a new run begins).
    void ResetPacing() { m_pumpedPos = -1; }
    // Lets pending events run, sleeps itime milliseconds, lets pending events run.
    void DelayProgBar(int itime);

    QWidget* SethWndParent() const { return m_parentHandle; }
    void setSethWndParent(QWidget* vNewValue) { m_parentHandle = vNewValue; }
    // The id of the last bar created (0 before the first); it is kept after DestroyProgBar and
    // never reused.
    std::int32_t ProgBarHwnd() const { return m_barId; }

    // The live bar, or nullptr when there is none (never created, destroyed, or gone with its
    // parent).
    QProgressBar* bar() const { return m_bar.data(); }
    // The style bits the last Create used.
    std::uint32_t Style() const { return m_style; }

private:
    void applyLook();

    QPointer<QProgressBar> m_bar;
    QPointer<QWidget> m_parentForm;
    QPointer<QWidget> m_parentHandle;
    std::uint32_t m_vertical = 0;
    std::uint32_t m_style = 0;
    std::int32_t m_barId = 0;
    std::optional<QColor> m_backColor;
    std::optional<QColor> m_barColor;
    int m_pumpedPos = -1;           // the position of the last call that let events run
    std::int64_t m_pumpedAtNs = 0;  // and when it did (monotonic clock)
    std::int64_t m_checkedAtNs = 0; // when the event loop was last asked for waiting events
};

// A 0x00BBGGRR colour value as a colour, and back.
QColor colorFromBgr(std::uint32_t value);
constexpr std::uint32_t RGB(int r, int g, int b)
{
    return std::uint32_t(r & 0xFF) | (std::uint32_t(g & 0xFF) << 8) | (std::uint32_t(b & 0xFF) << 16);
}

} // namespace kivro
