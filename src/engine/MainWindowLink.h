#pragma once
// The engine's one narrow view of the main window: what its algorithms read (the pack list, the
// options) and what they show (busy state, progress, labels). The main window implements it; tests
// can implement it headless. Each concern keeps its members in its own section.
#include "engine/ActionOptions.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <optional>

namespace kivro {

class PackListModel;
class File64;

class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;

    // --- pack list --------------------------------------------------------------------------
    virtual PackListModel& packList() = 0;

    // --- files --------------------------------------------------------------------------------
    // The main window's one File64 object (mFile64).
    virtual File64& file64() = 0;

    // --- action frame -------------------------------------------------------------------------
    // What the busy state, progress and cancel show on the window. Every member has a default that
    // shows nothing, so a headless caller implements only what it wants to see.
    // The window's mouse pointer is state that handlers test: 0 default, 11 hourglass (an action
    // runs), 99 the window's hand pointer (over a Cancel picture during a run).
    static constexpr int kPointerDefault = 0;
    static constexpr int kPointerHourglass = 11;
    static constexpr int kPointerHand = 99;
    virtual int mousePointer() const { return kPointerDefault; }
    virtual void setMousePointer(int /*pointer*/) {}
    // The window the progress bar of a run is a child of (nullptr: no bar is shown).
    virtual QWidget* progressBarParent() { return nullptr; }
    // BusyIconImg.
    virtual void setBusyIconVisible(bool /*visible*/) {}
    // For "pack" (PackImg, PackCANCELImg) and "unpack" (UnpackImg, UnPackCANCELImg): the Cancel
    // picture shown in place of its button, or the button shown and the Cancel picture hidden.
    virtual void setCancelPictureShown(const QString& /*actionWord*/, bool /*shown*/) {}
    // The main window's browser and save-as controls a run disables, MoreInfo_Cmd apart.
    virtual void setBrowserControlsEnabled(bool /*enabled*/) {}
    virtual void setMoreInfoEnabled(bool /*enabled*/) {}
    // The pack-list window's buttons and its list selpos_lst.
    virtual void setPackListControlsEnabled(bool /*enabled*/) {}
    // Both percentage labels (percentdone_lbl, percentdone_lbl_above96DPI): caption, redrawn at
    // once, and visibility.
    virtual void setPercentDoneCaption(const QString& /*caption*/) {}
    virtual void setPercentDoneVisible(bool /*visible*/) {}
    // TimeRemainingLbl.
    virtual void setTimeRemainingCaption(const QString& /*caption*/) {}
    virtual void setTimeRemainingVisible(bool /*visible*/) {}

    // --- MPEG information ---------------------------------------------------------------------
    // The MPEG routines use the window's pointer state (mousePointer): they show the hourglass
    // while they read and then put back the state they found.
    // The two information labels MpegInfoVideoSize_Lbl and MpegInfoVideoRate_Lbl.
    virtual void setMpegInfoVideoSize(const QString& /*text*/) {}
    virtual void setMpegInfoVideoRate(const QString& /*text*/) {}
    // The enabled state of MoreInfo_Cmd: setMoreInfoEnabled (action frame section).
    // The preview's length of the media it has open: milliseconds and frames (0 when none).
    virtual std::int64_t previewLengthMs() const { return 0; }
    virtual std::int64_t previewLengthFrames() const { return 0; }

    // The hidden list Mcheck_Lst: the signature of the first file checked in the current pack.
    QStringList Mcheck_Lst;
    // Left by EmbedMpegHeader for the unpack action: header length + 1 (the 1-based position in
    // the piece where the piece's own data begins), and whether the header went into this piece.
    std::int32_t mEmhDataStart = 0;
    bool mEmhHeaderWritten = false;
    // The start code of the last EMH source, kept with the identity of the file it was found in,
    // so that a source split into many pieces is scanned once and a changed file is scanned anew.
    struct EmhSourceScan {
        QString path;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = -1;
        std::int64_t modifiedNs = 0;
        std::int64_t changedNs = 0;
        std::optional<std::int64_t> startCode;
        bool valid = false;
    };
    EmhSourceScan mEmhSourceScan;

    // --- pack ---------------------------------------------------------------------------------
    // The text of the save-as box SaveAsNewFilename_txt: the pack's output, read once when a run
    // starts. Without a box of its own a headless caller sets the snapshot's saveAsFile.
    virtual QString saveAsNewFilename() const { return actionOptions().saveAsFile; }
    // The zip step's label ZipProcess_Lbl (caption, visibility) and its picture ZipAnimIco.
    virtual void setZipProcessCaption(const QString& /*caption*/) {}
    virtual void setZipProcessVisible(bool /*visible*/) {}
    virtual void setZipAnimVisible(bool /*visible*/) {}
    // True while the running action's zip step runs: the Cancel picture refuses to act then, and
    // the action's error handler reports failures as failures of the zip step. Set by the run
    // itself, so neither the zip menu nor the label can change what it means.
    bool mZipStepRunning = false;

    // --- zip, free space, delete after action -------------------------------------------------

    // --- unpack -------------------------------------------------------------------------------
    // The hidden list CopyrightStamping_lst: one ready batch line per copyright stamp line
    // ("@echo " and the line, or "@echo."), filled only by LoadCopyrightDataFromFile.
    QStringList CopyrightStamping_lst;
    // The unpack-to choosers the action calls when it must settle where the pieces go: the
    // custom-folder picker, and "Where File Is".
    virtual void UnpackCustomDirMnu_Click() {}
    virtual void UnpackWhereFileDirMnu_Click() {}

    // --- options the actions read -------------------------------------------------------------
    // The options in force now (the checked menu items and the save-as box).
    virtual ActionOptions actionOptions() const { return ActionOptions(); }
    // The delete-after-action choice in force now (read when an action reaches that step).
    virtual DeleteAfterAction deleteAfterAction() const { return DeleteAfterAction::No; }
};

} // namespace kivro
