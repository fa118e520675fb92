// The main window's side of the action frame: what the busy state, the progress of a run and its
// cancel show on this window.
#include "mainwindow/kivromainfrm.h"

#include "mainwindow/SkinLayout.h"

namespace kivro {

void kivromainfrm::setMousePointer(int pointer)
{
    // The number is the state handlers test; the cursor only shows it.
    mMousePointer = pointer;
    switch (pointer) {
    case kPointerHourglass:
        setCursor(Qt::WaitCursor);
        break;
    case kPointerHand:
        setCursor(mHandCursor);
        break;
    default:
        unsetCursor();
        break;
    }
}

QRect kivromainfrm::progressBarPlace() const
{
    return BG_Img ? skin::skinRect("mProgressBar") : skin::windowRect("mProgressBar");
}

void kivromainfrm::setBusyIconVisible(bool visible)
{
    BusyIconImg->setVisible(visible);
}

void kivromainfrm::setCancelPictureShown(const QString& actionWord, bool shown)
{
    if (actionWord == QLatin1String("pack")) {
        PackImg->setVisible(!shown);
        PackCANCELImg->setVisible(shown);
    } else if (actionWord == QLatin1String("unpack")) {
        UnpackImg->setVisible(!shown);
        UnPackCANCELImg->setVisible(shown);
    }
}

void kivromainfrm::setBrowserControlsEnabled(bool enabled)
{
    for (QWidget* w :
         {static_cast<QWidget*>(AddFileToList_Cmb), static_cast<QWidget*>(SelAll_Cmd),
          static_cast<QWidget*>(DeSelAll_Cmd), static_cast<QWidget*>(InvSel_Cmd), static_cast<QWidget*>(Drive1),
          static_cast<QWidget*>(Dir1), static_cast<QWidget*>(File1), static_cast<QWidget*>(pattern_cmb),
          static_cast<QWidget*>(ShowPreviewChk), static_cast<QWidget*>(ShowPreviewLbl),
          static_cast<QWidget*>(Browse_cmd), static_cast<QWidget*>(SaveAsNewFilename_txt)})
        w->setEnabled(enabled);
}

void kivromainfrm::setMoreInfoEnabled(bool enabled)
{
    MoreInfo_Cmd->setEnabled(enabled);
}

void kivromainfrm::setPercentDoneCaption(const QString& caption)
{
    // A copy sets the caption after every block, so only a caption that changes is redrawn; the
    // copy's progress update draws it at once together with the bar and the time text.
    for (QLabel* label : {percentdone_lbl, percentdone_lbl_above96DPI}) {
        if (label->text() != caption)
            label->setText(caption);
    }
}

void kivromainfrm::setPercentDoneVisible(bool visible)
{
    percentdone_lbl->setVisible(visible);
    percentdone_lbl_above96DPI->setVisible(visible);
}

void kivromainfrm::setTimeRemainingCaption(const QString& caption)
{
    if (TimeRemainingLbl->text() != caption)
        TimeRemainingLbl->setText(caption);
}

void kivromainfrm::setTimeRemainingVisible(bool visible)
{
    TimeRemainingLbl->setVisible(visible);
}

} // namespace kivro
