// The main window's side of the Pack action: the picture's click, the menu item, and what the
// run reads and shows here (the save-as box, the zip step's label and picture).
#include "mainwindow/kivromainfrm.h"

#include "engine/EngineGlobals.h"
#include "engine/PackAction.h"

namespace kivro {

void kivromainfrm::PackImg_Click()
{
    if (!BusyIconImg->isHidden() || !gActionArmed)
        return;
    RunPackAction(*this, mActionFrame);
}

void kivromainfrm::PackMnu_Click()
{
    gActionArmed = true;
    PackImg_Click();
}

QString kivromainfrm::saveAsNewFilename() const
{
    return SaveAsNewFilename_txt->text();
}

void kivromainfrm::setZipProcessCaption(const QString& caption)
{
    ZipProcess_Lbl->setText(caption);
}

void kivromainfrm::setZipProcessVisible(bool visible)
{
    ZipProcess_Lbl->setVisible(visible);
}

void kivromainfrm::setZipAnimVisible(bool visible)
{
    ZipAnimIco->setVisible(visible);
}

} // namespace kivro
