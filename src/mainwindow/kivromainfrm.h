#pragma once
// The main window. Its controls are members named as the design names them; its event procedures
// are member functions. The class is large, so its procedures live in several files by concern
// (kivromainfrm_<concern>.cpp); each concern keeps its members in its own section below.
#include "engine/ActionFrame.h"
#include "engine/File64.h"
#include "engine/MainWindowLink.h"
#include "engine/PackListModel.h"
#include "mainwindow/BrowserControls.h"
#include "packlist/PackListHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointF>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace kivro {

class kivromainfrm : public QWidget, public MainWindowLink, public PackListHost {
    Q_OBJECT
public:
    explicit kivromainfrm(QWidget* parent = nullptr);
    ~kivromainfrm() override;

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

    std::int32_t mPackListMaxWidth = 0;
    std::int32_t mPackListScanWidth = 0;
    // The names selected in File1, in list order (the hidden selection mirror).
    QStringList filesel_lst;

    // --- action frame -------------------------------------------------------------------------
    // The frame of a run (kivromainfrm_frame.cpp): the procedures below act through mActionFrame,
    // which holds the run state (mActionWord, mTotalBytes, mBytesDone, mStartTime, mProgressBar).
    void DisableControlsWhileBusy() { mActionFrame.DisableControlsWhileBusy(); }
    void ResetAfterAction() { mActionFrame.ResetAfterAction(); }
    [[nodiscard]] bool ProgressFeedback() { return mActionFrame.ProgressFeedback(); }
    void PackCANCELImg_Click() { mActionFrame.PackCANCELImg_Click(); }
    void UnPackCANCELImg_Click() { mActionFrame.UnPackCANCELImg_Click(); }
    void ErrorResumeProgram() { mActionFrame.ErrorResumeProgram(); }

    // MainWindowLink: what the frame shows on this window.
    int mousePointer() const override { return mMousePointer; }
    void setMousePointer(int pointer) override;
    QWidget* progressBarParent() override { return this; }
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
    // The pointer shown for state 99 (the window's own hand pointer).
    QCursor mHandCursor{Qt::PointingHandCursor};

    // Controls the frame touches. Pictures are labels here; their pictures and places come with
    // the skin.
    QLabel* BusyIconImg = frameControl<QLabel>("BusyIconImg", false);
    QLabel* PackImg = frameControl<QLabel>("PackImg", true);
    QLabel* PackCANCELImg = frameControl<QLabel>("PackCANCELImg", false);
    QLabel* UnpackImg = frameControl<QLabel>("UnpackImg", true);
    QLabel* UnPackCANCELImg = frameControl<QLabel>("UnPackCANCELImg", false);
    QLabel* percentdone_lbl = frameControl<QLabel>("percentdone_lbl", true);
    QLabel* percentdone_lbl_above96DPI = frameControl<QLabel>("percentdone_lbl_above96DPI", false);
    QLabel* TimeRemainingLbl = frameControl<QLabel>("TimeRemainingLbl", false);
    // Controls a run disables.
    QPushButton* AddFileToList_Cmb = frameControl<QPushButton>("AddFileToList_Cmb", true);
    QPushButton* SelAll_Cmd = frameControl<QPushButton>("SelAll_Cmd", true);
    QPushButton* DeSelAll_Cmd = frameControl<QPushButton>("DeSelAll_Cmd", true);
    QPushButton* InvSel_Cmd = frameControl<QPushButton>("InvSel_Cmd", true);
    QComboBox* Drive1 = frameControl<QComboBox>("Drive1", true);
    DirListBox* Dir1 = frameControl<DirListBox>("Dir1", true);
    FileListBox* File1 = frameControl<FileListBox>("File1", true);
    QComboBox* pattern_cmb = frameControl<QComboBox>("pattern_cmb", true);
    QCheckBox* ShowPreviewChk = frameControl<QCheckBox>("ShowPreviewChk", true);
    QLabel* ShowPreviewLbl = frameControl<QLabel>("ShowPreviewLbl", true);
    QPushButton* MoreInfo_Cmd = frameControl<QPushButton>("MoreInfo_Cmd", true);
    QPushButton* Browse_cmd = frameControl<QPushButton>("Browse_cmd", true);
    QLineEdit* SaveAsNewFilename_txt = frameControl<QLineEdit>("SaveAsNewFilename_txt", true);

private:
    template <class W> W* frameControl(const char* name, bool shown)
    {
        auto* w = new W(this);
        w->setObjectName(QLatin1String(name));
        w->setVisible(shown);
        return w;
    }
    int mMousePointer = kPointerDefault;

public:

