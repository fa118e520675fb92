#include "mainwindow/StartupLinks.h"

namespace kivro::startup {

// Until the pack-list window, the file browser, the action frame and the hand-off are part of
// the program, there is nothing to show, read, cancel or arm.

void ShowPackListWindowAtStart(kivromainfrm*) {}

std::optional<QPointF> PackListWindowPositionTwips()
{
    return std::nullopt;
}

std::optional<QString> BrowserFolder()
{
    return std::nullopt;
}

void CancelActionForShutdown(kivromainfrm*) {}

void ArmCommandLineHandOff(kivromainfrm*) {}

} // namespace kivro::startup
