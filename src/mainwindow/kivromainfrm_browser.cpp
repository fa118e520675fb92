// The main window's file browser: the drive list, the folder list, the file list with its type
// box, the folder label, the selection mirror, the file list's popup menu and its size tooltip.
#include "mainwindow/kivromainfrm.h"

#include "engine/File64.h"
#include "engine/Mpeg.h"
#include "engine/Registry.h"
#include "engine/StringHelpers.h"
#include "mainwindow/Launchers.h"
#include "mainwindow/MainGlobals.h"
#include "platform/MsgBox.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Shell.h"
#include "preview/PreviewGlobals.h"

#include <QDir>
#include <QFileInfo>
#include <QItemSelection>
#include <QSignalBlocker>

namespace kivro {

namespace {

// The widest the folder label may show a folder, in twips.
constexpr std::int32_t kFolderLabelTwips = 3800;

QStringList volumeRoots(const QComboBox& drives)
{
    QStringList roots;
    for (int i = 0; i < drives.count(); ++i)
        roots << drives.itemData(i).toString();
    return roots;
}

} // namespace

void kivromainfrm::SetupBrowser()
{
    seldirfulltmp_lbl->setObjectName(QStringLiteral("seldirfulltmp_lbl"));
    seldirfulltmp_lbl->hide();
    seldir_lbl->setObjectName(QStringLiteral("seldir_lbl"));

    FileSelPopupMnu = new QMenu(this);
    FileSelPopupMnu->setObjectName(QStringLiteral("FileSelPopupMnu"));
    auto item = [this](const char* name, const QString& caption) {
        QAction* a = FileSelPopupMnu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    auto separator = [this](const char* name) {
        QAction* a = FileSelPopupMnu->addSeparator();
        a->setObjectName(QLatin1String(name));
        return a;
    };
    AddFileSelPopupMnu = item("AddFileSelPopupMnu", QStringLiteral("&Add"));
    brkmnu09 = separator("brkmnu09");
    SelectAllFileSelPopupMnu = item("SelectAllFileSelPopupMnu", QStringLiteral("Select &All"));
    DeselectAllFileSelPopupMnu = item("DeselectAllFileSelPopupMnu", QStringLiteral("De&select All"));
    InvSelFilePopupMnu = item("InvSelFilePopupMnu", QStringLiteral("&Inverse Select"));
    brkmnu10 = separator("brkmnu10");
    RefreshFileSelPopupMnu = item("RefreshFileSelPopupMnu", QStringLiteral("Re&fresh"));
    brkmnu11 = separator("brkmnu11");
    PlayMpegFileSelPopupMnu = item("PlayMpegFileSelPopupMnu", QStringLiteral("&Play"));
    FilePropertiesFileSelPopupMnu = item("FilePropertiesFileSelPopupMnu", QStringLiteral("P&roperties"));

    connect(AddFileSelPopupMnu, &QAction::triggered, this, [this] { AddFileSelPopupMnu_Click(); });
    connect(SelectAllFileSelPopupMnu, &QAction::triggered, this, [this] { SelectAllFileSelPopupMnu_Click(); });
    connect(DeselectAllFileSelPopupMnu, &QAction::triggered, this, [this] { DeselectAllFileSelPopupMnu_Click(); });
    connect(InvSelFilePopupMnu, &QAction::triggered, this, [this] { InvSelFilePopupMnu_Click(); });
    connect(RefreshFileSelPopupMnu, &QAction::triggered, this, [this] { RefreshFileSelPopupMnu_Click(); });
    connect(PlayMpegFileSelPopupMnu, &QAction::triggered, this, [this] { PlayMpegFileSelPopupMnu_Click(); });
    connect(FilePropertiesFileSelPopupMnu, &QAction::triggered, this,
            [this] { FilePropertiesFileSelPopupMnu_Click(); });

    // User choices; a choice made by code calls its handler itself.
    connect(Drive1, &QComboBox::activated, this, [this](int) {
        if (Drive1->currentData().toString() != VolumeRootOf(volumeRoots(*Drive1), Dir1->Path()))
            Drive1_Change();
    });
    connect(Dir1, &DirListBox::folderChosen, this, [this](const QString& folder) {
        if (Dir1->setPath(folder))
            Dir1_Change();
        else
            Dir1->Refresh(); // the folder went away since it was listed
    });
    connect(File1, &FileListBox::click, this, [this] { File1_Click(); });
    connect(File1, &FileListBox::dblClick, this, [this] { File1_DblClick(); });
    connect(File1, &FileListBox::mouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p) { File1_MouseDown(b, m, p); });
    connect(File1, &FileListBox::mouseMove, this,
            [this](Qt::MouseButtons b, Qt::KeyboardModifiers m, QPoint p) { File1_MouseMove(b, m, p); });
    connect(pattern_cmb, &QComboBox::activated, this, [this](int) { pattern_cmb_Click(); });
    connect(AddFileToList_Cmb, &QPushButton::clicked, this, [this] { AddFileToList_Cmb_Click(); });
    connect(SelAll_Cmd, &QPushButton::clicked, this, [this] { SelAll_Cmd_Click(); });
    connect(DeSelAll_Cmd, &QPushButton::clicked, this, [this] { DeSelAll_Cmd_Click(); });
    connect(InvSel_Cmd, &QPushButton::clicked, this, [this] { InvSel_Cmd_Click(); });
    connect(MoreInfo_Cmd, &QPushButton::clicked, this, [this] { MoreInfo_Cmd_Click(); });

    // Until the start-up opens its start folder the browser shows the program's working folder.
    RefreshDriveList();
    if (!BrowseTo(QDir::currentPath()))
        BrowseTo(QStringLiteral("/"));
}

// --- drives and folders --------------------------------------------------------------------------

void kivromainfrm::RefreshDriveList()
{
    {
        const QSignalBlocker blocker(Drive1);
        Drive1->clear();
        for (const Volume& v : CurrentVolumeSource().mountedVolumes())
            Drive1->addItem(v.name.isEmpty() ? v.root : v.root + QStringLiteral(" [") + v.name + QLatin1Char(']'),
                            v.root);
    }
    SelectShownVolume();
}

void kivromainfrm::SelectShownVolume()
{
    const QSignalBlocker blocker(Drive1);
    Drive1->setCurrentIndex(Drive1->findData(VolumeRootOf(volumeRoots(*Drive1), Dir1->Path())));
}

void kivromainfrm::Drive1_Change()
{
    const QString root = Drive1->currentData().toString();
    const VolumeSource& volumes = CurrentVolumeSource();
    for (;;) {
        const FolderAccess access = volumes.isMounted(root) ? ProbeFolder(root) : FolderAccess::NotReady;
        if (access == FolderAccess::Ready) {
            // The folder last shown on that volume, else its root.
            QString folder = mDriveFolders.value(root, root);
            if (folder != root && ProbeFolder(folder) != FolderAccess::Ready)
                folder = root;
            if (Dir1->setPath(folder)) {
                Dir1_Change();
                return;
            }
            break;
        }
        if (access == FolderAccess::Failed)
            break;
        const QString shownRoot = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        if (MsgBoxResult(QStringLiteral("The device ") + shownRoot + QStringLiteral(" is not ready."),
                         vbCritical | vbRetryCancel | vbTopMost)
            != vbRetry) {
            // The list is read again and names the volume of the folder still on show.
            RefreshDriveList();
            return;
        }
    }
    // Any other failure keeps the folder on show, and the list names its volume.
    SelectShownVolume();
}

bool kivromainfrm::BrowseTo(const QString& folder)
{
    if (!Dir1->setPath(folder))
        return false;
    Dir1_Change();
    return true;
}

void kivromainfrm::Dir1_Change()
{
    const QString path = Dir1->Path();
    File1->setPath(path);
    gCurrentDir = path;
    seldirfulltmp_lbl->setText(path);
    QString shown;
    FormatDir(path, shown, kFolderLabelTwips);
    seldir_lbl->setText(shown);
    SelectShownVolume();
    mDriveFolders.insert(Drive1->currentData().toString(), path);
    SelectFirstFileOrClearMirror();
}

void kivromainfrm::SelectFirstFileOrClearMirror()
{
    if (File1->ListCount() > 0) {
        // Selecting by code runs the click handling, as a list box does.
        File1->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
        File1_Click();
    } else {
        filesel_lst.clear();
    }
}

void kivromainfrm::FillFileTypeBox(const QStringList& displayForms)
{
    {
        const QSignalBlocker block(pattern_cmb);
        pattern_cmb->clear();
        pattern_cmb->addItems(displayForms);
        pattern_cmb->setCurrentIndex(0);
    }
    // Choosing the entry by code runs its click handling once.
    pattern_cmb_Click();
}

void kivromainfrm::pattern_cmb_Click()
{
    const int k = pattern_cmb->currentIndex() + 1;
    QString patterns = Registry::RegReadString(Registry::HKEY_CURRENT_USER, Registry::kFilterKey, QString::number(k),
                                               QString());
    if (patterns.contains(QLatin1Char(',')))
        replaceall(patterns, QStringLiteral(","), QStringLiteral(";"));
    File1->setPattern(patterns);
    SelectFirstFileOrClearMirror();
}

void kivromainfrm::Network_Img_Click()
{
    RefreshDriveList();
}

// --- the file list -------------------------------------------------------------------------------

void kivromainfrm::File1_Click()
{
    refresh_filesel_lst();
    // The file the preview already shows is not opened again.
    const QString fullName = paths::joinPath(gCurrentDir, File1->FileName());
    if (gPreviewOn && fullName != LbFileName->text() && !OpenFileInPreview(fullName))
        return;
    if (filesel_lst.isEmpty())
        MsgBoxResult(QStringLiteral("No filename(s) selected."), vbExclamation | vbOKOnly | vbTopMost);
}

void kivromainfrm::File1_DblClick()
{
    AddFileToList_Cmb_Click();
}

void kivromainfrm::File1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos)
{
    if (button != Qt::RightButton)
        return;
    // Below the entries only what needs no entry is offered.
    const bool onEntry = File1->RowAt(pos) >= 0;
    for (QAction* a : {AddFileSelPopupMnu, brkmnu09, brkmnu11, PlayMpegFileSelPopupMnu, FilePropertiesFileSelPopupMnu})
        a->setVisible(onEntry);
    for (QAction* a :
         {SelectAllFileSelPopupMnu, DeselectAllFileSelPopupMnu, InvSelFilePopupMnu, brkmnu10, RefreshFileSelPopupMnu})
        a->setVisible(true);
    FileSelPopupMnu->popup(File1->viewport()->mapToGlobal(pos));
}

