#pragma once
// The main window. Its controls are members named as the design names them; its event procedures
// are member functions. The class is large, so its procedures live in several files by concern
// (kivromainfrm_<concern>.cpp); each concern keeps its members in its own section below.
#include "engine/ActionFrame.h"
#include "engine/File64.h"
#include "engine/MainWindowLink.h"
#include "engine/PackListModel.h"
#include "mainwindow/Skin.h"
#include "packlist/PackListHost.h"
#include "platform/SkinImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointF>
#include <QPushButton>
#include <QRegion>
#include <QString>
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
    // The skin picture, which stands where the classic client area began: a bar created at
    // (left, top) of the client area sits at that place on the skin.
    QWidget* progressBarParent() override { return BG_Img ? static_cast<QWidget*>(BG_Img) : this; }
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

    // Controls the frame touches (their pictures and places come with the skin).
    SkinImage* BusyIconImg = frameControl<SkinImage>("BusyIconImg", false);
    SkinImage* PackImg = frameControl<SkinImage>("PackImg", true);
    SkinImage* PackCANCELImg = frameControl<SkinImage>("PackCANCELImg", false);
    SkinImage* UnpackImg = frameControl<SkinImage>("UnpackImg", true);
    SkinImage* UnPackCANCELImg = frameControl<SkinImage>("UnPackCANCELImg", false);
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
    // The window minimised and the pack-list window hidden (created first when it does not exist
    // yet), and "Show Pack List" unchecked with it, so the menu never claims a hidden window is
    // shown.
    void MinimiseWindow();
    // Snaps the pack-list window against this window by the four docking rules (Skin.h) and
    // records the sides in the docking flags; what the "&Magnetise" item and switching "Magnet"
    // on run.
    void MagnetisePackList();
    // PackListHost: the template pictures the pack-list window copies, and the check of the
    // "Show Pack List" item (ShowBrovletMnu), set when that item exists.
    QString TemplatePicture(const QString& templateName) const override;
    void setShowPackListChecked(bool checked) override;

protected:
    // The form's own mouse events (a press on the window outside every control).
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Builds the skin once every control exists (the constructor calls it last): the window's
    // shape, font and colours, the skin pictures, and every named control at its place.
    void SetupSkin();
    SkinImage* skinTemplate(const char* name, const QString& picture);
    SkinImage* skinButton(const char* name, SkinImage* up, SkinImage* over, SkinImage* down);
    // The background's and the form's pointer rule and disarming.
    void BackgroundMouseMove();
    // The form itself took the press that is held.
    bool mFormPressed = false;

public:
    std::unique_ptr<File64> mFile64;

private:
    PackListModel m_packList;
};

} // namespace kivro
