#pragma once
// The pack-list window: the list of files Pack and Unpack work on, with its editing operations.
//
// The pack list itself is the main window's PackListModel (folder and name of each entry in one
// row, so names and folders can never drift apart); this window shows the names in selpos_lst
// and keeps the selection. It sees the main window only through PackListHost.
//
// Every operation that changes the entries does nothing while an action runs (the engine reads
// the list by index while it copies); operations that change only the selection stay live.
#include "platform/Twips.h"
#include "platform/WindowDrag.h"

#include <QRegion>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>

class QAction;
class QLabel;
class QMimeData;
class QMenu;
class QPushButton;

namespace kivro {

class PackListBox;
class SkinImage;
class PackListHost;
class PackListModel;

// True when a pack-list entry's file is gone: looking up its exact path fails with "no such
// file" or "not a directory", finds something that is not a regular file (after following
// links), or its name starts with ".". Any other failure (no search permission, an I/O error, a
// stale network handle, a loop of links) keeps the entry.
bool IsLostPackListEntry(const QString& fullPath);

class Brovletfrm : public QWidget {
    Q_OBJECT
public:
    explicit Brovletfrm(PackListHost& host, QWidget* parent = nullptr);
    ~Brovletfrm() override;

    PackListHost& host() const { return m_host; }
    PackListModel& packList() const;

    // --- controls -----------------------------------------------------------------------------
    PackListBox* selpos_lst = nullptr;

    SkinImage* ButtonRemove_Img = nullptr;
    SkinImage* ButtonSelectAll_Img = nullptr;
    SkinImage* ButtonDeselectAll_Img = nullptr;
    SkinImage* ButtonSelectInverse_Img = nullptr;
    SkinImage* ButtonSwapUp_Img = nullptr;
    SkinImage* ButtonSwapDown_Img = nullptr;
    SkinImage* PackListUp_Img = nullptr;
    SkinImage* PackListDown_Img = nullptr;

    // Hidden command buttons; the main window disables them (and selpos_lst) while busy.
    QPushButton* RemoveFileFromList_Cmd = nullptr;
    QPushButton* SelAll_Cmd = nullptr;
    QPushButton* DeSelAll_Cmd = nullptr;
    QPushButton* InvSel_Cmd = nullptr;
    QPushButton* selposup_cmd = nullptr;
    QPushButton* selposdown_cmd = nullptr;

    QMenu* PackWhatSelPopupMnu = nullptr;
    QAction* RemovePackWhatSelPopupMnu = nullptr;
    QAction* brkmnu01 = nullptr;
    QAction* MoveUpPackWhatSelPopupMnu = nullptr;
    QAction* MoveDownPackWhatSelPopupMnu = nullptr;
    QAction* brkmnu02 = nullptr;
    QAction* SelectAllPackWhatSelPopupMnu = nullptr;
    QAction* DeselectAllPackWhatSelPopupMnu = nullptr;
    QAction* InvSelPackWhatSelPopupMnu = nullptr;
    QAction* brkmnu03 = nullptr;
    QAction* ClearLostLinkPackWhatSelPopupMnu = nullptr;

    // Never shown: receives the path confirmed in the open and save dialogs of pack-list files.
    // Empty outside Save and LoadPackListFile; empty after a dialog means nothing was chosen.
    QLabel* WhichFileLbl = nullptr;

    // --- sorting --------------------------------------------------------------------------------
    // The names and folders of the last sort, entry i in element i; kept until the next sort.
    QStringList SortNames;
    QStringList SortFolders;
    // Fills SortNames and SortFolders from the pack list, discarding what they held.
    void CopyListsToSortArrays();

    // Enables or disables selpos_lst and the six hidden command buttons together, as the main
    // window does at the start and the end of every action.
    void EnablePackListControls(bool enabled);

