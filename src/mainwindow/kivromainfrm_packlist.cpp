// The main window's side of the pack list: what the pack-list window reads and sets here.
#include "mainwindow/kivromainfrm.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/Tipfrm.h"
#include "engine/StringHelpers.h"
#include "mainwindow/commondialogbas.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"

namespace kivro {

namespace {
// File1 as the selection mirror reads it.
class ListWidgetSource : public FileListSource {
public:
    explicit ListWidgetSource(const QListWidget& list) : m_list(list) {}
    int ListCount() const override { return m_list.count(); }
    QString List(int index) const override { return m_list.item(index)->text(); }
    bool Selected(int index) const override { return m_list.item(index)->isSelected(); }

private:
    const QListWidget& m_list;
};
} // namespace

bool kivromainfrm::BusyIconVisible() const
{
    // isHidden, not isVisible: the busy state holds while the main window itself is hidden too.
    return !BusyIconImg->isHidden();
}

std::int32_t kivromainfrm::selpos_lstlentst(const QString& name)
{
    return TextWidthTwips(name);
}

void kivromainfrm::refresh_filesel_lst()
{
    kivro::refresh_filesel_lst(ListWidgetSource(*File1), filesel_lst);
}

void kivromainfrm::RefreshFileList()
{
    File1->Refresh();
    SelectFirstFileOrClearMirror();
}

TwipRect kivromainfrm::MainWindowTwips() const
{
    return windowTwips(this);
}

bool kivromainfrm::MagnetChecked() const
{
    return MagnetMnu->isChecked();
}

void kivromainfrm::EnableBottomMostFrm(bool Enable)
{
    // A tip window that is not loaded yet is loaded (not shown) on the way, as every window of
    // the group is.
    setEnabled(Enable);
    PackListForm()->setEnabled(Enable);
    TipForm()->Load();
    TipForm()->setEnabled(Enable);
}

void kivromainfrm::ShowSaveDialog(const QString& filter, const QString& title, const QString& initialFolder,
                                  const QString& purpose)
{
    commondialogbas::ShowSaveDialog(this, filter, title, initialFolder, purpose);
}

void kivromainfrm::ShowOpenDialog(const QString& filter, const QString& title, const QString& initialFolder)
{
    commondialogbas::ShowOpenDialog(this, filter, title, initialFolder);
}

void kivromainfrm::setPackListControlsEnabled(bool enabled)
{
    PackListForm()->EnablePackListControls(enabled);
}

} // namespace kivro
