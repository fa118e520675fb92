#pragma once
// What the preferences window needs of the main window: the folder choosers it runs on its own
// behalf, the option handlers its OK calls, the custom choices OK applies itself (check marks,
// stored values, the save-as box), the caption of the custom size item and the file-type box.
// The main window implements it and sets gPreferencesHost; the window never includes the main
// window.
#include <QString>
#include <QStringList>

namespace kivro {

class PreferencesHost {
public:
    virtual ~PreferencesHost() = default;

    // --- folder choosers (they fill the preferences window while gCalledFromPreferences is set)
    virtual void UnpackCustomDirMnu_Click() = 0;
    virtual void SaveCustomDirMnu_Click() = 0;
    virtual void StartupCustomDirMnu_Click() = 0;

    // --- option handlers: each checks its item, unchecks its siblings, sets its variables and
    // stores its value.
    virtual void UnpackRAWMnu_Click() = 0;
    virtual void UnpackEMHMnu_Click() = 0;
    virtual void UnpackSaveFileMnu_Click() = 0;
    virtual void UnpackWhereFileDirMnu_Click() = 0;
    virtual void SmallFloppySizeChk_Click() = 0;
    virtual void LowFloppySizeChk_Click() = 0;
    virtual void HighFloppySizeChk_Click() = 0;
    virtual void ZipSizeChk_Click() = 0;
    virtual void SlowSpeedChk_Click() = 0;
    virtual void NormalSpeedChk_Click() = 0;
    virtual void FastSpeedChk_Click() = 0;
    virtual void UltraSpeedChk_Click() = 0;
    virtual void DelNoMnu_Click() = 0;
    virtual void DelPromptMnu_Click() = 0;
    virtual void DelNoPromptMnu_Click() = 0;
    virtual void CreateJoinBatNoMnu_Click() = 0;
    virtual void CreateJoinBatMnu_Click() = 0;
    virtual void CreateJoinBatwExtraInfoMnu_Click() = 0;
    virtual void LastSavedDirMnu_Click() = 0;
    virtual void StartupLastUsedDirMnu_Click() = 0;
    virtual void OverwriteNoMnu_Click() = 0;
    virtual void OverwritePromptMnu_Click() = 0;
    virtual void OverwriteNoPromptMnu_Click() = 0;

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

    // The caption of CustomSizeChk.
    virtual void setCustomSizeChkCaption(const QString& caption) = 0;
    // Refills pattern_cmb with these display forms, entry 0 chosen and applied.
    virtual void FillFileTypeBox(const QStringList& displayForms) = 0;
};

// The main window as the preferences window sees it; null while there is none.
extern PreferencesHost* gPreferencesHost;

} // namespace kivro
