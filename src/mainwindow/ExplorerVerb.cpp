#include "mainwindow/ExplorerVerb.h"

#include "engine/Registry.h"
#include "platform/FileManagerVerb.h"
#include "platform/Globals.h"
#include "platform/MsgBox.h"

#include <QAction>

namespace kivro::ExplorerVerb {

namespace {

void writeChoice(const QString& text)
{
    Registry::writeSetting(Settings::CKivro, text);
}

void switchOff(QAction& item)
{
    item.setChecked(false);
    writeChoice(QStringLiteral("Off"));
    FileManagerVerb::Remove();
}

} // namespace

void AddContextMenuMnu_Click(QAction& AddContextMenuMnu)
{
    SetChoice(AddContextMenuMnu, !AddContextMenuMnu.isChecked());
}

void SetChoice(QAction& AddContextMenuMnu, bool on)
{
    if (!on) {
        switchOff(AddContextMenuMnu);
        return;
    }
    if (FileManagerVerb::Install(gAppPath)) {
        AddContextMenuMnu.setChecked(true);
        writeChoice(QStringLiteral("On"));
        return;
    }
    // Half an entry is no entry: what could be written goes again, so the menu, the setting
    // and the file managers agree that the verb is off.
    FileManagerVerb::Remove();
    AddContextMenuMnu.setChecked(false);
    writeChoice(QStringLiteral("Off"));
    MsgBoxResult(kVerbNotWrittenText, vbExclamation | vbOKOnly | vbTopMost, kAppTitle);
}

void ApplyStoredChoice(QAction& AddContextMenuMnu)
{
    const QString stored = Registry::readSetting(Settings::CKivro);
    if (stored == QLatin1String("On")) {
        AddContextMenuMnu.setChecked(true);
        writeChoice(QStringLiteral("On"));
        // Rewritten at every start, so the entries follow the program when it moves.
        FileManagerVerb::Install(gAppPath);
        return;
    }
    switchOff(AddContextMenuMnu);
}

} // namespace kivro::ExplorerVerb
