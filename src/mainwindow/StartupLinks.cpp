#include "mainwindow/StartupLinks.h"

#include "mainwindow/MainGlobals.h"
#include "mainwindow/kivromainfrm.h"
#include "mainwindow/mMain.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/Twips.h"

namespace kivro::startup {

void ShowPackListWindowAtStart(kivromainfrm* owner)
{
    Brovletfrm* packList = PackListForm();
    // Owned by the main window: a window of the dialog type, which the desktop keeps above its
    // owner (X11 marks only such windows as transient for another); its other flags stay.
    if (packList->parentWidget() != owner)
        packList->setParent(owner, (packList->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
    packList->show();
}

std::optional<QPointF> PackListWindowPositionTwips()
{
    // A window that was never created has no position of its own; the stored one stays.
    if (!gPackListForm)
        return std::nullopt;
    const QPoint outer = gPackListForm->pos(); // the frame's corner, where stored places are measured
    return QPointF(pixelsToTwips(double(outer.x())), pixelsToTwips(double(outer.y())));
}

std::optional<QString> BrowserFolder()
{
    // Empty only before the main window (and with it the file browser) exists.
    if (gCurrentDir.isEmpty())
        return std::nullopt;
    return gCurrentDir;
}

void CancelActionForShutdown(kivromainfrm* form)
{
    // The recovery of the action frame is the cancel's cleanup without its box: every file of
    // the run closed, the progress bar gone, the window idle.
    if (form->mActionFrame.running() || form->mActionFrame.busy())
        form->mActionFrame.ErrorResumeProgram();
}

void ArmCommandLineHandOff(kivromainfrm* form)
{
    form->ArmContextMenuShellTimer(mMain::Command());
}

} // namespace kivro::startup
