#pragma once
// What the dialogs need of the main window: the custom size dialog, the copyright stamp editor,
// the file-type filter editor and the preferences window (the folder choosers it runs on its own
// behalf, the option handlers its OK calls, the custom choices OK applies itself). One narrow
// interface, which the main window implements and sets as gDialogsHost (engine/MainWindowHosts.h;
// tests set a fake). The dialogs never include the main window.
#include "engine/SettingNames.h"

#include <QString>
#include <QStringList>

namespace kivro {

class MainWindowLink;

class DialogsHost {
public:
    virtual ~DialogsHost() = default;

    // --- size menu ----------------------------------------------------------------------------
    // Unchecks SmallFloppySizeChk, LowFloppySizeChk, HighFloppySizeChk and ZipSizeChk, in this
    // order, and checks CustomSizeChk.
    virtual void CheckCustomSizeChk() = 0;
    // The caption of CustomSizeChk ("1,440K (Custom...)", "50% (Custom...)", ...).
    virtual void setCustomSizeChkCaption(const QString& caption) = 0;

    // --- copyright stamp ----------------------------------------------------------------------
    // The window whose CopyrightStamping_lst holds the join batch file's stamp lines.
    virtual MainWindowLink& StampLineOwner() = 0;

    // --- file-type box ------------------------------------------------------------------------
    // Refills pattern_cmb with these display forms, selects its entry 0 by code and runs
    // pattern_cmb_Click once (the first filter applied to File1, its first file selected).
    virtual void FillFileTypeBox(const QStringList& displayForms) = 0;

    // --- the preferences window's folder choosers (they fill the preferences window while
    // gCalledFromPreferences is set)
    virtual void UnpackCustomDirMnu_Click() = 0;
    virtual void SaveCustomDirMnu_Click() = 0;
    virtual void StartupCustomDirMnu_Click() = 0;

    // --- option handlers: the row's item checked, its siblings unchecked, the row's value set
    // and its text stored (the handler of the row's menu item).
    virtual void ChooseOption(const Settings::OptionGroup& group, int row) = 0;

    // --- the custom choices, applied with the folder the global holds -------------------------
    // UnpackCustomDirMnu checked, its siblings unchecked, sDir "custom", UnpackCustomDir.
    virtual void ApplyUnpackCustomDir() = 0;
    // SaveCustomDirMnu checked, LastSavedDirMnu unchecked, SaveTo "Custom", SaveCustomDir, and
    // the save-as box set to the folder joined with "default.mpg".
    virtual void ApplySaveCustomDir() = 0;
    // StartupCustomDirMnu checked, StartupLastUsedDirMnu unchecked, StartupOpt "Custom",
    // StartupCustomDir.
    virtual void ApplyStartupCustomDir() = 0;
    // The switches set (not toggled): the item's mark and "MZip" / "MCC" "On" or "Off".
    virtual void SetZipCompress(bool on) = 0;
    virtual void SetMpegCheck(bool on) = 0;
    // The file-manager verb set on or off as its menu item does (AddContextMenuMnu, CKivro).
    virtual void SetExplorerVerb(bool on) = 0;
};

} // namespace kivro