void kivromainfrm::File1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, QPoint pos)
{
    const int row = File1->RowAt(pos);
    if (row < 0) {
        File1->setToolTip(QString());
        return;
    }
    const QString name = File1->List(row);
    const QString path = paths::joinPath(gCurrentDir, name);
    if (!QFileInfo(path).isFile()) {
        // Gone since the list was read: no size to show.
        File1->setToolTip(QString());
        return;
    }
    gHoverFileSize = GetFileLen(path);
    File1->setToolTip(gHoverFileSize == 0
                          ? name + QStringLiteral(" (0 byte)")
                          : name + QStringLiteral(" (") + FormatThousands(gHoverFileSize) + QStringLiteral(" bytes)"));
}

void kivromainfrm::SelAll_Cmd_Click()
{
    File1->selectAll();
    refresh_filesel_lst();
}

void kivromainfrm::DeSelAll_Cmd_Click()
{
    File1->clearSelection();
    refresh_filesel_lst();
}

void kivromainfrm::InvSel_Cmd_Click()
{
    // The whole new selection in one step: inverting entry by entry would pass through
    // selections that are not meant (an empty one among them).
    QItemSelection inverted;
    QAbstractItemModel* model = File1->model();
    int start = -1;
    for (int i = 0; i <= File1->ListCount(); ++i) {
        const bool take = i < File1->ListCount() && !File1->Selected(i);
        if (take && start < 0)
            start = i;
        if (!take && start >= 0) {
            inverted.select(model->index(start, 0), model->index(i - 1, 0));
            start = -1;
        }
    }
    File1->selectionModel()->select(inverted, QItemSelectionModel::ClearAndSelect);
    refresh_filesel_lst();
}

void kivromainfrm::RefreshMnu_Click()
{
    RefreshFileList();
}

void kivromainfrm::PlayMpegFileSelPopupMnu_Click()
{
    gototesmabas::PlaySelectedFile(*this);
}

void kivromainfrm::FilePropertiesFileSelPopupMnu_Click()
{
    if (filesel_lst.size() >= 2)
        MsgBoxResult(QStringLiteral("More than 1 file selected. Only last selected file properties will be shown."),
                     vbInformation | vbOKOnly | vbTopMost);
    ShowProps(paths::joinPath(gCurrentDir, File1->FileName()), this);
}

void kivromainfrm::ShowProps(const QString& filename, QWidget* OwnerhWnd)
{
    win::ShowItemProperties(filename, OwnerhWnd);
}

void kivromainfrm::MoreInfo_Cmd_Click()
{
    ShowMpegInfo(*this, paths::joinPath(gCurrentDir, File1->FileName()), true);
}

} // namespace kivro
