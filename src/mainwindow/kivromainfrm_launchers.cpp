// The launchers of the main window: the Help popup's items, the web and mail pictures, and
// playing the file chosen in the browser.
#include "mainwindow/Launchers.h"

#include "mainwindow/MainGlobals.h"
#include "mainwindow/Skin.h"
#include "mainwindow/kivromainfrm.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"

namespace kivro {

namespace gototesmabas {

void PlaySelectedFile(kivromainfrm& form)
{
    if (form.filesel_lst.size() >= 2)
        MsgBoxResult(QStringLiteral("More than 1 file selected. Only last selected file will be played."),
                     vbInformation | vbOKOnly | vbTopMost);
    const QString name = form.File1->FileName();
    if (name.isEmpty())
        return; // an empty list has no entry to play
    OpenFileOrReportMissing(paths::joinPath(gCurrentDir, name));
}

void PlaySelectedFile()
{
    PlaySelectedFile(*MainForm());
}

} // namespace gototesmabas

void kivromainfrm::HelpTopicMnu_Click()
{
    gototesmabas::OpenHelpFile();
}

void kivromainfrm::GoToSiteMnu_Click()
{
    gototesmabas::GoToHomePage();
}

void kivromainfrm::KivroSiteMnu_Click()
{
    gototesmabas::GoToProductPage();
}

void kivromainfrm::KivroFAQMnu_Click()
{
    gototesmabas::GoToFAQPage();
}

void kivromainfrm::WebBrowserImg_Click()
{
    KivroSiteMnu_Click();
}

void kivromainfrm::EmailImg_Click()
{
    gototesmabas::SendMailTo(SupportMailAddress());
}

void kivromainfrm::WebBrowserImg_MouseMove(float X, float Y, float Width, float Height)
{
    if (RoundButton(X, Y, Width, Height) && mousePointer() != kPointerHourglass)
        setMousePointer(kPointerHand);
}

void kivromainfrm::EmailImg_MouseMove(float X, float Y, float Width, float Height)
{
    if (RoundButton(X, Y, Width, Height) && mousePointer() != kPointerHourglass)
        setMousePointer(kPointerHand);
}

} // namespace kivro
