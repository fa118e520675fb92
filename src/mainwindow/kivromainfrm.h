#pragma once
// The main window. Its controls are members under their own names; its event procedures are
// member functions. The class is large, so its procedures live in several files by concern
// (kivromainfrm_<concern>.cpp); each concern keeps its members in its own section below.
#include "dialogs/DialogsHost.h"
#include "dialogs/PreferencesLink.h"
#include "engine/ActionFrame.h"
#include "engine/File64.h"
#include "engine/MainWindowLink.h"
#include "engine/PackListModel.h"
#include "mainwindow/BrowserControls.h"
#include "mainwindow/Launchers.h"
#include "mainwindow/Skin.h"
#include "packlist/PackListHost.h"
#include "platform/SkinImage.h"
#include "preview/MSSlider.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPointF>
#include <QPushButton>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// The tests of the main window (tests/mainwindow/), befriended below.
class TestAddFiles;
class TestBrowser;
class TestCustomDialogs;
class TestFrameWindow;
class TestHandOff;
class TestLaunchers;
class TestLoad;
class TestMainSkin;
class TestMenuBar;
class TestMpegInfo;
class TestOptions;
class TestPackWindow;
class TestPreferencesWindow;
class TestPreview;
class TestSaveAs;
class TestSkinWindowX11;
class TestStartup;
class TestUnpackWindow;

namespace kivro {

class kivromainfrm : public QWidget, public MainWindowLink, public PackListHost, public DialogsHost {
    Q_OBJECT
public:
    explicit kivromainfrm(QWidget* parent = nullptr);
    ~kivromainfrm() override;

private:
    // The event filters of the window's own files, nested so that they reach its handlers.
    class MainWindowKeyFilter;
    class SaveAsDropFilter;
    class SkinEventRouter;
    friend void gototesmabas::PlaySelectedFile(kivromainfrm& form);

    // The tests drive the window through its controls and handlers as the user and the start-up
    // do, and read its state; they are the only code outside the window's own files that may.
    friend class ::TestAddFiles;
    friend class ::TestBrowser;
    friend class ::TestCustomDialogs;
    friend class ::TestFrameWindow;
    friend class ::TestHandOff;
    friend class ::TestLaunchers;
    friend class ::TestLoad;
    friend class ::TestMainSkin;
    friend class ::TestMenuBar;
    friend class ::TestMpegInfo;
    friend class ::TestOptions;
    friend class ::TestPackWindow;
    friend class ::TestPreferencesWindow;
    friend class ::TestPreview;
    friend class ::TestSaveAs;
    friend class ::TestSkinWindowX11;
    friend class ::TestStartup;
    friend class ::TestUnpackWindow;

    // Public below is only what the layers below reach through the interfaces this window
    // implements and what the program's other files use; the controls, handlers and state are the
    // window's own.
public:
    // --- MainWindowLink: pack list and files -------------------------------------------------
    PackListModel& packList() override { return m_packList; }
    File64& file64() override { return *mFile64; }

    // --- pack list (dirpos_lst is the folder column of the model) ----------------------------
    // PackListHost: what the pack-list window reads and sets of this window
    // (kivromainfrm_packlist.cpp).
    bool BusyIconVisible() const override;
    std::int32_t PackListMaxWidth() const override { return mPackListMaxWidth; }
    void setPackListMaxWidth(std::int32_t twips) override { mPackListMaxWidth = twips; }
    std::int32_t PackListScanWidth() const override { return mPackListScanWidth; }
    void setPackListScanWidth(std::int32_t twips) override { mPackListScanWidth = twips; }
    std::int32_t selpos_lstlentst(const QString& name) override;
    void refresh_filesel_lst() override;
    void EnableBottomMostFrm(bool Enable) override;
    void ShowSaveDialog(const QString& filter, const QString& title, const QString& initialFolder,
                        const QString& purpose) override;
    void ShowOpenDialog(const QString& filter, const QString& title, const QString& initialFolder) override;
    void RefreshFileList() override;
    TwipRect MainWindowTwips() const override;
    bool MagnetChecked() const override;

private:
    // The names selected in File1, in list order (the hidden selection mirror).
    QStringList filesel_lst;

    std::int32_t mPackListMaxWidth = 0;
    std::int32_t mPackListScanWidth = 0;

    // --- adding files and the command-line hand-off (kivromainfrm_handoff.cpp) ---------------
    // AddFileToList_Cmb_Click (browser section) and the Add picture: with nothing selected in
    // File1, "Nothing to add."; otherwise every selected file, in list order, is appended with
    // the browser's folder, and a name wider than any before it widens the pack list's
    // horizontal extent.
    void ButtonAdd_Img_Click() { AddFileToList_Cmb_Click(); }
    // Appends every path of a hand-off command line (HandOff.h) to the pack list, in order,
    // without a message, a check or a change of the horizontal extent.
    void ShellCommandAddFiles(const QString& Command);
    // The hand-off, once: with a non-empty command line the paths go into the pack list, the
    // "Save Pack File As" dialog runs, the tip window shows unless "ShowTod" is "0", and the
    // pack-list window shows. In every case the timer is stopped for good; a second tick while
    // the dialog waits does nothing.
    void ContextMenuShell_Timer_Timer(const QString& Command);

public:
    // Starts the one-shot hand-off timer with the program's argument text. The start-up calls
    // this once the whole start-up has run, so that no box of the start-up can let it tick
    // early.
    void ArmContextMenuShellTimer(const QString& Command);

private:
    // One-shot, 1 ms; armed by ArmContextMenuShellTimer, never restarted after its tick.
    QTimer* ContextMenuShell_Timer = nullptr;
    bool mHandOffDone = false;

