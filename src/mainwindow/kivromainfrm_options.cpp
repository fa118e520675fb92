// The option menus: every user setting is the checked item of a menu group on this window. A
// handler checks its item, unchecks its siblings, sets the variable of the setting and writes its
// settings value at once, so the menu, the variable and the stored value never disagree.
#include "mainwindow/kivromainfrm.h"

#include "dialogs/PreferencesLink.h"
#include "engine/EngineGlobals.h"
#include "engine/Registry.h"
#include "engine/StringHelpers.h"
#include "mainwindow/ExplorerVerb.h"
#include "platform/FileDialogs.h"
#include "platform/Paths.h"

#include <QAction>
#include <QSignalBlocker>

namespace kivro {

namespace {

using Registry::writeSetting;

// The width the folder in a chooser's title is shortened to, in twips.
constexpr std::int32_t kChooserTitleWidth = 4600;

} // namespace

// --- building the menus ---------------------------------------------------------------------

void kivromainfrm::SetupOptionMenus()
{
    OptMnu = optionSubMenu(nullptr, QStringLiteral("&Options"), "OptMnu");
    PrefMnu = optionSubMenu(OptMnu, QStringLiteral("Pre&ferences..."), "PrefMnu");
    GeneralMnu = optionItem(PrefMnu, QStringLiteral("&General..."), "GeneralMnu", Plain, nullptr,
                            QKeySequence(Qt::CTRL | Qt::Key_K));
    UnpackTypeMnu = optionSubMenu(PrefMnu, QStringLiteral("Unpack Ty&pe"), "UnpackTypeMnu", SeparatorBefore);
    UnpackRAWMnu = optionItem(UnpackTypeMnu, QStringLiteral("Unpack (&RAW)"), "UnpackRAWMnu", Checked,
                              &kivromainfrm::UnpackRAWMnu_Click);
    UnpackEMHMnu = optionItem(UnpackTypeMnu, QStringLiteral("Unpack (&EMH)"), "UnpackEMHMnu", Checkable,
                              &kivromainfrm::UnpackEMHMnu_Click);
    UnpackToMnu = optionSubMenu(PrefMnu, QStringLiteral("Unpack &To"), "UnpackToMnu");
    UnpackSaveFileMnu = optionItem(UnpackToMnu, QStringLiteral("&Save File"), "UnpackSaveFileMnu", Checked,
                                   &kivromainfrm::UnpackSaveFileMnu_Click);
    UnpackWhereFileDirMnu = optionItem(UnpackToMnu, QStringLiteral("Where &File Is"), "UnpackWhereFileDirMnu",
                                       Checkable, &kivromainfrm::UnpackWhereFileDirMnu_Click);
    UnpackCustomDirMnu = optionItem(UnpackToMnu, QStringLiteral("&Custom Directory..."), "UnpackCustomDirMnu",
                                    Checkable, &kivromainfrm::UnpackCustomDirMnu_Click);
    SizeMnu = optionSubMenu(PrefMnu, QStringLiteral("Unpack &Size"), "SizeMnu");
    SmallFloppySizeChk = optionItem(SizeMnu, QStringLiteral("360K"), "SmallFloppySizeChk", Checkable,
                                    &kivromainfrm::SmallFloppySizeChk_Click);
    LowFloppySizeChk = optionItem(SizeMnu, QStringLiteral("1,200K"), "LowFloppySizeChk", Checkable,
                                  &kivromainfrm::LowFloppySizeChk_Click);
    HighFloppySizeChk = optionItem(SizeMnu, QStringLiteral("1,440K"), "HighFloppySizeChk", Checked,
                                   &kivromainfrm::HighFloppySizeChk_Click);
    ZipSizeChk = optionItem(SizeMnu, QStringLiteral("Zip 100"), "ZipSizeChk", Checkable,
                            &kivromainfrm::ZipSizeChk_Click);
    CustomSizeChk = optionItem(SizeMnu, QStringLiteral("1,440K (Custom...)"), "CustomSizeChk", Checkable, nullptr);
    SaveMnu = optionSubMenu(PrefMnu, QStringLiteral("Sa&ve"), "SaveMnu", SeparatorBefore);
    SaveToMnu = optionSubMenu(SaveMnu, QStringLiteral("Save &To"), "SaveToMnu");
    SaveCustomDirMnu = optionItem(SaveToMnu, QStringLiteral("&Custom Directory..."), "SaveCustomDirMnu", Checkable,
                                  &kivromainfrm::SaveCustomDirMnu_Click);
    LastSavedDirMnu = optionItem(SaveToMnu, QStringLiteral("Last &Saved Directory"), "LastSavedDirMnu", Checkable,
                                 &kivromainfrm::LastSavedDirMnu_Click);
    OverwriteMnu = optionSubMenu(SaveMnu, QStringLiteral("&Overwrite"), "OverwriteMnu");
    OverwriteNoMnu = optionItem(OverwriteMnu, QStringLiteral("&Don't Overwrite Saved File"), "OverwriteNoMnu",
                                Checkable, &kivromainfrm::OverwriteNoMnu_Click);
    OverwritePromptMnu = optionItem(OverwriteMnu, QStringLiteral("&Ask Before Overwrite Saved File"),
                                    "OverwritePromptMnu", Checkable, &kivromainfrm::OverwritePromptMnu_Click);
    OverwriteNoPromptMnu = optionItem(OverwriteMnu, QStringLiteral("Do&n't Ask Before Overwrite Saved File"),
                                      "OverwriteNoPromptMnu", Checkable, &kivromainfrm::OverwriteNoPromptMnu_Click);
    StartupMnu = optionSubMenu(PrefMnu, QStringLiteral("Startup"), "StartupMnu");
    StartupCustomDirMnu = optionItem(StartupMnu, QStringLiteral("&Custom Directory..."), "StartupCustomDirMnu",
                                     Checkable, &kivromainfrm::StartupCustomDirMnu_Click);
    StartupLastUsedDirMnu = optionItem(StartupMnu, QStringLiteral("Last &Used Directory"), "StartupLastUsedDirMnu",
                                       Checkable, &kivromainfrm::StartupLastUsedDirMnu_Click);
    Spdmnu = optionSubMenu(PrefMnu, QStringLiteral("Transfer &Rate"), "Spdmnu", SeparatorBefore);
    SlowSpeedChk = optionItem(Spdmnu, QStringLiteral("&Slow"), "SlowSpeedChk", Checkable,
                              &kivromainfrm::SlowSpeedChk_Click);
    NormalSpeedChk = optionItem(Spdmnu, QStringLiteral("&Normal"), "NormalSpeedChk", Checked,
                                &kivromainfrm::NormalSpeedChk_Click);
    FastSpeedChk = optionItem(Spdmnu, QStringLiteral("&Fast"), "FastSpeedChk", Checkable,
                              &kivromainfrm::FastSpeedChk_Click);
    UltraSpeedChk = optionItem(Spdmnu, QStringLiteral("&Ultra Fast"), "UltraSpeedChk", Checkable,
                               &kivromainfrm::UltraSpeedChk_Click);
    DelAfterActionMnu = optionSubMenu(PrefMnu, QStringLiteral("&Delete After Action"), "DelAfterActionMnu",
                                      SeparatorBefore);
    DelNoMnu = optionItem(DelAfterActionMnu, QStringLiteral("&Don't Delete"), "DelNoMnu", Checked,
                          &kivromainfrm::DelNoMnu_Click);
    DelPromptMnu = optionItem(DelAfterActionMnu, QStringLiteral("&Ask Before Sending To Recycle Bin"), "DelPromptMnu",
                              Checkable, &kivromainfrm::DelPromptMnu_Click);
    DelNoPromptMnu = optionItem(DelAfterActionMnu, QStringLiteral("Do&n't Ask Before Sending To Recycle Bin"),
                                "DelNoPromptMnu", Checkable, &kivromainfrm::DelNoPromptMnu_Click);
    JoinBatMnu = optionSubMenu(PrefMnu, QStringLiteral("&Join.bat"), "JoinBatMnu");
    CreateJoinBatNoMnu = optionItem(JoinBatMnu, QStringLiteral("&Don't Create Join.bat"), "CreateJoinBatNoMnu", Checked,
                                    &kivromainfrm::CreateJoinBatNoMnu_Click);
    CreateJoinBatMnu = optionItem(JoinBatMnu, QStringLiteral("Create &Join.bat"), "CreateJoinBatMnu", Checkable,
                                  &kivromainfrm::CreateJoinBatMnu_Click);
    CreateJoinBatwExtraInfoMnu = optionItem(JoinBatMnu, QStringLiteral("Create Join.bat w/ &Extra Info"),
                                            "CreateJoinBatwExtraInfoMnu", Checkable,
                                            &kivromainfrm::CreateJoinBatwExtraInfoMnu_Click);
    CopyrightStampingMnu = optionItem(JoinBatMnu, QStringLiteral("Copyright Stamping..."), "CopyrightStampingMnu",
                                      SeparatorBefore, nullptr);
    ZipCompressMnu = optionItem(PrefMnu, QStringLiteral("&Zip Compression"), "ZipCompressMnu",
                                Checkable | SeparatorBefore, &kivromainfrm::ZipCompressMnu_Click);
    MCheckMnu = optionItem(PrefMnu, QStringLiteral("&MPEG Compatibility"), "MCheckMnu", Checked,
                           &kivromainfrm::MCheckMnu_Click);
    OtherMnu = optionSubMenu(PrefMnu, QStringLiteral("Miscella&neous"), "OtherMnu", SeparatorBefore);
    AddContextMenuMnu = optionItem(OtherMnu, QStringLiteral("Show \"Pack It...\" in &Explorer"), "AddContextMenuMnu",
                                   Checkable, &kivromainfrm::AddContextMenuMnu_Click);
    FileTypeMnu = optionItem(PrefMnu, QStringLiteral("Custom FileT&ype..."), "FileTypeMnu", SeparatorBefore, nullptr);
    ShowBrovletMnu = optionItem(OptMnu, QStringLiteral("Show Pack List"), "ShowBrovletMnu", Checked | SeparatorBefore,
                                nullptr);
    MagnetMnu = optionItem(OptMnu, QStringLiteral("Magnet"), "MagnetMnu", Checkable | SeparatorBefore,
                           &kivromainfrm::MagnetMnu_Click);
    MagnetiseMnu = optionItem(OptMnu, QStringLiteral("&Magnetise"), "MagnetiseMnu", Plain,
                              &kivromainfrm::MagnetiseMnu_Click);
}

QMenu* kivromainfrm::optionSubMenu(QMenu* parent, const QString& caption, const char* name, int flags)
{
    auto* menu = new QMenu(caption, this);
    menu->setObjectName(QLatin1String(name));
    if (parent) {
        if (flags & SeparatorBefore)
            parent->addSeparator();
        parent->addMenu(menu);
    }
    return menu;
}

QAction* kivromainfrm::optionItem(QMenu* parent, const QString& caption, const char* name, int flags,
                                  MenuHandler handler, const QKeySequence& shownKey)
{
    if (flags & SeparatorBefore)
        parent->addSeparator();
    QAction* item = parent->addAction(caption);
    item->setObjectName(QLatin1String(name));
    mOptionItems.insert(item->objectName(), item);
    const bool checkable = (flags & Checkable) != 0;
    item->setCheckable(checkable);
    item->setChecked((flags & Checked) == Checked);
    if (!shownKey.isEmpty()) {
        // Reachable only while the menu itself has the focus, which a popup never takes.
        item->setShortcut(shownKey);
        item->setShortcutContext(Qt::WidgetShortcut);
        item->setShortcutVisibleInContextMenu(true);
    }
    connect(item, &QAction::triggered, this, [this, item, checkable, handler](bool checked) {
        // A checkable action has already flipped its mark; put it back so the handler sees the
        // item as the user saw it and decides every mark itself.
        if (checkable) {
            const QSignalBlocker block(item);
            item->setChecked(!checked);
        }
        if (handler)
            (this->*handler)();
    });
    return item;
}

// --- what the actions read ------------------------------------------------------------------

ActionOptions kivromainfrm::actionOptions() const
{
    ActionOptions o;
    o.blockSize = mBlockSize;
    o.blockDigits = mBlockDigits;
    o.mpegCheck = MCheckMnu->isChecked();
    // Until a choice is applied (the group starts with no mark) the stored default, asking, holds.
    if (OverwritePromptMnu->isChecked())
        o.overwrite = OverwriteRule::Prompt;
    else if (OverwriteNoMnu->isChecked())
        o.overwrite = OverwriteRule::No;
    else if (OverwriteNoPromptMnu->isChecked())
        o.overwrite = OverwriteRule::NoPrompt;
    else
        o.overwrite = OverwriteRule::Prompt;
    o.zip = ZipCompressMnu->isChecked();
    o.unpackType = UnpackEMHMnu->isChecked() ? UnpackType::EMH : UnpackType::RAW;
    if (UnpackCustomDirMnu->isChecked())
        o.unpackTarget = UnpackTarget::Custom;
    else if (UnpackWhereFileDirMnu->isChecked())
        o.unpackTarget = UnpackTarget::WhereFile;
    else
        o.unpackTarget = UnpackTarget::SaveFile;
    if (CreateJoinBatMnu->isChecked())
        o.joinBatch = JoinBatch::Plain;
    else if (CreateJoinBatwExtraInfoMnu->isChecked())
        o.joinBatch = JoinBatch::WithInfo;
    else
        o.joinBatch = JoinBatch::None;
    o.saveAsFile = SaveAsNewFilename_txt->text();
    return o;
}

DeleteAfterAction kivromainfrm::deleteAfterAction() const
{
    // Nothing goes to the Trash unless one of the two deleting items is checked.
    if (DelNoMnu->isChecked())
        return DeleteAfterAction::No;
    if (DelNoPromptMnu->isChecked())
        return DeleteAfterAction::NoPrompt;
    if (DelPromptMnu->isChecked())
        return DeleteAfterAction::Prompt;
    return DeleteAfterAction::No;
}

// --- option groups ----------------------------------------------------------------------------

namespace {
void setFixedPieceSize(std::int64_t bytes)
{
    gUnpackSize = bytes;
    gSplitModeSize = false;
    gSplitModeFiles = false;
    gSplitModePercent = false;
    gSplitModeFirst = false;
    gSplitModeLast = false;
}
} // namespace

QAction* kivromainfrm::optionAction(QLatin1String name) const
{
    return mOptionItems.value(QString(name));
}

void kivromainfrm::markOption(const Settings::OptionGroup& group, int row)
{
    for (int i = 0; i < group.count(); ++i)
        optionAction(group.row(i).menuItem)->setChecked(i == row);
}

void kivromainfrm::ChooseOption(const Settings::OptionGroup& group, int row)
{
    markOption(group, row);
    const Settings::OptionRow& chosen = group.row(row);
    switch (group.sets) {
    case Settings::OptionValue::BlockSize:
        mBlockDigits = chosen.digits;
        mBlockSize = std::int32_t(chosen.value);
        break;
    case Settings::OptionValue::PieceSize:
        setFixedPieceSize(chosen.value);
        break;
    case Settings::OptionValue::None:
        break;
    }
    writeSetting(*group.setting, chosen.text);
}

void kivromainfrm::SlowSpeedChk_Click()
{
    ChooseOption(Settings::RateOptions, 0);
}

void kivromainfrm::NormalSpeedChk_Click()
{
    ChooseOption(Settings::RateOptions, 1);
}

void kivromainfrm::FastSpeedChk_Click()
{
    ChooseOption(Settings::RateOptions, 2);
}

void kivromainfrm::UltraSpeedChk_Click()
{
    ChooseOption(Settings::RateOptions, 3);
}

void kivromainfrm::SmallFloppySizeChk_Click()
{
    ChooseOption(Settings::SizeOptions, 0);
}

void kivromainfrm::LowFloppySizeChk_Click()
{
    ChooseOption(Settings::SizeOptions, 1);
}

void kivromainfrm::HighFloppySizeChk_Click()
{
    ChooseOption(Settings::SizeOptions, 2);
}

void kivromainfrm::ZipSizeChk_Click()
{
    ChooseOption(Settings::SizeOptions, 3);
}

// The custom size dialog moves the check mark here, whoever opened it.
void kivromainfrm::CheckCustomSizeChk()
{
    markOption(Settings::SizeOptions, Settings::kSizeCustomRow);
}

void kivromainfrm::setCustomSizeChkCaption(const QString& caption)
{
    CustomSizeChk->setText(caption);
}

void kivromainfrm::UnpackRAWMnu_Click()
{
    ChooseOption(Settings::UnpackTypeOptions, 0);
}

void kivromainfrm::UnpackEMHMnu_Click()
{
    ChooseOption(Settings::UnpackTypeOptions, 1);
}

void kivromainfrm::UnpackSaveFileMnu_Click()
{
    ChooseOption(Settings::UnpackToOptions, 0);
}

void kivromainfrm::UnpackWhereFileDirMnu_Click()
{
    ChooseOption(Settings::UnpackToOptions, 1);
}

void kivromainfrm::LastSavedDirMnu_Click()
{
    // The save-as box keeps its text; the next start proposes the last saved folder.
    ChooseOption(Settings::SaveToOptions, 1);
}

void kivromainfrm::StartupLastUsedDirMnu_Click()
{
    ChooseOption(Settings::StartupOptions, 1);
}

void kivromainfrm::OverwriteNoMnu_Click()
{
    ChooseOption(Settings::OverwriteOptions, 0);
}

void kivromainfrm::OverwritePromptMnu_Click()
{
    ChooseOption(Settings::OverwriteOptions, 1);
}

void kivromainfrm::OverwriteNoPromptMnu_Click()
{
    ChooseOption(Settings::OverwriteOptions, 2);
}

void kivromainfrm::DelNoMnu_Click()
{
    ChooseOption(Settings::DeleteOptions, 0);
}

void kivromainfrm::DelPromptMnu_Click()
{
    ChooseOption(Settings::DeleteOptions, 1);
}

void kivromainfrm::DelNoPromptMnu_Click()
{
    ChooseOption(Settings::DeleteOptions, 2);
}

void kivromainfrm::CreateJoinBatNoMnu_Click()
{
    ChooseOption(Settings::JoinBatchOptions, 0);
}

void kivromainfrm::CreateJoinBatMnu_Click()
{
    ChooseOption(Settings::JoinBatchOptions, 1);
}

void kivromainfrm::CreateJoinBatwExtraInfoMnu_Click()
{
    ChooseOption(Settings::JoinBatchOptions, 2);
}

// --- toggles ----------------------------------------------------------------------------------

namespace {
// A switch set to a value: its mark and its stored "On" or "Off".
void setSwitch(QAction* item, const Settings::StoredSetting& setting, bool on)
{
    item->setChecked(on);
    writeSetting(setting, on ? QStringLiteral("On") : QStringLiteral("Off"));
}
} // namespace

void kivromainfrm::SetZipCompress(bool on)
{
    setSwitch(ZipCompressMnu, Settings::MZip, on);
}

void kivromainfrm::SetMpegCheck(bool on)
{
    setSwitch(MCheckMnu, Settings::MCC, on);
}

void kivromainfrm::ZipCompressMnu_Click()
{
    SetZipCompress(!ZipCompressMnu->isChecked());
}

void kivromainfrm::MCheckMnu_Click()
{
    SetMpegCheck(!MCheckMnu->isChecked());
}

void kivromainfrm::MagnetMnu_Click()
{
    // Switching the magnet off leaves a docked pack-list window where it is.
    const bool on = !MagnetMnu->isChecked();
    setSwitch(MagnetMnu, Settings::Magnet, on);
    if (on)
        DockPackListWindow();
}

void kivromainfrm::MagnetiseMnu_Click()
{
    // Docks whatever the magnet setting says; checks and writes nothing.
    DockPackListWindow();
}

void kivromainfrm::AddContextMenuMnu_Click()
{
    // The verb switch owns the check mark and "CKivro": switching on succeeds only when the
    // file-manager entries were written.
    ExplorerVerb::AddContextMenuMnu_Click(*AddContextMenuMnu);
}

void kivromainfrm::SetExplorerVerb(bool on)
{
    ExplorerVerb::SetChoice(*AddContextMenuMnu, on);
}

void kivromainfrm::DockPackListWindow()
{
    MagnetisePackList();
}

// --- folder choosers ------------------------------------------------------------------------

std::optional<QString> kivromainfrm::chooseCustomFolder(const QString& titleText, const QString& current,
                                                        QWidget* owner)
{
    // Only the title shows the folder shortened; the stored folder keeps its full text.
    QString shown;
    FormatDir(current, shown, kChooserTitleWidth);
    win::BROWSEINFO bi;
    bi.hwndOwner = owner;
    bi.lpszTitle = titleText + shown;
    bi.ulFlags = win::BIF_RETURNONLYFSDIRS | win::BIF_DONTGOBELOWDOMAIN;
    std::optional<QString> folder = win::SHBrowseForFolder(bi);
    if (!folder)
        return std::nullopt;
    // One trailing "/" goes; the root stays "/".
    if (folder->size() > 1 && folder->endsWith(QLatin1Char('/')))
        folder->chop(1);
    return folder;
}

void kivromainfrm::runFolderChooser(const QString& titleText, QString& folder, bool ownedByPreferences,
                                    void (PreferencesLink::*fill)(const QString&), void (kivromainfrm::*apply)())
{
    QWidget* owner = this;
    PreferencesLink* preferences = gCalledFromPreferences ? PreferencesForm() : nullptr;
    if (preferences && ownedByPreferences && preferences->folderDialogOwner())
        owner = preferences->folderDialogOwner();
    const std::optional<QString> chosen = chooseCustomFolder(titleText, folder, owner);
    if (!chosen)
        return;
    folder = *chosen;
    if (gCalledFromPreferences) {
        // The preferences window shows the choice; its OK applies it.
        if (preferences)
            (preferences->*fill)(QStringLiteral("Custom - ") + folder);
        return;
    }
    (this->*apply)();
}

void kivromainfrm::SaveCustomDirMnu_Click()
{
    runFolderChooser(QStringLiteral("Save As Directory: "), gSaveCustomDir, true, &PreferencesLink::setSaveToCustom,
                     &kivromainfrm::applySaveCustomDirFromMenu);
}

void kivromainfrm::StartupCustomDirMnu_Click()
{
    runFolderChooser(QStringLiteral("Startup Directory: "), gStartupCustomDir, true, &PreferencesLink::setStartupCustom,
                     &kivromainfrm::ApplyStartupCustomDir);
}

void kivromainfrm::UnpackCustomDirMnu_Click()
{
    // The unpack-to dialog is always owned by the main window.
    runFolderChooser(QStringLiteral("Unpack To Directory: "), gUnpackCustomDir, false,
                     &PreferencesLink::setUnpackToCustom, &kivromainfrm::ApplyUnpackCustomDir);
}

void kivromainfrm::ApplySaveCustomDir()
{
    ChooseOption(Settings::SaveToOptions, Settings::kSaveToCustomRow);
    SaveAsNewFilename_txt->setText(paths::joinPath(gSaveCustomDir, QStringLiteral("default.mpg")));
    writeSetting(Settings::SaveCustomDir, gSaveCustomDir);
}

void kivromainfrm::applySaveCustomDirFromMenu()
{
    ChooseOption(Settings::SaveToOptions, Settings::kSaveToCustomRow);
    writeSetting(Settings::SaveCustomDir, gSaveCustomDir);
    SaveAsNewFilename_txt->setText(paths::joinPath(gSaveCustomDir, QStringLiteral("default.mpg")));
}

void kivromainfrm::ApplyStartupCustomDir()
{
    ChooseOption(Settings::StartupOptions, Settings::kStartupCustomRow);
    writeSetting(Settings::StartupCustomDir, gStartupCustomDir);
}

void kivromainfrm::ApplyUnpackCustomDir()
{
    ChooseOption(Settings::UnpackToOptions, Settings::kUnpackToCustomRow);
    writeSetting(Settings::UnpackCustomDir, gUnpackCustomDir);
}

} // namespace kivro
