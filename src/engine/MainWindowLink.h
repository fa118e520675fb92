#pragma once
// The engine's one narrow view of the main window: what its algorithms read (the pack list, the
// options) and what they show (busy state, progress, labels). The main window implements it; tests
// and benchmarks implement it headless. It holds no state: what a run keeps belongs to the run,
// the action frame or the MPEG module.
#include "engine/ActionOptions.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>

class QWidget;

namespace kivro {

class PackListModel;
class File64;

class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;

    // --- pack list and files ------------------------------------------------------------------
    virtual PackListModel& packList() = 0;
    // The main window's one File64 object (mFile64).
    virtual File64& file64() = 0;

    // --- action frame -------------------------------------------------------------------------
    // The window's mouse pointer is state that handlers test: 0 default, 11 hourglass (an action
    // runs), 99 the window's hand pointer (over a Cancel picture during a run).
    static constexpr int kPointerDefault = 0;
    static constexpr int kPointerHourglass = 11;
    static constexpr int kPointerHand = 99;
    virtual int mousePointer() const = 0;
    virtual void setMousePointer(int pointer) = 0;
    // The window the progress bar of a run is a child of (nullptr: no bar is shown), and the
    // bar's place in that window's coordinates.
    virtual QWidget* progressBarParent() = 0;
    virtual QRect progressBarPlace() const = 0;
    // BusyIconImg.
    virtual void setBusyIconVisible(bool visible) = 0;
    // For "pack" (PackImg, PackCANCELImg) and "unpack" (UnpackImg, UnPackCANCELImg): the Cancel
    // picture shown in place of its button, or the button shown and the Cancel picture hidden.
    virtual void setCancelPictureShown(const QString& actionWord, bool shown) = 0;
    // The main window's browser and save-as controls a run disables, MoreInfo_Cmd apart.
    virtual void setBrowserControlsEnabled(bool enabled) = 0;
    virtual void setMoreInfoEnabled(bool enabled) = 0;
    // The pack-list window's buttons and its list selpos_lst.
    virtual void setPackListControlsEnabled(bool enabled) = 0;
    // Both percentage labels (percentdone_lbl, percentdone_lbl_above96DPI): caption, redrawn at
    // once, and visibility.
    virtual void setPercentDoneCaption(const QString& caption) = 0;
    virtual void setPercentDoneVisible(bool visible) = 0;
    // TimeRemainingLbl.
    virtual void setTimeRemainingCaption(const QString& caption) = 0;
    virtual void setTimeRemainingVisible(bool visible) = 0;

    // --- MPEG information ---------------------------------------------------------------------
    // The MPEG routines use the window's pointer state (mousePointer): they show the hourglass
    // while they read and then put back the state they found. The enabled state of MoreInfo_Cmd
    // is setMoreInfoEnabled.
    // The two information labels MpegInfoVideoSize_Lbl and MpegInfoVideoRate_Lbl.
    virtual void setMpegInfoVideoSize(const QString& text) = 0;
    virtual void setMpegInfoVideoRate(const QString& text) = 0;
    // The preview's length of the media it has open: milliseconds and frames (0 when none).
    virtual std::int64_t previewLengthMs() const = 0;
    virtual std::int64_t previewLengthFrames() const = 0;

    // --- pack ---------------------------------------------------------------------------------
    // The text of the save-as box SaveAsNewFilename_txt: the pack's output, read once when a run
    // starts.
    virtual QString saveAsNewFilename() const = 0;
    // The zip step's label ZipProcess_Lbl (caption, visibility) and its picture ZipAnimIco.
    virtual void setZipProcessCaption(const QString& caption) = 0;
    virtual void setZipProcessVisible(bool visible) = 0;
    virtual void setZipAnimVisible(bool visible) = 0;

    // --- unpack -------------------------------------------------------------------------------
    // The hidden list CopyrightStamping_lst: one ready batch line per copyright stamp line
    // ("@echo " and the line, or "@echo."), filled only by LoadCopyrightDataFromFile.
    virtual QStringList CopyrightStamping_lst() const = 0;
    virtual void setCopyrightStamping_lst(const QStringList& lines) = 0;
    // The unpack-to choosers the action calls when it must settle where the pieces go: the
    // custom-folder picker, and "Where File Is".
    virtual void UnpackCustomDirMnu_Click() = 0;
    virtual void UnpackWhereFileDirMnu_Click() = 0;

    // --- options the actions read -------------------------------------------------------------
    // The options in force now (the checked menu items and the save-as box).
    virtual ActionOptions actionOptions() const = 0;
    // The delete-after-action choice in force now (read when an action reaches that step).
    virtual DeleteAfterAction deleteAfterAction() const = 0;
};

} // namespace kivro