    void SetupHandOffTimer();
    QString mHandOffCommand;

public:
    // --- load (kivromainfrm_load.cpp) ----------------------------------------------------------
    // The load runs once, inside the window's first show and before the window becomes visible:
    // icon, hourglass, shape, layout, caption, every setting (read, repaired and written back,
    // mostly through the option handlers), the file-type box, browser state, custom folders and
    // save-as box, the media drivers, the slider, the stamp lines, the start folder, the File64
    // and the normal pointer. A failure up to the settings ends the program through the start-up's
    // error handling; from the file-type box on, an empty type box asks for a restart, repairs the
    // types and ends the program, and any other failure shows the unexpected-error text and ends
    // the load with the window usable.
    void setVisible(bool visible) override;

private:
    void Form_Load();
    // The preview's position slider.
    kivro::MSSlider* MSSlider = nullptr;

    bool mLoadRun = false;
    void LoadWindowAndSettings();
    void CentreOnScreen();
    void LayoutForScale(float scale);
    void LoadSettings();
    void PlacePackListWindow();
    void ApplyStoredCustomSize(const QString& sSize);
    void LoadBrowserFoldersAndRest();
    void LoadCopyrightStampLines();
    void MoveBrowserTo(const QString& folder);

    // The load's error handler for a failure of the file-type box or a later step: 380 (the
    // type box is empty) asks for a restart, repairs the types and ends the program; any other
    // number shows the unexpected-error text and leaves the window usable.
    void LoadFailed(int number, const QString& description);
    // --- action frame -------------------------------------------------------------------------
    // The frame of a run (kivromainfrm_frame.cpp): the procedures below act through mActionFrame,
    // which holds the run state (mActionWord, mTotalBytes, mBytesDone, mStartTime, mProgressBar).
    void DisableControlsWhileBusy() { mActionFrame.DisableControlsWhileBusy(); }
    void ResetAfterAction() { mActionFrame.ResetAfterAction(); }
    [[nodiscard]] bool ProgressFeedback() { return mActionFrame.ProgressFeedback(); }
    void PackCANCELImg_Click() { mActionFrame.PackCANCELImg_Click(); }
    void UnPackCANCELImg_Click() { mActionFrame.UnPackCANCELImg_Click(); }
    void ErrorResumeProgram() { mActionFrame.ErrorResumeProgram(); }

public:
    // MainWindowLink: what the frame shows on this window.
    int mousePointer() const override { return mMousePointer; }
    void setMousePointer(int pointer) override;
    // The skin picture, which stands where the classic client area began: a bar created at
    // (left, top) of the client area sits at that place on the skin.
    QWidget* progressBarParent() override { return BG_Img ? static_cast<QWidget*>(BG_Img) : this; }
    // The trough the skin draws for the bar.
    QRect progressBarPlace() const override;
    void setBusyIconVisible(bool visible) override;
    void setCancelPictureShown(const QString& actionWord, bool shown) override;
    void setBrowserControlsEnabled(bool enabled) override;
    void setMoreInfoEnabled(bool enabled) override;
    void setPackListControlsEnabled(bool enabled) override;
    void setPercentDoneCaption(const QString& caption) override;
    void setPercentDoneVisible(bool visible) override;
    void setTimeRemainingCaption(const QString& caption) override;
    void setTimeRemainingVisible(bool visible) override;

    ActionFrame mActionFrame{*this};

private:
    // The pointer shown for state 99 (the window's own hand pointer).
    QCursor mHandCursor{Qt::PointingHandCursor};

    // Controls the frame touches (their pictures and places come with the skin).
    SkinImage* BusyIconImg = nullptr;
    SkinImage* PackImg = nullptr;
    SkinImage* PackCANCELImg = nullptr;
    SkinImage* UnpackImg = nullptr;
    SkinImage* UnPackCANCELImg = nullptr;
    QLabel* percentdone_lbl = nullptr;
    QLabel* percentdone_lbl_above96DPI = nullptr;
    QLabel* TimeRemainingLbl = nullptr;
    // Controls a run disables.
    QPushButton* AddFileToList_Cmb = nullptr;
    QPushButton* SelAll_Cmd = nullptr;
    QPushButton* DeSelAll_Cmd = nullptr;
    QPushButton* InvSel_Cmd = nullptr;
    QComboBox* Drive1 = nullptr;
    DirListBox* Dir1 = nullptr;
    FileListBox* File1 = nullptr;
    QComboBox* pattern_cmb = nullptr;
    QCheckBox* ShowPreviewChk = nullptr;
    QLabel* ShowPreviewLbl = nullptr;
    QPushButton* MoreInfo_Cmd = nullptr;
    QPushButton* Browse_cmd = nullptr;

public:
    QLineEdit* SaveAsNewFilename_txt = nullptr;

private:
    // Makes the controls of the sections above and below that come before the skin (the skin
    // makes its own pictures), in the order they stack on the window.
    void CreateControls();
    template <class W> W* frameControl(const char* name, bool shown)
    {
        auto* w = new W(this);
        w->setObjectName(QLatin1String(name));
        w->setVisible(shown);
        return w;
    }
    int mMousePointer = kPointerDefault;

