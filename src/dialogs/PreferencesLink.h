#pragma once
// What the main window's folder choosers need of the preferences window while they work on its
// behalf: the window that owns their dialog and its fields for a custom folder. The preferences
// window implements this interface and the main window registers it; while nothing is registered
// (tests of a single window) the choosers and editors work for the main window only.
#include "engine/CustomSize.h"

#include <QString>

#include <cstdint>

class QWidget;

namespace kivro {

// Set by the preferences window while a folder chooser or the custom size dialog works on its
// behalf; the choosers then fill the preferences window's fields instead of changing the menus
// and the settings.
extern bool gCalledFromPreferences;

class PreferencesLink {
public:
    virtual ~PreferencesLink() = default;

    // The window that owns the save and start-up folder dialogs run on its behalf.
    virtual QWidget* folderDialogOwner() = 0;

    // The text "Custom - <folder>" for the value box and the combo's custom entry:
    // SaveToTxt and entry 0 of SaveToCmb; StartupTxt and entry 0 of StartupCmb; UnpackToTxt and
    // entry 2 of UnpackToCmb.
    virtual void setSaveToCustom(const QString& text) = 0;
    virtual void setStartupCustom(const QString& text) = 0;
    virtual void setUnpackToCustom(const QString& text) = 0;

    // The custom size dialog's accepted choice, for the pending copy: the mode, its number (K for
    // the three size modes) and the text of entry 4 of UnpackSizeCmb (and of UnpackSizeTxt).
    virtual void setPendingCustomSize(CustomSizeMode mode, std::int32_t number, const QString& text) = 0;

    // The stored number of file-type filters for the count box NoOfCustomFilterTxt, after the
    // filter editor has stored its list.
    virtual void setNoOfCustomFilterTxt(const QString& count) = 0;
};

// The preferences window, created on first use by gPreferencesFormFactory
// (engine/MainWindowHosts.h); null while there is no factory.
PreferencesLink* PreferencesForm();

} // namespace kivro