    // --- MPEG information ---------------------------------------------------------------------
    QLabel* MpegInfoVideoSize_Lbl = new QLabel(this);
    QLabel* MpegInfoVideoRate_Lbl = new QLabel(this);
    // The preview's length of the media it has open, as numbers (0 while nothing is open).
    std::int64_t mPreviewLengthMs = 0;
    std::int64_t mPreviewLengthFrames = 0;
    void setMpegInfoVideoSize(const QString& text) override;
    void setMpegInfoVideoRate(const QString& text) override;
    std::int64_t previewLengthMs() const override { return mPreviewLengthMs; }
    std::int64_t previewLengthFrames() const override { return mPreviewLengthFrames; }

    // --- file browser ---------------------------------------------------------------------------
    // The browser (kivromainfrm_browser.cpp): the drive list Drive1 (mounted volumes), the folder
    // list Dir1, the file list File1 with its file-type box pattern_cmb (all above, with the
    // controls a run disables), the folder label and the file list's popup menu. The selection
    // mirror filesel_lst (pack list section) equals File1's selection after every change.
    QLabel* seldir_lbl = new QLabel(this);
    // Never shown: the full path of the folder on show.
    QLabel* seldirfulltmp_lbl = new QLabel(this);
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

    // Appends the browser's selected files to the pack list (button, popup "Add", double-click).
    // The pack list's add fills it in; until then it only tells onAddFileToList.
    void AddFileToList_Cmb_Click();
    std::function<void()> onAddFileToList;

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
    // Height, all in twips. Inside the circle the pointer becomes the hand (99), unless it shows
    // the hourglass (11).
    void WebBrowserImg_MouseMove(float X, float Y, float Width, float Height);
    void EmailImg_MouseMove(float X, float Y, float Width, float Height);

private:
    bool SetupBrowser();
    void SelectShownVolume();
    void SelectFirstFileOrClearMirror();
    // The preview's part of a click while gPreviewOn is set: for a file other than the one the
    // preview shows, the MPEG information, the preview closed and the new file opened. False when
    // the open failed, which ends the click's handling. The preview player brings the sequence.
    bool OpenClickedFileInPreview(const QString& fullName);
    // The folder last shown on each volume (the "current folder" of a drive), by volume root.
    QHash<QString, QString> mDriveFolders;
    // Last member of the browser's section: the controls above exist when it is set up.
    bool mBrowserReady = SetupBrowser();

public:
    // --- zip, free space, delete after action -------------------------------------------------

    // --- options ------------------------------------------------------------------------------
    ActionOptions actionOptions() const override { return m_options; }
    DeleteAfterAction deleteAfterAction() const override { return m_deleteAfter; }
    // Until the option menus own them, the options are plain state (tests set them directly).
    ActionOptions m_options;
    DeleteAfterAction m_deleteAfter = DeleteAfterAction::No;

    // --- start-up and shutdown ----------------------------------------------------------------
    // Every close of the window (Close picture, Exit, a close asked by the system, the load's
    // error path) ends the program: a running action is cancelled first, the window hidden, the
    // pack-list window's position and the browser's folder stored and put on disk, and the
    // process ends at once with status 0; nothing returns into the code that was running.
    void Form_QueryUnload();
    void closeEvent(QCloseEvent* event) override;
    // Writes "BrovletXpos" and "BrovletYpos" (whole twips as decimal text) when the position is
    // known, "LastUsedDir" when the folder is known, and puts the settings file on disk.
    static void WriteShutdownSettings(const std::optional<QPointF>& packListTopLeftTwips,
                                      const std::optional<QString>& lastUsedDir);
    bool mShuttingDown = false;

public:
    std::unique_ptr<File64> mFile64;

private:
    PackListModel m_packList;
};

} // namespace kivro