    // --- MPEG information ---------------------------------------------------------------------
    QLabel* MpegInfoVideoSize_Lbl = nullptr;
    QLabel* MpegInfoVideoRate_Lbl = nullptr;
    // The preview's length of the media it has open, as numbers (0 while nothing is open).
    std::int64_t mPreviewLengthMs = 0;
    std::int64_t mPreviewLengthFrames = 0;

public:
    void setMpegInfoVideoSize(const QString& text) override;
    void setMpegInfoVideoRate(const QString& text) override;
    std::int64_t previewLengthMs() const override { return mPreviewLengthMs; }
    std::int64_t previewLengthFrames() const override { return mPreviewLengthFrames; }

private:
    // --- file browser ---------------------------------------------------------------------------
    // The browser (kivromainfrm_browser.cpp): the drive list Drive1 (mounted volumes), the folder
    // list Dir1, the file list File1 with its file-type box pattern_cmb (all above, with the
    // controls a run disables), the folder label and the file list's popup menu. The selection
    // mirror filesel_lst (pack list section) equals File1's selection after every change.
    QLabel* seldir_lbl = nullptr;
    // Never shown: the full path of the folder on show.
    QLabel* seldirfulltmp_lbl = nullptr;
    QMenu* FileSelPopupMnu = nullptr;
    QAction* AddFileSelPopupMnu = nullptr;
    QAction* brkmnu09 = nullptr;
    QAction* SelectAllFileSelPopupMnu = nullptr;
    QAction* DeselectAllFileSelPopupMnu = nullptr;
    QAction* InvSelFilePopupMnu = nullptr;
    QAction* brkmnu10 = nullptr;
    QAction* RefreshFileSelPopupMnu = nullptr;
    QAction* brkmnu11 = nullptr;
    QAction* PlayMpegFileSelPopupMnu = nullptr;
    QAction* FilePropertiesFileSelPopupMnu = nullptr;
    // There is no network-drive dialog on Linux: the Network picture rescans the mounted volumes.
    static inline const QString kNetworkImgToolTip = QStringLiteral("Rescan mounted drives");

    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void File1_DblClick();
    void File1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void File1_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, QPoint pos);
    void pattern_cmb_Click();
    // Select all, none, inverse: each changes the whole selection in one step (no click
    // handling per entry), then the mirror follows.
    void SelAll_Cmd_Click();
    void ButtonSelectAll_Img_Click() { SelAll_Cmd_Click(); }
    void SelAllMnu_Click() { SelAll_Cmd_Click(); }
    void SelectAllFileSelPopupMnu_Click() { SelAll_Cmd_Click(); }
    void DeSelAll_Cmd_Click();
    void ButtonDeselectAll_Img_Click() { DeSelAll_Cmd_Click(); }
    void DeSelAllMnu_Click() { DeSelAll_Cmd_Click(); }
    void DeselectAllFileSelPopupMnu_Click() { DeSelAll_Cmd_Click(); }
    void InvSel_Cmd_Click();
    void ButtonSelectInverse_Img_Click() { InvSel_Cmd_Click(); }
    void InvSelMnu_Click() { InvSel_Cmd_Click(); }
    void InvSelFilePopupMnu_Click() { InvSel_Cmd_Click(); }
    void RefreshMnu_Click();
    void RefreshFileSelPopupMnu_Click() { RefreshMnu_Click(); }
    void AddFileSelPopupMnu_Click() { AddFileToList_Cmb_Click(); }
    void PlayMpegFileSelPopupMnu_Click();
    void FilePropertiesFileSelPopupMnu_Click();
    // The file manager's properties window of a file, else a small information box.
    void ShowProps(const QString& filename, QWidget* OwnerhWnd);
    void MoreInfo_Cmd_Click();
    void Network_Img_Click();

    // Appends the browser's selected files to the pack list (button, popup "Add", double-click):
    // kivromainfrm_handoff.cpp.
    void AddFileToList_Cmb_Click();

    // Moves the browser to a folder (drive list, folder list, file list, gCurrentDir and the
    // folder label), as the start-up does with the start folder. False, with nothing changed,
    // when the folder cannot be listed.
    bool BrowseTo(const QString& folder);
    // Reads the mounted volumes into the drive list again; it shows the volume of the folder on
    // show.
    void RefreshDriveList();

    // --- launchers ------------------------------------------------------------------------------
    // Help popup, web and mail pictures (kivromainfrm_launchers.cpp).
    void HelpTopicMnu_Click();
    void GoToSiteMnu_Click();
    void KivroSiteMnu_Click();
    void KivroFAQMnu_Click();
    void WebBrowserImg_Click();
    void EmailImg_Click();
    // Mouse moves over the round web and mail pictures: X, Y on the picture and its Width and
    // Height, all in twips. The pointer follows RoundPictureMouseMove: the hand (99) inside the
    // circle, the background's rule outside it, an hourglass (11) unchanged.
    void WebBrowserImg_MouseMove(float X, float Y, float Width, float Height);
    void EmailImg_MouseMove(float X, float Y, float Width, float Height);

    // Names the browser's labels, builds the file list's popup menu and wires the browser's
    // controls (the constructor calls it once the controls exist).
    void SetupBrowser();
    void SelectShownVolume();
    void SelectFirstFileOrClearMirror();
    // The folder last shown on each volume (the "current folder" of a drive), by volume root.
    QHash<QString, QString> mDriveFolders;

