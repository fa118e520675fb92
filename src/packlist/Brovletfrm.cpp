#include "packlist/Brovletfrm.h"

#include "engine/PackListModel.h"
#include "packlist/PackListBox.h"
#include "packlist/PackListHost.h"
#include "packlist/QuickSort.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/SkinImage.h"
#include "platform/WindowHandlers.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <cerrno>
#include <cmath>
#include <sys/stat.h>

namespace kivro {

namespace {

// Names wider than this (twips) give the list a horizontal extent.
constexpr std::int32_t kExtentThreshold = 3800;
// Rows moved by one click of a scroll image.
constexpr int kScrollRows = 5;

constexpr int kBoxStyle = vbExclamation | vbOKOnly | vbTopMost;

} // namespace

bool IsLostPackListEntry(const QString& fullPath)
{
    if (paths::nameOf(fullPath).startsWith(QLatin1Char('.')))
        return true;
    struct stat st {};
    if (!paths::statPath(fullPath, &st))
        return errno == ENOENT || errno == ENOTDIR;
    return !S_ISREG(st.st_mode);
}

Brovletfrm::Brovletfrm(PackListHost& host, QWidget* parent) : QWidget(parent, Qt::Window), m_host(host)
{
    setWindowTitle(QStringLiteral("Pack List"));

    selpos_lst = new PackListBox(this);
    selpos_lst->setObjectName(QStringLiteral("selpos_lst"));
    selpos_lst->setPackList(&m_host.packList());

    WhichFileLbl = new QLabel(this);
    WhichFileLbl->setObjectName(QStringLiteral("WhichFileLbl"));
    WhichFileLbl->hide();

    auto image = [this](const char* name, const QString& tip) {
        auto* img = new SkinImage(this);
        img->setObjectName(QString::fromLatin1(name));
        img->setToolTip(tip);
        return img;
    };
    ButtonRemove_Img = image("ButtonRemove_Img", QStringLiteral("Remove"));
    ButtonSelectAll_Img = image("ButtonSelectAll_Img", QStringLiteral("Select All"));
    ButtonDeselectAll_Img = image("ButtonDeselectAll_Img", QStringLiteral("Deselect All"));
    ButtonSelectInverse_Img = image("ButtonSelectInverse_Img", QStringLiteral("Select Inverse"));
    ButtonSwapUp_Img = image("ButtonSwapUp_Img", QStringLiteral("Move Up"));
    ButtonSwapDown_Img = image("ButtonSwapDown_Img", QStringLiteral("Move Down"));
    PackListUp_Img = image("PackListUp_Img", QStringLiteral("Scroll Up"));
    PackListDown_Img = image("PackListDown_Img", QStringLiteral("Scroll Down"));

    auto command = [this](const char* name) {
        auto* cmd = new QPushButton(QString::fromLatin1(name), this);
        cmd->setObjectName(QString::fromLatin1(name));
        cmd->hide();
        return cmd;
    };
    RemoveFileFromList_Cmd = command("RemoveFileFromList_Cmd");
    SelAll_Cmd = command("SelAll_Cmd");
    DeSelAll_Cmd = command("DeSelAll_Cmd");
    InvSel_Cmd = command("InvSel_Cmd");
    selposup_cmd = command("selposup_cmd");
    selposdown_cmd = command("selposdown_cmd");

    PackWhatSelPopupMnu = new QMenu(this);
    PackWhatSelPopupMnu->setObjectName(QStringLiteral("PackWhatSelPopupMnu"));
    auto item = [this](const char* name, const QString& caption) {
        QAction* a = PackWhatSelPopupMnu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    auto separator = [this](const char* name) {
        QAction* a = PackWhatSelPopupMnu->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    RemovePackWhatSelPopupMnu = item("RemovePackWhatSelPopupMnu", QStringLiteral("R&emove"));
    brkmnu01 = separator("brkmnu01");
    MoveUpPackWhatSelPopupMnu = item("MoveUpPackWhatSelPopupMnu", QStringLiteral("Move &Up"));
    MoveDownPackWhatSelPopupMnu = item("MoveDownPackWhatSelPopupMnu", QStringLiteral("Move &Down"));
    brkmnu02 = separator("brkmnu02");
    SelectAllPackWhatSelPopupMnu = item("SelectAllPackWhatSelPopupMnu", QStringLiteral("Select &All"));
    DeselectAllPackWhatSelPopupMnu = item("DeselectAllPackWhatSelPopupMnu", QStringLiteral("De&select All"));
    InvSelPackWhatSelPopupMnu = item("InvSelPackWhatSelPopupMnu", QStringLiteral("&Inverse Select"));
    brkmnu03 = separator("brkmnu03");
    ClearLostLinkPackWhatSelPopupMnu = item("ClearLostLinkPackWhatSelPopupMnu", QStringLiteral("Clear &Lost Link"));

    connect(ButtonRemove_Img, &SkinImage::clicked, this, &Brovletfrm::ButtonRemove_Img_Click);
    connect(ButtonSelectAll_Img, &SkinImage::clicked, this, &Brovletfrm::ButtonSelectAll_Img_Click);
    connect(ButtonDeselectAll_Img, &SkinImage::clicked, this, &Brovletfrm::ButtonDeselectAll_Img_Click);
    connect(ButtonSelectInverse_Img, &SkinImage::clicked, this, &Brovletfrm::ButtonSelectInverse_Img_Click);
    connect(ButtonSwapUp_Img, &SkinImage::clicked, this, &Brovletfrm::ButtonSwapUp_Img_Click);
    connect(ButtonSwapDown_Img, &SkinImage::clicked, this, &Brovletfrm::ButtonSwapDown_Img_Click);
    connect(PackListUp_Img, &SkinImage::clicked, this, &Brovletfrm::PackListUp_Img_Click);
    connect(PackListDown_Img, &SkinImage::clicked, this, &Brovletfrm::PackListDown_Img_Click);

    connect(RemoveFileFromList_Cmd, &QPushButton::clicked, this, &Brovletfrm::RemoveFileFromList_Cmd_Click);
    connect(SelAll_Cmd, &QPushButton::clicked, this, &Brovletfrm::SelAll_Cmd_Click);
    connect(DeSelAll_Cmd, &QPushButton::clicked, this, &Brovletfrm::DeSelAll_Cmd_Click);
    connect(InvSel_Cmd, &QPushButton::clicked, this, &Brovletfrm::InvSel_Cmd_Click);
    connect(selposup_cmd, &QPushButton::clicked, this, &Brovletfrm::selposup_cmd_Click);
    connect(selposdown_cmd, &QPushButton::clicked, this, &Brovletfrm::selposdown_cmd_Click);

    connect(RemovePackWhatSelPopupMnu, &QAction::triggered, this, &Brovletfrm::RemovePackWhatSelPopupMnu_Click);
    connect(MoveUpPackWhatSelPopupMnu, &QAction::triggered, this, &Brovletfrm::MoveUpPackWhatSelPopupMnu_Click);
    connect(MoveDownPackWhatSelPopupMnu, &QAction::triggered, this, &Brovletfrm::MoveDownPackWhatSelPopupMnu_Click);
    connect(SelectAllPackWhatSelPopupMnu, &QAction::triggered, this, &Brovletfrm::SelectAllPackWhatSelPopupMnu_Click);
    connect(DeselectAllPackWhatSelPopupMnu, &QAction::triggered, this,
            &Brovletfrm::DeselectAllPackWhatSelPopupMnu_Click);
    connect(InvSelPackWhatSelPopupMnu, &QAction::triggered, this, &Brovletfrm::InvSelPackWhatSelPopupMnu_Click);
    connect(ClearLostLinkPackWhatSelPopupMnu, &QAction::triggered, this,
            &Brovletfrm::ClearLostLinkPackWhatSelPopupMnu_Click);

    connect(selpos_lst, &PackListBox::keyDown, this, &Brovletfrm::selpos_lst_KeyDown);
    connect(selpos_lst, &PackListBox::dblClick, this, &Brovletfrm::selpos_lst_DblClick);
    connect(selpos_lst, &PackListBox::mouseDown, this, &Brovletfrm::selpos_lst_MouseDown);
    connect(selpos_lst, &PackListBox::mouseMove, this, &Brovletfrm::selpos_lst_MouseMove);
    connect(selpos_lst, &PackListBox::oleDragDrop, this, &Brovletfrm::selpos_lst_OLEDragDrop);
    SetupSkin();
}

Brovletfrm::~Brovletfrm()
{
    // Its controls go after this body: from here on nothing of theirs calls into the window (the
    // drag surfaces, and every handler connected to a control's signal).
    StopWindowHandlers(*this);
}

PackListModel& Brovletfrm::packList() const
{
    return m_host.packList();
}

bool Brovletfrm::busy() const
{
    return m_host.BusyIconVisible();
}

void Brovletfrm::EnablePackListControls(bool enabled)
{
    for (QWidget* w :
         {static_cast<QWidget*>(selpos_lst), static_cast<QWidget*>(RemoveFileFromList_Cmd),
          static_cast<QWidget*>(SelAll_Cmd), static_cast<QWidget*>(DeSelAll_Cmd), static_cast<QWidget*>(InvSel_Cmd),
          static_cast<QWidget*>(selposup_cmd), static_cast<QWidget*>(selposdown_cmd)})
        w->setEnabled(enabled);
}

// --- widest-name tracking ---------------------------------------------------------------------

int Brovletfrm::ExtentForWidth(std::int32_t twips)
{
    return twipsToPixels(twips) + 10;
}

void Brovletfrm::setHorizontalExtent(int pixels)
{
    selpos_lst->setHorizontalExtent(pixels);
}

void Brovletfrm::ApplyAddRule(const QString& name)
{
    const std::int32_t width = m_host.selpos_lstlentst(name);
    if (width > kExtentThreshold && width > m_host.PackListMaxWidth()) {
        setHorizontalExtent(ExtentForWidth(width));
        m_host.setPackListMaxWidth(width);
    }
}

void Brovletfrm::MeasureNamesAgain()
{
    const PackListModel& list = packList();
    std::int32_t widest = 0;
    for (int i = 0; i < list.count(); ++i)
        widest = std::max(widest, m_host.selpos_lstlentst(list.name(i)));
    m_host.setPackListScanWidth(widest);
    if (widest > kExtentThreshold) {
        setHorizontalExtent(ExtentForWidth(widest));
        m_host.setPackListMaxWidth(widest);
        m_host.setPackListScanWidth(0);
    } else {
        m_host.setPackListMaxWidth(0);
        setHorizontalExtent(0);
    }
}

// --- remove, select -----------------------------------------------------------------------------

void Brovletfrm::RemoveSelected()
{
    if (busy())
        return;
    const int count = selpos_lst->ListCount();
    QVector<int> rows;
    for (int i = 0; i < count; ++i)
        if (selpos_lst->Selected(i))
            rows << i;
    if (rows.isEmpty()) {
        MsgBoxResult(QStringLiteral("Nothing to remove."), kBoxStyle);
        return;
    }
    // Removing the entry that set the extent measures the remaining names again. Until the first
    // such removal PackListMaxWidth does not change, and every later measuring ends in the
    // measure of what finally remains, so one measuring after all removals gives the same state.
    const std::int32_t maxWidth = m_host.PackListMaxWidth();
    bool widestRemoved = false;
    for (int row : rows) {
        if (m_host.selpos_lstlentst(packList().name(row)) == maxWidth) {
            widestRemoved = true;
            break;
        }
    }
    packList().removeEntries(rows);
    if (widestRemoved)
        MeasureNamesAgain();
}

void Brovletfrm::SelectAllEntries(bool selected)
{
    const int count = selpos_lst->ListCount();
    if (count == 0 || !selpos_lst->selectionModel())
        return;
    const QItemSelection all(packList().index(0), packList().index(count - 1));
    selpos_lst->selectionModel()->select(all, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void Brovletfrm::InvertSelection()
{
    const int count = selpos_lst->ListCount();
    if (count == 0 || !selpos_lst->selectionModel())
        return;
    const QItemSelection all(packList().index(0), packList().index(count - 1));
    selpos_lst->selectionModel()->select(all, QItemSelectionModel::Toggle);
}

void Brovletfrm::ButtonRemove_Img_Click()
{
    RemoveSelected();
}
void Brovletfrm::RemoveFileFromList_Cmd_Click()
{
    RemoveSelected();
}
void Brovletfrm::RemovePackWhatSelPopupMnu_Click()
{
    RemoveFileFromList_Cmd_Click();
}

void Brovletfrm::ButtonSelectAll_Img_Click()
{
    SelectAllEntries(true);
}
void Brovletfrm::SelAll_Cmd_Click()
{
    SelectAllEntries(true);
}
void Brovletfrm::SelectAllPackWhatSelPopupMnu_Click()
{
    SelAll_Cmd_Click();
}

void Brovletfrm::ButtonDeselectAll_Img_Click()
{
    SelectAllEntries(false);
}
void Brovletfrm::DeSelAll_Cmd_Click()
{
    SelectAllEntries(false);
}
void Brovletfrm::DeselectAllPackWhatSelPopupMnu_Click()
{
    DeSelAll_Cmd_Click();
}

void Brovletfrm::ButtonSelectInverse_Img_Click()
{
    InvertSelection();
}
void Brovletfrm::InvSel_Cmd_Click()
{
    InvertSelection();
}
void Brovletfrm::InvSelPackWhatSelPopupMnu_Click()
{
    InvSel_Cmd_Click();
}

// --- clear lost links, clear all ----------------------------------------------------------------

void Brovletfrm::ClearLostLinkPackWhatSelPopupMnu_Click()
{
    if (busy())
        return;
    DeSelAll_Cmd_Click();
    const int count = selpos_lst->ListCount();
    for (int i = 0; i < count; ++i)
        if (IsLostPackListEntry(packList().fullPath(i)))
            selpos_lst->setSelected(i, true);
    RemoveFileFromList_Cmd_Click();
    m_host.refresh_filesel_lst();
}

void Brovletfrm::ClearPackList()
{
    if (busy() || packList().count() == 0)
        return;
    packList().clear();
    m_host.setPackListScanWidth(0);
    m_host.setPackListMaxWidth(0);
    setHorizontalExtent(0);
}

// --- scrolling ----------------------------------------------------------------------------------

void Brovletfrm::PackListDown_Img_Click()
{
    if (selpos_lst->ListCount() < 1 || busy())
        return;
    const int top = selpos_lst->TopIndex() + kScrollRows;
    // A top index past the last entry is refused by the list; the click then does nothing.
    if (top > selpos_lst->ListCount() - 1)
        return;
    selpos_lst->setTopIndex(top);
}

void Brovletfrm::PackListUp_Img_Click()
{
    if (busy())
        return;
    const int top = selpos_lst->TopIndex();
    // A top index of 1 to 4 stays: the first rows are reached with the scroll bar.
    if (top >= kScrollRows)
        selpos_lst->setTopIndex(top - kScrollRows);
}

// --- moves --------------------------------------------------------------------------------------

void Brovletfrm::MoveDown()
{
    if (busy())
        return;
    PackListModel& list = packList();
    if (list.count() == 0 || selpos_lst->SelCount() == 0) {
        MsgBoxResult(QStringLiteral("Nothing to swap."), kBoxStyle);
        return;
    }
    const int last = list.count() - 1;
    if (selpos_lst->ListIndex() >= last)
        return;
    // From the bottom, so a run of selected entries moves as a block past its lower neighbour.
    for (int i = last; i >= 0; --i) {
        if (selpos_lst->Selected(i) && i != list.count() - 1 && !selpos_lst->Selected(i + 1)) {
            list.swap(i, i + 1);
            selpos_lst->setSelected(i, false);
            selpos_lst->setSelected(i + 1, true);
        }
    }
}

void Brovletfrm::MoveUp()
{
    if (busy())
        return;
    PackListModel& list = packList();
    if (list.count() == 0 || selpos_lst->SelCount() == 0) {
        MsgBoxResult(QStringLiteral("Nothing to swap."), kBoxStyle);
        return;
    }
    if (selpos_lst->ListIndex() <= 0)
        return;
    const int last = list.count() - 1;
    // From the top, so a run of selected entries moves as a block past its upper neighbour.
    for (int i = 0; i <= last; ++i) {
        if (selpos_lst->Selected(i) && i != 0 && !selpos_lst->Selected(i - 1)) {
            list.swap(i - 1, i);
            selpos_lst->setSelected(i, false);
            selpos_lst->setSelected(i - 1, true);
        }
    }
}

void Brovletfrm::ButtonSwapDown_Img_Click()
{
    MoveDown();
}
void Brovletfrm::selposdown_cmd_Click()
{
    MoveDown();
}
void Brovletfrm::MoveDownPackWhatSelPopupMnu_Click()
{
    selposdown_cmd_Click();
}
void Brovletfrm::ButtonSwapUp_Img_Click()
{
    MoveUp();
}
void Brovletfrm::selposup_cmd_Click()
{
    MoveUp();
}
void Brovletfrm::MoveUpPackWhatSelPopupMnu_Click()
{
    selposup_cmd_Click();
}

// --- sorting ------------------------------------------------------------------------------------

void Brovletfrm::CopyListsToSortArrays()
{
    const PackListModel& list = packList();
    SortNames.clear();
    SortFolders.clear();
    SortNames.reserve(list.count());
    SortFolders.reserve(list.count());
    for (int i = 0; i < list.count(); ++i) {
        SortNames << list.name(i);
        SortFolders << list.folder(i);
    }
}

void Brovletfrm::SortPackList(bool ascending)
{
    // Like every other change of the entries, not while an action reads them.
    if (busy() || selpos_lst->ListCount() == 0)
        return;
    CopyListsToSortArrays();
    const auto hi = std::int32_t(SortNames.size() - 1);
    if (ascending)
        QuickSort::QuickSortAscending(SortNames, SortFolders, 0, hi);
    else
        QuickSort::QuickSortDescending(SortNames, SortFolders, 0, hi);
    QVector<PackListEntry> sorted;
    sorted.reserve(SortNames.size());
    for (qsizetype i = 0; i < SortNames.size(); ++i)
        sorted.append(PackListEntry{SortFolders.at(i), SortNames.at(i)});
    // The list is filled anew: nothing selected, the first entry at the top. The names are the
    // same, so the extent and the widest-name width stay.
    packList().setEntries(std::move(sorted));
    selpos_lst->setTopIndex(0);
}

void Brovletfrm::ButtonAscending_Img_Click()
{
    SortPackList(true);
}
void Brovletfrm::ButtonDescending_Img_Click()
{
    SortPackList(false);
}

// --- the list's events --------------------------------------------------------------------------

int Brovletfrm::RowUnderPointer(const QPoint& pos) const
{
    const QModelIndex index = selpos_lst->indexAt(pos);
    return index.isValid() ? index.row() : selpos_lst->ListCount();
}

void Brovletfrm::selpos_lst_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // By key alone, whatever Shift, Ctrl or Alt; plus and minus only on the numeric pad.
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (key == Qt::Key_Delete)
        RemoveFileFromList_Cmd_Click();
    else if (key == Qt::Key_Minus && keypad)
        selposup_cmd_Click();
    else if (key == Qt::Key_Plus && keypad)
        selposdown_cmd_Click();
}

void Brovletfrm::selpos_lst_DblClick()
{
    RemoveFileFromList_Cmd_Click();
}

void Brovletfrm::selpos_lst_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos)
{
    if (button != Qt::RightButton)
        return;
    const bool onEntry = RowUnderPointer(pos) < selpos_lst->ListCount();
    RemovePackWhatSelPopupMnu->setVisible(onEntry);
    brkmnu01->setVisible(onEntry);
    SelectAllPackWhatSelPopupMnu->setVisible(true);
    DeselectAllPackWhatSelPopupMnu->setVisible(true);
    InvSelPackWhatSelPopupMnu->setVisible(true);
    brkmnu02->setVisible(true);
    ClearLostLinkPackWhatSelPopupMnu->setVisible(true);
    PackWhatSelPopupMnu->popup(selpos_lst->viewport()->mapToGlobal(pos));
}

void Brovletfrm::selpos_lst_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, QPoint pos)
{
    const int row = RowUnderPointer(pos);
    selpos_lst->setToolTip(row < packList().count() ? packList().fullPath(row) : QString());
    ResetButtonImages();
}

} // namespace kivro
