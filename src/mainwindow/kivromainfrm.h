#pragma once
// The main window. Its controls are members named as the design names them; its event procedures
// are member functions. The class is large, so its procedures live in several files by concern
// (kivromainfrm_<concern>.cpp); each concern keeps its members in its own section below.
#include "engine/ActionFrame.h"
#include "engine/File64.h"
#include "engine/MainWindowLink.h"
#include "engine/PackListModel.h"
#include "packlist/PackListHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointF>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
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

    // --- adding files and the command-line hand-off (kivromainfrm_handoff.cpp) ---------------
    // Appends every path of a hand-off command line (HandOff.h) to the pack list, in order,
    // without a message, a check or a change of the horizontal extent.
    void ShellCommandAddFiles(const QString& Command);
    // The hand-off, once: with a non-empty command line the paths go into the pack list, the
    // "Save Pack File As" dialog runs, the tip window shows unless "ShowTod" is "0", and the
    // pack-list window shows. In every case the timer is stopped for good; a second tick while
    // the dialog waits does nothing.
    void ContextMenuShell_Timer_Timer(const QString& Command);
    // Starts the one-shot hand-off timer with the program's argument text. The start-up calls
    // this once the whole start-up has run, so that no box of the start-up can let it tick
    // early.
    void ArmContextMenuShellTimer(const QString& Command);
    // One-shot, 1 ms; armed by ArmContextMenuShellTimer, never restarted after its tick.
    QTimer* ContextMenuShell_Timer = makeContextMenuShellTimer();
    QString mHandOffCommand;
    bool mHandOffDone = false;

private:
    QTimer* makeContextMenuShellTimer();

public:

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
    QListWidget* Dir1 = frameControl<QListWidget>("Dir1", true);
    QListWidget* File1 = frameControl<QListWidget>("File1", true);
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