    // --- preview player -------------------------------------------------------------------------
    // (kivromainfrm_preview.cpp) The file chosen in File1 opens as one media device, "movie0",
    // whose picture shows inside PreviewVideo_Frame. No failed command shows a box: each result
    // goes into LbResult. The value labels below are never seen (they are hidden); the player
    // keeps the frame rate and the lengths as numbers and writes the labels from them.
    QFrame* PreviewVideo_Frame = nullptr;
    QPushButton* CmdPlay = nullptr;
    // In CmdPlay's place, shown from a Play until Stop or the end brings CmdPlay back.
    QPushButton* CmdResume = nullptr;
    QPushButton* CmdPause = nullptr;
    QPushButton* CmdStop = nullptr;
    // Never seen: closes the device without switching the preview off.
    QPushButton* CmdClose = nullptr;
    QLabel* LbFileName = nullptr;
    QLabel* LbFramesPerSecond = nullptr;
    QLabel* LbTotalFrames = nullptr;
    QLabel* LbTotalTime = nullptr;
    QLabel* LbActualCx = nullptr;
    QLabel* LbActualCy = nullptr;
    QLabel* LbCurrentCx = nullptr;
    QLabel* LbCurrentCy = nullptr;
    QLabel* LbCurrentRate = nullptr;
    QLabel* LbProgress = nullptr;
    QLabel* LbCurrPos = nullptr;
    QLabel* LbCurrentTime = nullptr;
    QLabel* LbStatus = nullptr;
    QLabel* PlayProgressLbl = nullptr;
    QLabel* LbResult = nullptr;
    // The position tick (500 ms) and the end tick (100 ms).
    QTimer* TimerMisc = nullptr;
    QTimer* TimerAtEndFile = nullptr;
    // The whole-number frame rate of the open file; nothing while no file is open.
    std::optional<std::int32_t> mPreviewFps;

    // The check box's click: with an empty file list it only flips gPreviewOn; otherwise it
    // opens the current file (preview off) or stops and closes the preview (preview on).
    void ShowPreviewChk_Click();
    // Turns the check box over (without its click) and then runs its click once.
    void ShowPreviewLbl_Click();
    void CmdPlay_Click() { PlayPreview(); }
    void CmdPause_Click() { PausePreview(); }
    void CmdResume_Click() { ResumePreview(); }
    void CmdStop_Click() { StopPreview(); }
    void CmdClose_Click() { ClosePreview(); }
    // Sound off (SoundOn_Img) and on (SoundOff_Img); the pictures swap whatever the device says.
    void SoundOn_Img_Click();
    void SoundOff_Img_Click();
    void MSSlider_MouseDown();
    void MSSlider_MouseUp();
    // Seeks to the slider's place; a stopped or paused device stays stopped there.
    void MSSlider_OnClick();
    void MSSlider_ValueHasChanged();
    void TimerMisc_Timer();
    void TimerAtEndFile_Timer();

    void PlayPreview();
    void PausePreview();
    void ResumePreview();
    // Stops, shows picture 1 and puts the buttons back for a new Play.
    void StopPreview();
    // Closes the device; when it was open, also the timers, the value labels, the lengths and
    // the buttons and slider.
    void ClosePreview();
    void PlacePreviewWindow();
    void OpenPreview();
    // The open sequence shared by the check box and File1's click: the MPEG information, the
    // previous device closed, the file opened and its picture 1 shown (or the "Not Available"
    // state). False when the open failed.
    bool OpenFileInPreview(const QString& path);

    // Makes the pane's controls (CreateControls) and wires them once the skin stands.
    void CreatePreviewControls();
    void SetupPreview();
    void LogPreviewResult(const QString& result);
    // CmdPlay shown, CmdResume hidden, and the five player buttons disabled.
    void IdlePreviewButtons();
    // The "Not Available" state under the pane, idle buttons and the slider at 0, disabled.
    void ShowPreviewIdle();
    // A device of this window is open (it is closed with the window).
    bool mPreviewDeviceOpen = false;

    // --- pack ---------------------------------------------------------------------------------
    // The Pack action (kivromainfrm_pack.cpp). The click acts only when the busy picture is
    // hidden and gActionArmed is set (a press of the picture, the menu item or the shortcut).
    void PackImg_Click();
    // The menu item: arms the action and runs it.
    void PackMnu_Click();

public:
    // MainWindowLink: the save-as box and the zip step's label and picture.
    QString saveAsNewFilename() const override;
    void setZipProcessCaption(const QString& caption) override;
    void setZipProcessVisible(bool visible) override;
    void setZipAnimVisible(bool visible) override;

private:
    QLabel* ZipProcess_Lbl = nullptr;
    QLabel* ZipAnimIco = nullptr;

