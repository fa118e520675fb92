#include "dialogs/customfilefilterfrm.h"

#include "dialogs/DialogsGlobals.h"
#include "dialogs/DialogsHost.h"
#include "engine/MainWindowHosts.h"
#include "dialogs/PreferencesLink.h"
#include "engine/Registry.h"
#include "platform/Icon32bit.h"
#include "platform/MsgBox.h"
#include "platform/WindowHandlers.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

namespace kivro {

customfilefilterfrm* CustomFileFilterForm()
{
    static customfilefilterfrm* form = nullptr;
    if (!form)
        form = new customfilefilterfrm();
    return form;
}

namespace {

void exclamation(const QString& text)
{
    MsgBoxResult(text, vbExclamation | vbOKOnly | vbTopMost);
}

QPushButton* arrowButton(QWidget* parent, const char* name, const QString& caption, const char* picture,
                         const QRect& place)
{
    auto* button = new QPushButton(QIcon(QString::fromLatin1(picture)), caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIconSize(QSize(12, 12));
    // Enter in a text box does not press a button.
    button->setAutoDefault(false);
    button->setGeometry(place);
    return button;
}

} // namespace

// --- the shown list -------------------------------------------------------------------------

FileTypeListBox::FileTypeListBox(QWidget* parent) : QListView(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
}

int FileTypeListBox::ListCount() const
{
    return model() ? model()->rowCount() : 0;
}

bool FileTypeListBox::Selected(int row) const
{
    return model() && selectionModel()->isSelected(model()->index(row, 0));
}

void FileTypeListBox::setSelected(int row, bool selected)
{
    if (!model() || row < 0 || row >= ListCount())
        return;
    selectionModel()->select(model()->index(row, 0),
                             selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

int FileTypeListBox::SelCount() const
{
    return model() ? int(selectionModel()->selectedRows().size()) : 0;
}

void FileTypeListBox::keyPressEvent(QKeyEvent* event)
{
    bool handled = false;
    emit keyDown(event->key(), event->modifiers(), &handled);
    if (handled) {
        // The list's own search by typed character must not move the selection after the
        // window has acted on the key.
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void FileTypeListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        // A right-button press leaves the selection and the caret as they are.
        event->accept();
    } else {
        QListView::mousePressEvent(event);
    }
    emit mouseDown(event->button(), event->position().toPoint());
}

void FileTypeListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit dblClick();
}

// --- the window -----------------------------------------------------------------------------

customfilefilterfrm::customfilefilterfrm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("customfilefilterfrm"));
    setWindowTitle(QStringLiteral("Custom File Filter"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    Label1 = new QLabel(QStringLiteral("Description:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(10, 12, 80, 18);
    descr_txt = new QLineEdit(this);
    descr_txt->setObjectName(QStringLiteral("descr_txt"));
    descr_txt->setGeometry(90, 10, 250, 22);
    Label2 = new QLabel(QStringLiteral("FileType:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(10, 40, 80, 18);
    Filetype_txt = new QLineEdit(this);
    Filetype_txt->setObjectName(QStringLiteral("Filetype_txt"));
    Filetype_txt->setGeometry(90, 38, 250, 22);
    add_cmd = arrowButton(this, "add_cmd", QStringLiteral("add"), ":/dialogs/arrow_add.svg", QRect(350, 22, 84, 26));

    note_lbl = new QLabel(
        QStringLiteral("Note: You can filter more than one filetype by using a comma \",\" as a separator."), this);
    note_lbl->setObjectName(QStringLiteral("note_lbl"));
    note_lbl->setWordWrap(true);
    note_lbl->setGeometry(10, 66, 424, 32);

    packwhat_lbl = new QLabel(QStringLiteral("Current FileType:"), this);
    packwhat_lbl->setObjectName(QStringLiteral("packwhat_lbl"));
    packwhat_lbl->setGeometry(10, 104, 200, 18);
    filtertype_lst = new FileTypeListBox(this);
    filtertype_lst->setObjectName(QStringLiteral("filtertype_lst"));
    filtertype_lst->setModel(&m_filters);
    filtertype_lst->setGeometry(10, 124, 330, 170);

    remove_cmd = arrowButton(this, "remove_cmd", QStringLiteral("remove"), ":/dialogs/arrow_remove.svg",
                             QRect(350, 124, 84, 26));
    selposup_cmd = arrowButton(this, "selposup_cmd", QStringLiteral("up"), ":/dialogs/arrow_up.svg",
                               QRect(350, 156, 84, 26));
    selposdown_cmd = arrowButton(this, "selposdown_cmd", QStringLiteral("down"), ":/dialogs/arrow_down.svg",
                                 QRect(350, 188, 84, 26));
    Reset_Cmd = new QPushButton(QStringLiteral("Reset"), this);
    Reset_Cmd->setObjectName(QStringLiteral("Reset_Cmd"));
    Reset_Cmd->setAutoDefault(false);
    Reset_Cmd->setGeometry(350, 268, 84, 26);
    setFixedSize(444, 304);

    FileTypeSelPopupMnu = new QMenu(QStringLiteral("FileTypeSelPopup"), this);
    FileTypeSelPopupMnu->setObjectName(QStringLiteral("FileTypeSelPopupMnu"));
    auto item = [this](const QString& caption, const char* name, void (customfilefilterfrm::*handler)()) {
        QAction* action = FileTypeSelPopupMnu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    RemoveMnu = item(QStringLiteral("R&emove"), "RemoveMnu", &customfilefilterfrm::remove_cmd_Click);
    brkmnu01 = FileTypeSelPopupMnu->addSeparator();
    brkmnu01->setObjectName(QStringLiteral("brkmnu01"));
    MoveUpMnu = item(QStringLiteral("Move &Up"), "MoveUpMnu", &customfilefilterfrm::selposup_cmd_Click);
    MoveDownMnu = item(QStringLiteral("Move &Down"), "MoveDownMnu", &customfilefilterfrm::selposdown_cmd_Click);
    brkmnu02 = FileTypeSelPopupMnu->addSeparator();
    brkmnu02->setObjectName(QStringLiteral("brkmnu02"));
    SelAllMnu = item(QStringLiteral("Select &All"), "SelAllMnu", &customfilefilterfrm::SelAllMnu_Click);
    DelselAll = item(QStringLiteral("De&select All"), "DelselAll", &customfilefilterfrm::DelselAll_Click);

    setTabOrder(descr_txt, Filetype_txt);
    setTabOrder(Filetype_txt, add_cmd);
    setTabOrder(add_cmd, filtertype_lst);
    setTabOrder(filtertype_lst, remove_cmd);
    setTabOrder(remove_cmd, selposup_cmd);
    setTabOrder(selposup_cmd, selposdown_cmd);
    setTabOrder(selposdown_cmd, Reset_Cmd);

    connect(add_cmd, &QPushButton::clicked, this, [this] { add_cmd_Click(); });
    connect(remove_cmd, &QPushButton::clicked, this, [this] { remove_cmd_Click(); });
    connect(selposup_cmd, &QPushButton::clicked, this, [this] { selposup_cmd_Click(); });
    connect(selposdown_cmd, &QPushButton::clicked, this, [this] { selposdown_cmd_Click(); });
    connect(Reset_Cmd, &QPushButton::clicked, this, [this] { Reset_Cmd_Click(); });
    connect(filtertype_lst, &FileTypeListBox::keyDown, this,
            [this](int key, Qt::KeyboardModifiers modifiers, bool* handled) {
                *handled = filtertype_lst_KeyDown(key, modifiers);
            });
    connect(filtertype_lst, &FileTypeListBox::mouseDown, this,
            [this](Qt::MouseButton button, QPoint pos) { filtertype_lst_MouseDown(button, pos); });
    connect(filtertype_lst, &FileTypeListBox::dblClick, this, [this] { filtertype_lst_DblClick(); });
}

customfilefilterfrm::~customfilefilterfrm()
{
    // Its controls go after this body: none of their signals reaches the window from here on.
    StopWindowHandlers(*this);
}

void customfilefilterfrm::Show()
{
    Form_Load();
    descr_txt->setFocus();
    exec();
}

void customfilefilterfrm::selectOnly(int row)
{
    filtertype_lst->selectionModel()->setCurrentIndex(m_filters.index(row), QItemSelectionModel::ClearAndSelect);
}

void customfilefilterfrm::Form_Load()
{
    Icon32bit::SetFormIcons(this, QStringLiteral("AAA"), true);
    descr_txt->clear();
    Filetype_txt->setText(kFileTypeHint);
    m_filters.clear();

    // The store's reader repairs an empty count and skips gaps; a count with text after its
    // number is read to its end like any other, so that the close stores every filter.
    const FileFilterStore store = ReadFileFilterStore();
    for (const FileFilter& f : store.entries)
        m_filters.append(f.description, f.patterns);
    Registry::writeSetting(Settings::NoOfFilter, store.count);

    if (m_filters.count() == 0) {
        // Every slot was a gap, or the count holds no number.
        exclamation(kFilterStoreDamagedText);
        ResetFileFilter();
        RestoreDefaultFilters();
        return;
    }
    selectOnly(0);
}

void customfilefilterfrm::RestoreDefaultFilters()
{
    m_filters.clear();
    m_filters.append(QStringLiteral("Mpeg"), QStringLiteral("*.mpg,*.mpeg,*.mpe"));
    m_filters.append(QStringLiteral("Mp3"), QStringLiteral("*.mp3"));
    m_filters.append(QStringLiteral("All Files"), QStringLiteral("*.*"));
    selectOnly(0);
}

void customfilefilterfrm::add_cmd_Click()
{
    // Both texts exactly as typed: blanks are text.
    const QString description = descr_txt->text();
    const QString patterns = Filetype_txt->text();
    const bool noPatterns = patterns.isEmpty() || patterns == kFileTypeHint;
    if (noPatterns) {
        exclamation(description.isEmpty() ? QStringLiteral("Nothing to add.")
                                          : QStringLiteral("Please key in an appropriate FileType."));
        return;
    }
    if (description.isEmpty()) {
        exclamation(QStringLiteral("Please key in a Description."));
        return;
    }
    // The dialogs' type lists have been built by cutting a text at "|": a type holding one would
    // shift every later type.
    if (description.contains(QLatin1Char('|')) || patterns.contains(QLatin1Char('|'))) {
        exclamation(QStringLiteral("A file type cannot hold '|'."));
        return;
    }
    m_filters.append(description, patterns);
}

void customfilefilterfrm::remove_cmd_Click()
{
    if (filtertype_lst->SelCount() == 0) {
        exclamation(QStringLiteral("Nothing to remove."));
        return;
    }
    int i = 0;
    while (i < m_filters.count()) {
        if (filtertype_lst->Selected(i))
            m_filters.removeAt(i); // the next entry moves into i
        else
            ++i;
    }
}

void customfilefilterfrm::selposup_cmd_Click()
{
    if (m_filters.count() == 0 || filtertype_lst->SelCount() == 0) {
        exclamation(QStringLiteral("Nothing to swap."));
        return;
    }
    // From the top, testing the entry above after the earlier swaps: a selected block moves up
    // one place, and a block that starts at the top stays.
    for (int i = 0; i < m_filters.count(); ++i) {
        if (filtertype_lst->Selected(i) && i != 0 && !filtertype_lst->Selected(i - 1)) {
            m_filters.swap(i - 1, i);
            filtertype_lst->setSelected(i, false);
            filtertype_lst->setSelected(i - 1, true);
        }
    }
}

void customfilefilterfrm::selposdown_cmd_Click()
{
    if (m_filters.count() == 0 || filtertype_lst->SelCount() == 0) {
        exclamation(QStringLiteral("Nothing to swap."));
        return;
    }
    const int last = m_filters.count() - 1;
    for (int i = last; i >= 0; --i) {
        if (filtertype_lst->Selected(i) && i != last && !filtertype_lst->Selected(i + 1)) {
            m_filters.swap(i, i + 1);
            filtertype_lst->setSelected(i, false);
            filtertype_lst->setSelected(i + 1, true);
        }
    }
}

void customfilefilterfrm::SelAllMnu_Click()
{
    filtertype_lst->selectAll();
}

void customfilefilterfrm::DelselAll_Click()
{
    filtertype_lst->clearSelection();
}

void customfilefilterfrm::Reset_Cmd_Click()
{
    if (MsgBoxResult(QStringLiteral("Are you sure you want to reset and restore the default File Filter?"),
                     vbInformation | vbYesNo | vbDefaultButton2 | vbTopMost)
        == vbYes)
        RestoreDefaultFilters();
}

bool customfilefilterfrm::Form_Unload()
{
    if (m_filters.count() == 0) {
        exclamation(QStringLiteral("At least 1 FileType must exist!"));
        return false;
    }
    const QStringList stored = WriteFileFilterStore(m_filters.entries());
    if (DialogsHost* host = gDialogsHost)
        host->FillFileTypeBox(stored);
    if (PreferencesLink* preferences = PreferencesForm())
        preferences->setNoOfCustomFilterTxt(Registry::readSetting(Settings::NoOfFilter));
    return true;
}

bool customfilefilterfrm::filtertype_lst_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // By key alone, whatever Shift, Ctrl or Alt; minus and plus only on the numeric pad.
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (key == Qt::Key_Delete)
        remove_cmd_Click();
    else if (key == Qt::Key_Minus && keypad)
        selposup_cmd_Click();
    else if (key == Qt::Key_Plus && keypad)
        selposdown_cmd_Click();
    else
        return false;
    return true;
}

void customfilefilterfrm::filtertype_lst_MouseDown(Qt::MouseButton button, QPoint pos)
{
    if (button == Qt::RightButton)
        FileTypeSelPopupMnu->popup(filtertype_lst->viewport()->mapToGlobal(pos));
}

void customfilefilterfrm::filtertype_lst_DblClick()
{
    remove_cmd_Click();
}

void customfilefilterfrm::closeEvent(QCloseEvent* event)
{
    if (!Form_Unload()) {
        event->ignore();
        return;
    }
    event->accept();
}

void customfilefilterfrm::reject()
{
    close();
}

} // namespace kivro
