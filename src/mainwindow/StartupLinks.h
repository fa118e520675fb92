#pragma once
// What the start-up sequence and the shutdown need of windows and state that other parts of the
// main program own: the pack-list window, the file browser's folder, the action frame and the
// command-line hand-off. Each link is one small function, so the start-up and shutdown code
// reads in the order it runs.
#include <QPointF>
#include <QString>

#include <optional>

namespace kivro {

class kivromainfrm;

namespace startup {

// Shows the pack-list window modeless with the main window as its owner.
void ShowPackListWindowAtStart(kivromainfrm* owner);

// The pack-list window's outer Left and Top in twips (frame included), when it exists.
std::optional<QPointF> PackListWindowPositionTwips();

// The folder the file browser shows (gCurrentDir), when the browser exists.
std::optional<QString> BrowserFolder();

// When an action runs: its cancel cleanup (every file closed, the progress bar gone, no box).
// Nothing when no action runs.
void CancelActionForShutdown(kivromainfrm* form);

// Arms the command-line hand-off (the main window's one-shot start timer).
void ArmCommandLineHandOff(kivromainfrm* form);

} // namespace startup
} // namespace kivro
