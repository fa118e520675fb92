#pragma once
// What the custom size dialog, the copyright stamp editor and the file-type filter editor need
// of the main window: one narrow interface, which the main window implements and registers
// (tests register a small fake). The dialogs never include the main window.
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
};

// The registered host (null while none is registered).
DialogsHost* DialogsHostLink();
// Registers the host; null removes the registration.
void SetDialogsHost(DialogsHost* host);

} // namespace kivro
