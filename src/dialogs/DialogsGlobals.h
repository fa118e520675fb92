#pragma once
// The one-instance windows of the option dialogs and information windows: each is created on
// first use and kept until the program ends.
namespace kivro {

class Tipfrm;
class customfilesizefrm;
class copyrightstampingfrm;
class customfilefilterfrm;
class abtfrm;
class TechSupportDialog;
class Preferencesfrm;

// The tip of the day.
Tipfrm* TipForm();
// The preferences window (gPreferencesForm).
Preferencesfrm* PreferencesWindow();
// The custom unpack size dialog.
customfilesizefrm* CustomFileSizeForm();
// The copyright stamp editor.
copyrightstampingfrm* CopyrightStampForm();
// The custom file-type filter editor.
customfilefilterfrm* CustomFileFilterForm();
// The about box.
abtfrm* AboutForm();
// The technical support box.
TechSupportDialog* TechSupportForm();

} // namespace kivro
