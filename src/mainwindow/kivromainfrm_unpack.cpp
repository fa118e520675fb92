// The main window's side of the Unpack action.
#include "mainwindow/kivromainfrm.h"

#include "engine/EngineGlobals.h"
#include "engine/UnpackAction.h"

namespace kivro {

void kivromainfrm::UnpackImg_Click()
{
    if (!BusyIconImg->isHidden() || !gActionArmed)
        return;
    RunUnpack(*this, mActionFrame);
}

void kivromainfrm::UnpackMnu_Click()
{
    gActionArmed = true;
    UnpackImg_Click();
}

} // namespace kivro
