// The main window's side of the MPEG information: the two labels, the pointer and the
// "More Info..." button as the MPEG routines of the engine set them.
#include "mainwindow/kivromainfrm.h"

namespace kivro {

void kivromainfrm::setMpegInfoVideoSize(const QString& text)
{
    MpegInfoVideoSize_Lbl->setText(text);
}

void kivromainfrm::setMpegInfoVideoRate(const QString& text)
{
    MpegInfoVideoRate_Lbl->setText(text);
}

} // namespace kivro
