#pragma once
// The pack-list window: the list of files Pack and Unpack work on, with its editing operations.
//
// The pack list itself is the main window's PackListModel (folder and name of each entry in one
// row, so names and folders can never drift apart); this window shows the names in selpos_lst
// and keeps the selection. It sees the main window only through PackListHost.
//
// Every operation that changes the entries does nothing while an action runs (the engine reads
// the list by index while it copies); operations that change only the selection stay live.
#include <QString>
#include <QWidget>
#include <cstdint>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace kivro {

class ClickableImage;
class PackListBox;
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

    ClickableImage* ButtonRemove_Img = nullptr;
    ClickableImage* ButtonSelectAll_Img = nullptr;
    ClickableImage* ButtonDeselectAll_Img = nullptr;
    ClickableImage* ButtonSelectInverse_Img = nullptr;
    ClickableImage* ButtonSwapUp_Img = nullptr;
    ClickableImage* ButtonSwapDown_Img = nullptr;
    ClickableImage* PackListUp_Img = nullptr;
    ClickableImage* PackListDown_Img = nullptr;

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
    QLabel* WhichFileLbl = nullptr;

    // Enables or disables selpos_lst and the six hidden command buttons together, as the main
    // window does at the start and the end of every action.
    void EnablePackListControls(bool enabled);

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
    bool busy() const;
    void RemoveSelected();
    void SelectAllEntries(bool selected);
    void InvertSelection();
    void MoveDown();
    void MoveUp();
    void setHorizontalExtent(int pixels);

    PackListHost& m_host;
};

} // namespace kivro
