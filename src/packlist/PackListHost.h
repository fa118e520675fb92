#pragma once
// What the pack-list window needs of the main window: one narrow interface, which the main window
// implements (tests implement it with a small fake). The window never includes the main window.
#include "platform/WindowDrag.h"

#include <QString>
#include <cstdint>

namespace kivro {

class PackListModel;

class PackListHost {
public:
    virtual ~PackListHost() = default;

    // The pack list: row i holds entry i's folder (the main window's dirpos_lst, ending in "/")
    // and name (shown by selpos_lst). The same model the engine reads through MainWindowLink.
    virtual PackListModel& packList() = 0;

    // True exactly while BusyIconImg is visible, i.e. while Pack or Unpack runs.
    virtual bool BusyIconVisible() const = 0;

    // Widest-name tracking (twips): PackListMaxWidth and PackListScanWidth of the main window.
    virtual std::int32_t PackListMaxWidth() const = 0;
    virtual void setPackListMaxWidth(std::int32_t twips) = 0;
    virtual std::int32_t PackListScanWidth() const = 0;
    virtual void setPackListScanWidth(std::int32_t twips) = 0;

    // Width in twips of a name in the pack list's font (the main window's selpos_lstlentst;
    // TextWidthTwips of the engine gives exactly this).
    virtual std::int32_t selpos_lstlentst(const QString& name) = 0;

    // Rebuilds the main window's selection mirror from its file list.
    virtual void refresh_filesel_lst() = 0;

    // Enables or disables the main window, the pack-list window and the tip window around a
    // modal dialog.
    virtual void EnableBottomMostFrm(bool Enable) = 0;

    // The main window's save and open dialogs, owned by the main window, with a filter
    // ("Description|patterns|..."), a title and a starting folder (empty: where the last dialog
    // left). A confirmed path goes into the pack-list window's WhichFileLbl (the save dialog only
    // for the purpose "SavePackList"); a cancel leaves the label as it is.
    virtual void ShowSaveDialog(const QString& filter, const QString& title, const QString& initialFolder,
                                const QString& purpose)
        = 0;
    virtual void ShowOpenDialog(const QString& filter, const QString& title, const QString& initialFolder) = 0;

    // The file list File1 reads its folder again and, when it holds an entry, selects its first
    // one (as a click would: the selection mirror follows). After a dropped path was not found.
    virtual void RefreshFileList() = 0;

    // --- docking --------------------------------------------------------------------------------
    // The main window's outer position and size in twips, as the snap at the end of a drag reads
    // them.
    virtual TwipRect MainWindowTwips() const = 0;
    // Whether the main window's "Magnet" item is checked.
    virtual bool MagnetChecked() const = 0;

    // --- skin ---------------------------------------------------------------------------------
    // The picture held by one of the main window's hidden template images ("ButtonClose_Up_Img",
    // "ButtonSelectAll_Over_Img", ...): the pack-list window's Close, Select All, Deselect All and
    // Select Inverse buttons show the main window's pictures. Empty when the host has none; the
    // window then shows the skin's own picture.
    virtual QString TemplatePicture(const QString& templateName) const = 0;
    // The check mark of the main window's "Show Pack List" item, which follows whether the
    // pack-list window is shown (its Close picture hides it and clears the mark).
    virtual void setShowPackListChecked(bool checked) = 0;
};

} // namespace kivro
