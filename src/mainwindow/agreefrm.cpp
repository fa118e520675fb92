#include "mainwindow/agreefrm.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/Tipfrm.h"
#include "engine/Registry.h"
#include "mainwindow/MainGlobals.h"
#include "mainwindow/StartupLinks.h"
#include "mainwindow/kivromainfrm.h"
#include "mainwindow/mMain.h"
#include "platform/Globals.h"
#include "platform/Icon32bit.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"

namespace kivro {

agreefrm* AgreeForm()
{
    static agreefrm* form = nullptr;
    if (!form)
        form = new agreefrm();
    return form;
}

agreefrm::agreefrm(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("agreefrm"));
    gStartupPictures = this;
}

agreefrm::~agreefrm()
{
    if (gStartupPictures == this)
        gStartupPictures = nullptr;
}

void agreefrm::Form_Load()
{
    Icon32bit::SetFormIcons(this, QStringLiteral("AAA"), true);
    QApplication::setWindowIcon(Icon32bit::LoadIconGroup(QStringLiteral("AAA")));

    switch (mMain::TakeSingleInstanceLock()) {
    case mMain::SingleInstance::Taken:
        break;
    case mMain::SingleInstance::HeldElsewhere:
        MsgBoxResult(QStringLiteral("This program is already running!"), vbExclamation | vbOKOnly | vbTopMost,
                     kAppTitle);
        mMain::EndProcess(0);
        return;
    case mMain::SingleInstance::UnsafeFolder:
        MsgBoxResult(
            paths::unsafeRuntimeFolderText(paths::runtimeDir(), QStringLiteral("Tesma Kivro Pro cannot run safely.")),
            vbCritical | vbOKOnly | vbTopMost, kAppTitle);
        mMain::EndProcess(1);
        return;
    }

    gAppPath = mMain::ProgramFolder(paths::programDir());
    // Qt scales to the screen itself: the program's logical dpi is always 96.
    gDpiScale = mMain::DpiScaleFromText(QStringLiteral("96"));
    gSkinCaptionAdjust = 0;

    ShowStartupWindows();
}

void agreefrm::ShowStartupWindows()
{
    kivromainfrm* main = MainForm();
    main->show();
    MainWindowShown = true;

    if (Registry::readSetting(Settings::ShowTod) != QLatin1String("0"))
        TipForm()->Show(main);

    startup::ShowPackListWindowAtStart(main);

    LoadAboutBoxIcons();

    startup::ArmCommandLineHandOff(main);
}

void agreefrm::LoadAboutBoxIcons()
{
    PicIconBackColor = palette().color(QPalette::Window);
    if (!LoadOpenFileICO(paths::joinPath(gAppPath, QStringLiteral("KivroPro.ir"))))
        return;
    PicIcon2 = picTemp[1];
    if (LoadOpenFileICO(paths::joinPath(gAppPath, QStringLiteral("Amail.ir"))))
        PicIcon3 = picTemp[1];
}

} // namespace kivro
