// Adding files to the pack list: the browser's selection and the command-line hand-off.
#include "mainwindow/kivromainfrm.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/Tipfrm.h"
#include "engine/Registry.h"
#include "mainwindow/HandOff.h"
#include "mainwindow/MainGlobals.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/MsgBox.h"

namespace kivro {

void kivromainfrm::SetupHandOffTimer()
{
    ContextMenuShell_Timer = new QTimer(this);
    ContextMenuShell_Timer->setObjectName(QStringLiteral("ContextMenuShell_Timer"));
    ContextMenuShell_Timer->setSingleShot(true);
    ContextMenuShell_Timer->setInterval(1);
    connect(ContextMenuShell_Timer, &QTimer::timeout, this, [this] { ContextMenuShell_Timer_Timer(mHandOffCommand); });
}

void kivromainfrm::ArmContextMenuShellTimer(const QString& Command)
{
    if (mHandOffDone)
        return;
    mHandOffCommand = Command;
    ContextMenuShell_Timer->start();
}

void kivromainfrm::AddFileToList_Cmb_Click()
{
    if (filesel_lst.isEmpty()) {
        MsgBoxResult(QStringLiteral("Nothing to add."), vbExclamation | vbOKOnly | vbTopMost);
        return;
    }
    // gCurrentDir has no trailing "/" except at the root.
    const QString folder = gCurrentDir.endsWith(QLatin1Char('/')) ? gCurrentDir : gCurrentDir + QLatin1Char('/');
    Brovletfrm* packList = PackListForm();
    for (int i = 0; i < File1->ListCount(); ++i) {
        if (!File1->Selected(i))
            continue;
        const QString name = File1->List(i);
        m_packList.append(folder, name);
        packList->ApplyAddRule(name);
    }
}

void kivromainfrm::ShellCommandAddFiles(const QString& Command)
{
    // All items are collected first, then appended.
    const QStringList paths = HandOffPaths(Command);
    for (const QString& p : paths) {
        if (RefuseInvalidName(p))
            continue;
        const PackListEntry e = HandOffEntry(p);
        m_packList.append(e.folder, e.name);
    }
}

void kivromainfrm::ContextMenuShell_Timer_Timer(const QString& Command)
{
    // Once per program run: the dialog below runs its own event loop, in which nothing may
    // start the hand-off again.
    if (mHandOffDone)
        return;
    mHandOffDone = true;
    ContextMenuShell_Timer->stop();
    if (Command.isEmpty())
        return;

    ShellCommandAddFiles(Command);
    // Waits for the user; the timer is already stopped for good.
    Browse_cmd_Click();
    if (Registry::readSetting(Settings::ShowTod) != QLatin1String("0"))
        TipForm()->Show(this);
    PackListForm()->show();
}

} // namespace kivro