    // --- unpack -------------------------------------------------------------------------------
    // The Unpack action (kivromainfrm_unpack.cpp): acts when the window is not busy and
    // gActionArmed is set; the menu entry arms it and calls it.
    void UnpackImg_Click();
    void UnpackMnu_Click();

public:
    // The unpack-to choosers the action calls are the option menus' own handlers (below); the
    // zip step's label and picture are the pack's.
    // MainWindowLink: the hidden list of copyright stamp batch lines.
    QStringList CopyrightStamping_lst() const override { return mCopyrightStamping_lst; }
    void setCopyrightStamping_lst(const QStringList& lines) override { mCopyrightStamping_lst = lines; }

private:
    QStringList mCopyrightStamping_lst;

public:
    // --- options ------------------------------------------------------------------------------
    // The option menus (kivromainfrm_options.cpp). The checked item of a group is the setting in
    // force; each handler sets every item of its group itself, sets its variable and writes its
    // settings value at once. The Options menu is a popup only: the window shows no menu bar.
    // A click on a checkable item runs its handler with the check mark as it was before the click
    // (the handler alone decides the marks), so a cancelled folder chooser changes nothing.
    ActionOptions actionOptions() const override;
    DeleteAfterAction deleteAfterAction() const override;

private:
    // The transfer rate: the copy block size in bytes and the number of trailing decimal digits
    // of a size that the copy loops take as the tail after the whole blocks.
    std::int32_t mBlockSize = 100000;
    std::int32_t mBlockDigits = 5;

public:
    // Radio groups: each handler is its row's ChooseOption.
    // DialogsHost: checks the row's item and unchecks its siblings, in the group's order, sets the
    // row's value and writes its stored text.
    void ChooseOption(const Settings::OptionGroup& group, int row) override;

private:
    void SlowSpeedChk_Click();
    void NormalSpeedChk_Click();
    void FastSpeedChk_Click();
    void UltraSpeedChk_Click();
    void SmallFloppySizeChk_Click();
    void LowFloppySizeChk_Click();
    void HighFloppySizeChk_Click();
    void ZipSizeChk_Click();
    void UnpackRAWMnu_Click();
    void UnpackEMHMnu_Click();
    void UnpackSaveFileMnu_Click();
    void UnpackWhereFileDirMnu_Click();
    void LastSavedDirMnu_Click();
    void StartupLastUsedDirMnu_Click();
    void OverwriteNoMnu_Click();
    void OverwritePromptMnu_Click();
    void OverwriteNoPromptMnu_Click();
    void DelNoMnu_Click();
    void DelPromptMnu_Click();
    void DelNoPromptMnu_Click();
    void CreateJoinBatNoMnu_Click();
    void CreateJoinBatMnu_Click();
    void CreateJoinBatwExtraInfoMnu_Click();
    // Toggles.
    void ZipCompressMnu_Click();
    void MCheckMnu_Click();
    void MagnetMnu_Click();
    void AddContextMenuMnu_Click();
    void MagnetiseMnu_Click();

public:
    // Folder choosers.
    void SaveCustomDirMnu_Click() override;
    void StartupCustomDirMnu_Click() override;
    void UnpackCustomDirMnu_Click() override;
    // DialogsHost: the custom choices applied with the folder the global holds (also the
    // choosers' own last step), and the switches set to a value.
    void ApplyUnpackCustomDir() override;
    // The preferences window's OK: the save-as box is set before SaveCustomDir is written.
    void ApplySaveCustomDir() override;

private:
    // The menu's folder chooser: SaveCustomDir is written before the save-as box is set.
    void applySaveCustomDirFromMenu();

public:
    void ApplyStartupCustomDir() override;
    void SetZipCompress(bool on) override;
    void SetMpegCheck(bool on) override;
    void SetExplorerVerb(bool on) override;

private:
    // What switching the magnet setting on does: docks the pack-list window against this window
    // now (MagnetisePackList).
    void DockPackListWindow();

    using MenuHandler = void (kivromainfrm::*)();
    enum MenuFlag { Plain = 0, Checkable = 1, Checked = 3, SeparatorBefore = 4 };
    QMenu* optionSubMenu(QMenu* parent, const QString& caption, const char* name, int flags = Plain);
    // The menu item of a row, by its object name.
    QAction* optionAction(QLatin1String name) const;
    // Checks the row's item and unchecks the others of its group, in the group's order.
    void markOption(const Settings::OptionGroup& group, int row);
    QHash<QString, QAction*> mOptionItems;
    // `shownKey` is shown beside the item only; the window's key handling acts on the key.
    QAction* optionItem(QMenu* parent, const QString& caption, const char* name, int flags, MenuHandler handler,
                        const QKeySequence& shownKey = {});
    // Runs a folder dialog titled `titleText` followed by the shortened `current` folder; the
    // chosen folder without a trailing "/" (the root stays "/"), or nothing when cancelled.
    std::optional<QString> chooseCustomFolder(const QString& titleText, const QString& current, QWidget* owner);
    // A folder chooser: the dialog for `folder` (owned by the preferences window when it works
    // for it and `ownedByPreferences`); a chosen folder is set at once and then either written
    // into the preferences window's field (`fill`) or applied by `apply`.
    void runFolderChooser(const QString& titleText, QString& folder, bool ownedByPreferences,
                          void (PreferencesLink::*fill)(const QString&), void (kivromainfrm::*apply)());
    // Builds the Options popup and its tree, in menu order (the check marks are the state at
    // creation).
    void SetupOptionMenus();

