#pragma once
// The main window as the dialogs and the preferences window see it, for the dialogs' tests:
// every call is recorded in `calls` ("check custom", "caption <text>", "fill <a|b|...>", a
// handler's own name, "SetZipCompress 1", ...); the file-type box also keeps what it was given
// (`typeBox`, `fills`). A folder chooser "chooses" the next queued folder of `folders` (an empty
// one, or none, cancels) and fills the preferences window as the real one does. The stamp lines
// are its own (a headless main window).
#include "HeadlessLink.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/DialogsHost.h"
#include "dialogs/PreferencesLink.h"
#include "dialogs/Preferencesfrm.h"
#include "engine/EngineGlobals.h"
#include "engine/File64.h"
#include "engine/PackListModel.h"

#include <QString>
#include <QStringList>

namespace kivrotest {

class FakeDialogsHost : public kivro::DialogsHost, public HeadlessLink {
public:
    QStringList calls;
    QStringList folders;
    QStringList typeBox;
    int fills = 0;
    kivro::PackListModel list;
    kivro::File64 file;

    kivro::PackListModel& packList() override { return list; }
    kivro::File64& file64() override { return file; }

    void CheckCustomSizeChk() override { calls << QStringLiteral("check custom"); }
    void setCustomSizeChkCaption(const QString& caption) override { calls << QStringLiteral("caption ") + caption; }
    kivro::MainWindowLink& StampLineOwner() override { return *this; }
    void FillFileTypeBox(const QStringList& displayForms) override
    {
        calls << QStringLiteral("fill ") + displayForms.join(QLatin1Char('|'));
        typeBox << displayForms;
        ++fills;
    }

    // Recorded under the handler's own name: its menu item's name with "_Click".
    void ChooseOption(const kivro::Settings::OptionGroup& group, int row) override
    {
        calls << QString(group.row(row).menuItem) + QStringLiteral("_Click");
    }

#define KIVRO_RECORD(name)                                                                                             \
    void name() override                                                                                               \
    {                                                                                                                  \
        calls << QStringLiteral(#name);                                                                                \
    }
    KIVRO_RECORD(ApplyUnpackCustomDir)
    KIVRO_RECORD(ApplySaveCustomDir)
    KIVRO_RECORD(ApplyStartupCustomDir)
#undef KIVRO_RECORD

    void UnpackCustomDirMnu_Click() override
    {
        choose("UnpackCustomDirMnu_Click", kivro::gUnpackCustomDir, &kivro::Preferencesfrm::setUnpackToCustom);
    }
    void SaveCustomDirMnu_Click() override
    {
        choose("SaveCustomDirMnu_Click", kivro::gSaveCustomDir, &kivro::Preferencesfrm::setSaveToCustom);
    }
    void StartupCustomDirMnu_Click() override
    {
        choose("StartupCustomDirMnu_Click", kivro::gStartupCustomDir, &kivro::Preferencesfrm::setStartupCustom);
    }
    void SetZipCompress(bool on) override
    {
        calls << QStringLiteral("SetZipCompress %1").arg(on);
    }
    void SetMpegCheck(bool on) override
    {
        calls << QStringLiteral("SetMpegCheck %1").arg(on);
    }
    void SetExplorerVerb(bool on) override
    {
        calls << QStringLiteral("SetExplorerVerb %1").arg(on);
    }

private:
    void choose(const char* name, QString& global, void (kivro::Preferencesfrm::*fill)(const QString&))
    {
        calls << QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(kivro::gCalledFromPreferences ? "for prefs" : "");
        const QString folder = folders.isEmpty() ? QString() : folders.takeFirst();
        if (folder.isEmpty())
            return;
        global = folder;
        (kivro::PreferencesWindow()->*fill)(QStringLiteral("Custom - ") + folder);
    }
};

} // namespace kivrotest
