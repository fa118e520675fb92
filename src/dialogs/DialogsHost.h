#pragma once
// What the custom size dialog and the copyright stamp editor need of the main window: one narrow
// interface, which the main window implements and registers (tests register a small fake). The
// dialogs never include the main window.
#include <QString>

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
};

// The registered host (null while none is registered).
DialogsHost* DialogsHostLink();
// Registers the host; null removes the registration.
void SetDialogsHost(DialogsHost* host);

} // namespace kivro