    // "&Options" and its tree (SetupOptionMenus).
    QMenu* OptMnu = nullptr;
    QMenu* PrefMnu = nullptr;
    QAction* GeneralMnu = nullptr;
    QMenu* UnpackTypeMnu = nullptr;
    QAction* UnpackRAWMnu = nullptr;
    QAction* UnpackEMHMnu = nullptr;
    QMenu* UnpackToMnu = nullptr;
    QAction* UnpackSaveFileMnu = nullptr;
    QAction* UnpackWhereFileDirMnu = nullptr;
    QAction* UnpackCustomDirMnu = nullptr;
    QMenu* SizeMnu = nullptr;
    QAction* SmallFloppySizeChk = nullptr;
    QAction* LowFloppySizeChk = nullptr;
    QAction* HighFloppySizeChk = nullptr;
    QAction* ZipSizeChk = nullptr;
    // Opens the custom size dialog, which also rewrites this caption.
    QAction* CustomSizeChk = nullptr;
    QMenu* SaveMnu = nullptr;
    QMenu* SaveToMnu = nullptr;
    QAction* SaveCustomDirMnu = nullptr;
    QAction* LastSavedDirMnu = nullptr;
    QMenu* OverwriteMnu = nullptr;
    QAction* OverwriteNoMnu = nullptr;
    QAction* OverwritePromptMnu = nullptr;
    QAction* OverwriteNoPromptMnu = nullptr;
    QMenu* StartupMnu = nullptr;
    QAction* StartupCustomDirMnu = nullptr;
    QAction* StartupLastUsedDirMnu = nullptr;
    QMenu* Spdmnu = nullptr;
    QAction* SlowSpeedChk = nullptr;
    QAction* NormalSpeedChk = nullptr;
    QAction* FastSpeedChk = nullptr;
    QAction* UltraSpeedChk = nullptr;
    QMenu* DelAfterActionMnu = nullptr;
    QAction* DelNoMnu = nullptr;
    QAction* DelPromptMnu = nullptr;
    QAction* DelNoPromptMnu = nullptr;
    QMenu* JoinBatMnu = nullptr;
    QAction* CreateJoinBatNoMnu = nullptr;
    QAction* CreateJoinBatMnu = nullptr;
    QAction* CreateJoinBatwExtraInfoMnu = nullptr;
    // Opens the copyright stamp editor.
    QAction* CopyrightStampingMnu = nullptr;
    QAction* ZipCompressMnu = nullptr;
    QAction* MCheckMnu = nullptr;
    QMenu* OtherMnu = nullptr;
    QAction* AddContextMenuMnu = nullptr;
    // Opens the file-type filter editor.
    QAction* FileTypeMnu = nullptr;
    // Shows and hides the pack-list window.
    QAction* ShowBrovletMnu = nullptr;
    QAction* MagnetMnu = nullptr;
    QAction* MagnetiseMnu = nullptr;

    // --- save-as box and file dialogs ---------------------------------------------------------
    // The save-as box SaveAsNewFilename_txt and the "Save Pack File As" dialog
    // (kivromainfrm_saveas.cpp).
    void Browse_cmd_Click();
    void SaveAsMnu_Click();
    // A drop on the save-as box: the first file of a dropped file list proposes a file of its
    // name in the root of its volume (the home folder when the user cannot write there); a
    // folder is refused with a message; then the box's folder is stored as "LastSavedDir".
    void SaveAsNewFilename_txt_OLEDragDrop(const QMimeData* mime);
    // Stores the folder of the box's text as "LastSavedDir" (nothing when the text holds no "/").
    void StoreLastSavedDir();
    // The File menu item "Save As..." (Ctrl+S); its menu comes with the menu bar.
    QAction* SaveAsMnu = nullptr;

    // Makes SaveAsMnu, gives Browse_cmd its caption, tip and click, and lets the save-as box take
    // drops through SaveAsNewFilename_txt_OLEDragDrop only.
    void SetupSaveAsBox();

    // --- start-up and shutdown ----------------------------------------------------------------
    // Every close of the window (Close picture, Exit, a close asked by the system, the load's
    // error path) ends the program: a running action is cancelled first, the window hidden, the
    // pack-list window's position and the browser's folder stored and put on disk, and the
    // process ends at once with status 0; nothing returns into the code that was running.
    void Form_QueryUnload();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Writes "BrovletXpos" and "BrovletYpos" (whole twips as decimal text) when the position is
    // known, "LastUsedDir" when the folder is known, and puts the settings file on disk.
    static void WriteShutdownSettings(const std::optional<QPointF>& packListTopLeftTwips,
                                      const std::optional<QString>& lastUsedDir);
    bool mShuttingDown = false;

    // --- skin ---------------------------------------------------------------------------------
    // The skinned window (kivromainfrm_skin.cpp). It has no system frame: it keeps the classic
    // outer size of 540 x 334 (frame and caption included) and is cut to the skin's outline,
    // mSkinRegion (MainWindowMask()). The skin picture BG_Img lies at the frame offset (3, 22)
    // and every control at its place on it (SkinLayout.h). Dragging BG_Img, the form,
    // KivroIcon_Img or TesmaKivroCaption moves the window, and a docked pack-list window with it.
    QRegion mSkinRegion;
    // The drag under way (mDragging) and the press position (mDragX, mDragY: whole twips,
    // relative to the pressed control).
    WindowDrag mDrag;

    SkinImage* BG_Img = nullptr;
    SkinImage* KivroIcon_Img = nullptr;
    QLabel* TesmaKivroCaption = nullptr;
    SkinImage* FileMenu_File_Img = nullptr;
    SkinImage* FileMenu_Action_Img = nullptr;
    SkinImage* FileMenu_Option_Img = nullptr;
    SkinImage* FileMenu_Help_Img = nullptr;
    // Shown while BusyIconImg is hidden, at the same place.
    SkinImage* NotBusyIconImg = nullptr;
    // The pressed Pack picture, hidden until a press shows it over PackImg.
    SkinImage* PackDownFullViewImg = nullptr;
    SkinImage* WebBrowserImg = nullptr;
    SkinImage* EmailImg = nullptr;
    // Over the skin's folder glyph beside seldir_lbl (no text).
    QLabel* folder_lbl = nullptr;
    QLabel* SaveAs_lbl = nullptr;