    // --- skin ---------------------------------------------------------------------------------
    // The skinned window (Brovletfrm_skin.cpp). It has no system frame: it keeps the classic
    // outer size of 322 x 293 (dialog frame and caption included), which the docking rules
    // assume, and is cut to a rounded rectangle of 316 x 268 pixels at the frame offset (3, 22),
    // where the skin picture BG_Img lies; every control has its place on it
    // (BrovletSkinLayout.h). Close, Select All, Deselect All and Select Inverse show the main
    // window's template pictures (PackListHost::TemplatePicture).
    QRegion mSkinRegion;
    SkinImage* BG_Img = nullptr;
    SkinImage* KivroIcon_Img = nullptr;
    QLabel* TesmaKivroCaption = nullptr;
    SkinImage* BrovletMenu_Save_Img = nullptr;
    SkinImage* BrovletMenu_Load_Img = nullptr;
    SkinImage* BrovletMenu_Append_Img = nullptr;
    SkinImage* BrovletMenu_Clear_Img = nullptr;
    SkinImage* ButtonClose_Img = nullptr;
    SkinImage* ButtonAscending_Img = nullptr;
    SkinImage* ButtonDescending_Img = nullptr;
    // Hidden templates that hold the window's own button pictures.
    SkinImage* ButtonAscending_Up_Img = nullptr;
    SkinImage* ButtonAscending_Over_Img = nullptr;
    SkinImage* ButtonAscending_Down_Img = nullptr;
    SkinImage* ButtonDescending_Up_Img = nullptr;
    SkinImage* ButtonDescending_Over_Img = nullptr;
    SkinImage* ButtonDescending_Down_Img = nullptr;
    SkinImage* ButtonRemove_Up_Img = nullptr;
    SkinImage* ButtonRemove_Over_Img = nullptr;
    SkinImage* ButtonRemove_Down_Img = nullptr;
    SkinImage* ButtonSwapUp_Up_Img = nullptr;
    SkinImage* ButtonSwapUp_Down_Img = nullptr;
    SkinImage* ButtonSwapDown_Up_Img = nullptr;
    SkinImage* ButtonSwapDown_Down_Img = nullptr;

    // The window's region for a scale and the frame offsets (pixels), with the screen's twips
    // per pixel: a rounded rectangle from (offsetX, offsetY), 316 x 268 skin pixels with
    // 14-pixel corners, each size scaled by scale * 15 / twips per pixel and rounded to whole
    // pixels, halves to even.
    static QRegion CreateSkinRegion(float scaleX, float scaleY, std::int16_t offsetX, std::int16_t offsetY,
                                    double twipsPerPixelX = kTwipsPerPixel, double twipsPerPixelY = kTwipsPerPixel);
    // Every button with an over picture back to its up picture: ButtonClose_Img, ButtonRemove_Img,
    // ButtonSelectAll_Img, ButtonDeselectAll_Img, ButtonSelectInverse_Img, ButtonAscending_Img,
    // ButtonDescending_Img (the two move buttons have none).
    void ResetButtonImages();
    // The release of Close (wherever the pointer is): unless an action runs, the window is hidden
    // (it keeps its list) and the main window's "Show Pack List" loses its check.
    void ButtonClose_Img_MouseUp();
    void BrovletMenu_Clear_Img_Click();

    // --- dragging and docking (Brovletfrm_skin.cpp) ---------------------------------------------
    // The window has no frame: it is dragged by its drag surfaces, BG_Img, the form itself,
    // KivroIcon_Img and TesmaKivroCaption, with any mouse button. X and Y are twips relative to
    // the surface, worked out from the pointer's global position.
    //
    // The press: remembers X and Y (whole twips, halves to even), starts the drag and clears all
    // four docking flags (the window is no longer attached to the main window).
    void BeginFormDrag(float X, float Y);
    // A move: only while dragging, the window moves by X and Y less the press position, so the
    // pressed point stays under the pointer; its size does not change.
    void DragFormMove(float X, float Y);
    // The release: ends the drag; then, while the main window's "Magnet" is checked, snaps the
    // window against the main window (the rules whose flag is already set are skipped), sets the
    // flags of the rules that acted and moves the window once to the result.
    void ActivateMagnet();
    bool dragging() const { return mDrag.dragging; }