    // The small skin buttons. Each visible picture shows the picture of one of its three hidden
    // templates: down on a press, over on a move over it, up on the release, and it keeps that
    // picture until its own next event or ResetSkinButtons.
    SkinImage* ButtonAdd_Img = nullptr;
    SkinImage* ButtonAdd_Up_Img = nullptr;
    SkinImage* ButtonAdd_Over_Img = nullptr;
    SkinImage* ButtonAdd_Down_Img = nullptr;
    SkinImage* ButtonSelectAll_Img = nullptr;
    SkinImage* ButtonSelectAll_Up_Img = nullptr;
    SkinImage* ButtonSelectAll_Over_Img = nullptr;
    SkinImage* ButtonSelectAll_Down_Img = nullptr;
    SkinImage* ButtonDeselectAll_Img = nullptr;
    SkinImage* ButtonDeselectAll_Up_Img = nullptr;
    SkinImage* ButtonDeselectAll_Over_Img = nullptr;
    SkinImage* ButtonDeselectAll_Down_Img = nullptr;
    SkinImage* ButtonSelectInverse_Img = nullptr;
    SkinImage* ButtonSelectInverse_Up_Img = nullptr;
    SkinImage* ButtonSelectInverse_Over_Img = nullptr;
    SkinImage* ButtonSelectInverse_Down_Img = nullptr;
    SkinImage* Network_Img = nullptr;
    SkinImage* Network_Up_Img = nullptr;
    SkinImage* Network_Over_Img = nullptr;
    SkinImage* Network_Down_Img = nullptr;
    SkinImage* ButtonMinimise_Img = nullptr;
    SkinImage* ButtonMinimise_Up_Img = nullptr;
    SkinImage* ButtonMinimise_Over_Img = nullptr;
    SkinImage* ButtonMinimise_Down_Img = nullptr;
    SkinImage* ButtonClose_Img = nullptr;
    SkinImage* ButtonClose_Up_Img = nullptr;
    SkinImage* ButtonClose_Over_Img = nullptr;
    SkinImage* ButtonClose_Down_Img = nullptr;
    // The preview's sound switch (one of the two shows); its clicks belong to the preview.
    SkinImage* SoundOn_Img = nullptr;
    SkinImage* SoundOn_Up_Img = nullptr;
    SkinImage* SoundOn_Over_Img = nullptr;
    SkinImage* SoundOn_Down_Img = nullptr;
    SkinImage* SoundOff_Img = nullptr;
    SkinImage* SoundOff_Up_Img = nullptr;
    SkinImage* SoundOff_Over_Img = nullptr;
    SkinImage* SoundOff_Down_Img = nullptr;

    // Every small skin button back to its up picture: ButtonClose_Img, ButtonMinimise_Img,
    // ButtonAdd_Img, ButtonSelectAll_Img, ButtonDeselectAll_Img, ButtonSelectInverse_Img,
    // Network_Img, SoundOn_Img, SoundOff_Img.
    void ResetSkinButtons();
    // The press on a drag handle (X, Y in twips relative to it, kept as whole twips, halves to
    // even) and each move while the button is held: the window moves by the pointer's offset,
    // and a pack-list window docked on any side (gPackListDocked...) moves with it, shown or
    // hidden. A drag neither snaps nor changes the docking flags.
    void BeginWindowDrag(float X, float Y);
    void DragWindow(float X, float Y);
    // The drag handles. The background and the form also give the pointer its idle or busy
    // shape, disarm a pressed Pack or Unpack and reset the skin buttons on every move; the icon
    // and the caption only drag.
    void BG_Img_MouseDown(float X, float Y);
    void BG_Img_MouseMove(float X, float Y);
    void BG_Img_MouseUp();
    void Form_MouseDown(float X, float Y);
    void Form_MouseMove(float X, float Y);
    void Form_MouseUp();
    void KivroIcon_Img_MouseDown(float X, float Y);
    void KivroIcon_Img_MouseMove(float X, float Y);
    void KivroIcon_Img_MouseUp();
    void TesmaKivroCaption_MouseDown(float X, float Y);
    void TesmaKivroCaption_MouseMove(float X, float Y);
    void TesmaKivroCaption_MouseUp();
    // Minimise and Close act on the release of their pictures, wherever the pointer is then.
    // Neither tests the busy state.
    void ButtonMinimise_Img_MouseUp();
    void ButtonClose_Img_MouseUp();
    // A move over the folder label: its tool tip becomes the whole folder of Dir1.
    void seldir_lbl_MouseMove();
    // The window minimised and the pack-list window hidden (created first when it does not exist
    // yet), and "Show Pack List" unchecked with it, so the menu never claims a hidden window is
    // shown.
    void MinimiseWindow();
    // Snaps the pack-list window against this window by the four docking rules (Skin.h) and
    // records the sides in the docking flags; what the "&Magnetise" item and switching "Magnet"
    // on run.
    void MagnetisePackList();

public:
    // PackListHost: the template pictures the pack-list window copies, and the check of the
    // "Show Pack List" item (ShowBrovletMnu).
    QString TemplatePicture(const QString& templateName) const override;
    void setShowPackListChecked(bool checked) override;

private:
    // Builds the skin once every control exists (the constructor calls it last): the window's
    // shape, font and colours, the skin pictures, and every named control at its place.
    void SetupSkin();
    SkinImage* skinTemplate(const char* name, const QString& picture);
    SkinImage* skinButton(const char* name, SkinImage* up, SkinImage* over, SkinImage* down);
    // The background's and the form's pointer rule and disarming.
    void BackgroundMouseMove();