    // --- dropping files (Brovletfrm_drop.cpp) ---------------------------------------------------
    // A drop on the list: unless an action runs, each local file path of the drop's URL list, in
    // order, is examined once (following links). A folder is refused with "'<path>' is a
    // directory. Filename skipped." and the drop goes on; anything else is appended at the end of
    // the pack list (folder up to and including the last "/", name the rest) and the add rule
    // runs. A path that cannot be examined gives "'<path>' was not found!", the main window's
    // file list is read again, and the drop ends there (entries added before stay). Other URLs
    // are ignored; nothing is selected and there is no duplicate or type check.
    void selpos_lst_OLEDragDrop(const QMimeData* Data);

    // --- pack-list files (Brovletfrm_file.cpp) -------------------------------------------------
    // Save: unless an action runs, writes the list to the file chosen in "Save Pack List As"
    // ("Nothing to save." for an empty list). The old file is replaced only when the whole new
    // one is written; a failure asks "Cannot overwrite" with Retry (writes it all again) and
    // Cancel (the old file stays as it was).
    void BrovletMenu_Save_Img_Click();
    // Load and Append: unless an action runs, LoadPackListFile with replace true or false.
    void BrovletMenu_Load_Img_Click();
    void BrovletMenu_Append_Img_Click();
    // Reads the file chosen in "Load which Pack List?" or "Append which Pack List?" whole, then
    // puts its entries in place of the list (replace) or after it. A file that cannot be read
    // leaves the list as it was, with "Cannot read". The widest-name tracking is not applied.
    void LoadPackListFile(bool replace);

    // --- widest-name tracking -------------------------------------------------------------------
    // The add rule, for the main window's add and the drop, after the entry was appended: a name
    // wider than 3,800 twips and wider than PackListMaxWidth sets the horizontal extent from its
    // width and becomes PackListMaxWidth.
    void ApplyAddRule(const QString& name);
    // Measures every name again (after the widest was removed): the extent and PackListMaxWidth
    // follow the widest remaining name above 3,800 twips, else both become 0.
    void MeasureNamesAgain();
    // The horizontal extent in pixels for a width in twips: width / 15 + 10, halves to even.
    static int ExtentForWidth(std::int32_t twips);

    // The row under a point of the list's viewport; the number of entries when the point is not
    // on an entry.
    int RowUnderPointer(const QPoint& pos) const;

public slots:
    // Remove selected
    void ButtonRemove_Img_Click();
    void RemoveFileFromList_Cmd_Click();
    void RemovePackWhatSelPopupMnu_Click();
    // Select all, deselect all, invert
    void ButtonSelectAll_Img_Click();
    void SelAll_Cmd_Click();
    void SelectAllPackWhatSelPopupMnu_Click();
    void ButtonDeselectAll_Img_Click();
    void DeSelAll_Cmd_Click();
    void DeselectAllPackWhatSelPopupMnu_Click();
    void ButtonSelectInverse_Img_Click();
    void InvSel_Cmd_Click();
    void InvSelPackWhatSelPopupMnu_Click();
    // Clear lost links, clear all
    void ClearLostLinkPackWhatSelPopupMnu_Click();
    void ClearPackList();
    // Scrolling by five rows
    void PackListDown_Img_Click();
    void PackListUp_Img_Click();
    // Sorting by name; each folder moves with its name
    void ButtonAscending_Img_Click();
    void ButtonDescending_Img_Click();
    // Moves
    void ButtonSwapDown_Img_Click();
    void selposdown_cmd_Click();
    void MoveDownPackWhatSelPopupMnu_Click();
    void ButtonSwapUp_Img_Click();
    void selposup_cmd_Click();
    void MoveUpPackWhatSelPopupMnu_Click();
    // The list's own events
    void selpos_lst_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void selpos_lst_DblClick();
    void selpos_lst_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void selpos_lst_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);

private:
    void SetupSkin();
    // What a drag surface's press, move and release do; moves over BG_Img and the form also put
    // the buttons back to their up pictures, moves over the icon and the caption do not.
    DragHandlers dragSurface(bool resetsButtons);
    bool busy() const;
    void RemoveSelected();
    void SelectAllEntries(bool selected);
    void InvertSelection();
    void MoveDown();
    void MoveUp();
    void SortPackList(bool ascending);
    void setHorizontalExtent(int pixels);

    PackListHost& m_host;
    WindowDrag mDrag;
};

} // namespace kivro