    // --- action buttons, menu bar and shortcuts -----------------------------------------------
    // (kivromainfrm_menubar.cpp) The round Pack and Unpack pictures arm their action on a
    // left-button press and run it on the click; their Cancel pictures arm the cancel. The four
    // menu-bar pictures pop up FileMnu, ActionMnu, OptMnu and HelpMnu at the pointer; the window
    // shows no menu bar. The window's keys are read by one key filter (Form_KeyDown) that sees
    // every key of the window before its controls do, so a shortcut acts whichever control has
    // the focus and leaves the focus where it is. The menus show the keys beside their items only.
    //
    // Mouse handlers: the button, and X, Y in twips relative to the picture.
    void PackImg_MouseDown(Qt::MouseButton Button, float X, float Y);
    void PackImg_MouseUp(Qt::MouseButton Button, float X, float Y);
    void PackImg_MouseMove(float X, float Y);
    void UnpackImg_MouseDown(Qt::MouseButton Button, float X, float Y);
    void UnpackImg_MouseUp(Qt::MouseButton Button, float X, float Y);
    void UnpackImg_MouseMove(float X, float Y);
    void PackCANCELImg_MouseDown(Qt::MouseButton Button, float X, float Y);
    void PackCANCELImg_MouseUp(Qt::MouseButton Button, float X, float Y);
    void PackCANCELImg_MouseMove(float X, float Y);
    void UnPackCANCELImg_MouseDown(Qt::MouseButton Button, float X, float Y);
    void UnPackCANCELImg_MouseUp(Qt::MouseButton Button, float X, float Y);
    void UnPackCANCELImg_MouseMove(float X, float Y);
    // The pointer over a round picture (Pack, Unpack, web, mail): the hand inside its circle;
    // outside it the background's rule (the hourglass while an action runs, else the arrow). An
    // hourglass is never changed.
    void RoundPictureMouseMove(float X, float Y, float Width, float Height);

    // File, Action and Options pop up only while no action runs; Help always.
    void FileMenu_File_Img_Click();
    void FileMenu_Action_Img_Click();
    void FileMenu_Option_Img_Click();
    void FileMenu_Help_Img_Click();

    // The window's shortcuts: Ctrl+A, D, I, K, P, S, U (the Ctrl bit set, whatever else is held),
    // F5 with any modifiers and F1. Returns whether the key is one of them (it then goes no
    // further). Every one but Ctrl+P, Ctrl+U and F1 does nothing while an action runs, as every
    // other way to its command; the actions refuse by themselves. Errors end it silently.
    bool Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);

    // An action runs: from its start until it has wholly unwound (also after a cancel that has
    // already made the window look idle).
    bool ActionRunning() const;

    // Stops the preview and closes the window, which ends the program through the shutdown.
    void ExitMnu_Click();
    // Shows the pack-list window (checked) or hides it (unchecked).
    void ShowBrovletMnu_Click();
    // The tip window, modeless, owned by this window.
    void TODMnu_Click();
    // Items that open the option dialogs and information windows.
    // The preferences window, modal, loaded afresh.
    void GeneralMnu_Click();
    // The custom size dialog, modal; the dialog itself sets the size items.
    void CustomSizeChk_Click();
    // The file-type filter editor, modal; its close refills the file-type box.
    void FileTypeMnu_Click();
    // The copyright stamp editor, modal.
    void CopyrightStampingMnu_Click();

public:
    // DialogsHost (also for the preferences window: the caption and the file-type box): the size items the
    // custom size dialog sets and the stamp lines' owner.
    void CheckCustomSizeChk() override;
    void setCustomSizeChkCaption(const QString& caption) override;
    MainWindowLink& StampLineOwner() override { return *this; }
    // DialogsHost: the file-type box refilled by the filter editor.
    void FillFileTypeBox(const QStringList& displayForms) override;

private:
    void TechMnu_Click();
    void AbtMnu_Click();

    // Templates of the Pack, Unpack and Cancel pictures (never shown).
    SkinImage* PackPressedImg = nullptr;
    SkinImage* PackNotPressedImg = nullptr;
    SkinImage* UnpackPressedImg = nullptr;
    SkinImage* UnpackNotPressedImg = nullptr;
    SkinImage* PackPressedCANCELImg = nullptr;
    SkinImage* PackNotPressedCANCELImg = nullptr;
    SkinImage* UnpackPressedCANCELImg = nullptr;
    SkinImage* UnpackNotPressedCANCELImg = nullptr;

    // The popups (SaveAsMnu and OptMnu with its tree come from their own sections).
    QMenu* FileMnu = nullptr;
    QAction* ExitMnu = nullptr;
    QMenu* ActionMnu = nullptr;
    QAction* PackMnu = nullptr;
    QAction* UnpackMnu = nullptr;
    QAction* SelAllMnu = nullptr;
    QAction* DeSelAllMnu = nullptr;
    QAction* InvSelMnu = nullptr;
    QAction* RefreshMnu = nullptr;
    QMenu* HelpMnu = nullptr;
    QAction* HelpTopicMnu = nullptr;
    QAction* TODMnu = nullptr;
    QAction* TechMnu = nullptr;
    QAction* GoToSiteMnu = nullptr;
    QAction* KivroSiteMnu = nullptr;
    QAction* KivroFAQMnu = nullptr;
    QAction* AbtMnu = nullptr;

    // Builds the popups, the templates, and wires the pictures and the key filter (the
    // constructor calls it once the skin stands).
    void SetupMenuBar();
    void popUpAtPointer(QMenu* menu);
    // The zip step's label ZipProcess_Lbl is shown.
    bool ZipStepShown() const;

    std::unique_ptr<File64> mFile64;

    PackListModel m_packList;
};

} // namespace kivro
