#include "mainwindow/BrowserControls.h"

#include "platform/Paths.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>
#include <cerrno>
#include <dirent.h>

namespace kivro {

namespace {

const VolumeSource* gVolumeSource = nullptr;

// Rows of the folder list: the folder a row stands for and how far it is indented.
constexpr int kFolderRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndentPixels = 10;

QString cleanFolder(const QString& folder)
{
    if (folder.isEmpty())
        return QString();
    return QDir::cleanPath(QDir(folder).absolutePath());
}

bool isBelow(const QString& path, const QString& parent)
{
    return path == parent || path.startsWith(parent + QLatin1Char('/'));
}

// "*" any run, "?" one character, anything else itself; both texts already case-folded.
bool wildcardMatch(QStringView name, QStringView pattern)
{
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starP = -1;
    qsizetype starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

// Draws each row of the folder list indented by its level.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += indent(index);
        return size;
    }

private:
    static int indent(const QModelIndex& index) { return index.data(kLevelRole).toInt() * kIndentPixels; }
};

} // namespace

// --- volumes -----------------------------------------------------------------------------------

QVector<Volume> VolumeSource::mountedVolumes() const
{
    Volume root{QStringLiteral("/"), QString()};
    QVector<Volume> others;
    QStringList seen;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        if (!s.isValid())
            continue;
        const QString path = s.rootPath();
        if (path == QLatin1String("/")) {
            root.name = s.name();
            continue;
        }
        if (IsPseudoFileSystem(path, s.fileSystemType()) || seen.contains(path))
            continue;
        // Single files mounted into place (as containers do with /etc/hosts) are no volumes.
        const QFileInfo info(path);
        if (info.exists() && !info.isDir())
            continue;
        seen << path;
        others << Volume{path, s.name()};
    }
    std::sort(others.begin(), others.end(), [](const Volume& a, const Volume& b) { return a.root < b.root; });
    others.prepend(root);
    return others;
}

bool VolumeSource::isMounted(const QString& root) const
{
    // The root of the file system is always there, also where the mount table does not list it
    // (a chroot, some containers).
    if (root == QLatin1String("/"))
        return true;
    const QStorageInfo s(root);
    return s.isValid() && s.isReady() && s.rootPath() == root;
}

void SetVolumeSource(const VolumeSource* source)
{
    gVolumeSource = source;
}

const VolumeSource& CurrentVolumeSource()
{
    static const VolumeSource real;
    return gVolumeSource ? *gVolumeSource : real;
}

bool IsPseudoFileSystem(const QString& root, const QByteArray& fileSystemType)
{
    if (root == QLatin1String("/"))
        return false;
    static const QByteArray pseudo[] = {"proc",       "sysfs",       "devtmpfs",        "devpts",     "tmpfs",
                                        "ramfs",      "cgroup",      "cgroup2",         "securityfs", "pstore",
                                        "efivarfs",   "bpf",         "debugfs",         "tracefs",    "configfs",
                                        "fusectl",    "hugetlbfs",   "mqueue",          "autofs",     "binfmt_misc",
                                        "rpc_pipefs", "nsfs",        "selinuxfs",       "rootfs",     "squashfs",
                                        "overlay",    "fuse.portal", "fuse.gvfsd-fuse", "fuse.lxcfs"};
    for (const QByteArray& type : pseudo)
        if (fileSystemType == type)
            return true;
    if (isBelow(root, QStringLiteral("/run/media")))
        return false;
    for (const char* system : {"/proc", "/sys", "/dev", "/run", "/snap"})
        if (isBelow(root, QLatin1String(system)))
            return true;
    return false;
}

QString VolumeRootOf(const QStringList& roots, const QString& folder)
{
    QString best;
    for (const QString& root : roots) {
        const bool holds = root == QLatin1String("/") ? folder.startsWith(QLatin1Char('/')) : isBelow(folder, root);
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}

FolderAccess ProbeFolder(const QString& folder)
{
    if (folder.isEmpty())
        return FolderAccess::NotReady;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir) {
        ::closedir(dir);
        return FolderAccess::Ready;
    }
    switch (errno) {
    case EACCES:
    case EPERM:
    case EMFILE:
    case ENFILE:
    case ENOMEM:
        return FolderAccess::Failed;
    default:
        // Gone, not a folder, or a device that does not answer (EIO, ENXIO, ENODEV, ENOMEDIUM,
        // ESTALE, ETIMEDOUT, EHOSTDOWN, ENOTCONN, ELOOP, ENAMETOOLONG, ...).
        return FolderAccess::NotReady;
    }
}

// --- patterns and listings ---------------------------------------------------------------------

bool MatchesFilePattern(const QString& name, const QString& patternList)
{
    const QString folded = name.toCaseFolded();
    for (const QString& raw : patternList.split(QLatin1Char(';'))) {
        const QString pattern = raw.trimmed();
        if (pattern.isEmpty())
            continue;
        if (pattern == QLatin1String("*.*") || pattern == QLatin1String("*"))
            return true;
        if (wildcardMatch(folded, pattern.toCaseFolded()))
            return true;
    }
    return false;
}

QStringList ListFolderFiles(const QString& folder, const QString& patternList)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    // QDir leaves out names starting with "." (hidden) unless asked, and with Files lists links
    // to regular files but not broken links.
    const QStringList all = QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : all)
        if (MatchesFilePattern(name, patternList))
            names << name;
    return names;
}

QStringList ListSubfolders(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

// --- Dir1 --------------------------------------------------------------------------------------

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new IndentDelegate(this));
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit folderChosen(item->data(kFolderRole).toString()); });
}

bool DirListBox::setPath(const QString& folder)
{
    const QString path = cleanFolder(folder);
    if (ProbeFolder(path) != FolderAccess::Ready)
        return false;
    m_path = path;
    fill();
    return true;
}

void DirListBox::Refresh()
{
    fill();
}

QString DirListBox::folderAt(int row) const
{
    const QListWidgetItem* it = item(row);
    return it ? it->data(kFolderRole).toString() : QString();
}

void DirListBox::fill()
{
    QStringList chain;
    for (QString p = m_path; !p.isEmpty(); p = p == QLatin1String("/") ? QString() : paths::folderOf(p))
        chain.prepend(p);

    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QSignalBlocker blocker(this);
    clear();
    int level = 0;
    for (const QString& p : chain) {
        auto* it = new QListWidgetItem(open, p == QLatin1String("/") ? p : paths::nameOf(p), this);
        it->setData(kFolderRole, p);
        it->setData(kLevelRole, level++);
    }
    m_chainLength = int(chain.size());
    for (const QString& name : ListSubfolders(m_path)) {
        auto* it = new QListWidgetItem(closed, name, this);
        it->setData(kFolderRole, paths::joinPath(m_path, name));
        it->setData(kLevelRole, level);
    }
    setCurrentRow(m_chainLength - 1);
}

// --- File1 -------------------------------------------------------------------------------------

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void FileListBox::setPath(const QString& folder)
{
    m_path = cleanFolder(folder);
    Refresh();
}

void FileListBox::setPattern(const QString& patternList)
{
    m_pattern = patternList;
    Refresh();
}

void FileListBox::Refresh()
{
    const QSignalBlocker blocker(this);
    clear();
    addItems(ListFolderFiles(m_path, m_pattern));
    setCurrentRow(-1);
}

QString FileListBox::List(int row) const
{
    const QListWidgetItem* it = item(row);
    return it ? it->text() : QString();
}

bool FileListBox::Selected(int row) const
{
    const QListWidgetItem* it = item(row);
    return it && it->isSelected();
}

void FileListBox::setSelected(int row, bool selected)
{
    if (QListWidgetItem* it = item(row))
        it->setSelected(selected);
}

QString FileListBox::FileName() const
{
    return List(currentRow());
}

int FileListBox::RowAt(const QPoint& pos) const
{
    const QModelIndex index = indexAt(pos);
    return index.isValid() ? index.row() : -1;
}

FileListBox::State FileListBox::state() const
{
    State s;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        s.selected << index.row();
    std::sort(s.selected.begin(), s.selected.end());
    s.current = currentRow();
    return s;
}

void FileListBox::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() != Qt::LeftButton || RowAt(pos) < 0) {
        // A list box keeps its selection here: only the owner hears of the press.
        setFocus(Qt::MouseFocusReason);
        event->accept();
        emit mouseDown(event->button(), event->modifiers(), pos);
        return;
    }
    const State before = state();
    QListWidget::mousePressEvent(event);
    emit mouseDown(event->button(), event->modifiers(), pos);
    // One click per press and release: here when the press changed the selection, else at the
    // release (a click on the entry already selected is a click all the same).
    m_clickPending = state() == before;
    if (!m_clickPending)
        emit click();
}

void FileListBox::mouseReleaseEvent(QMouseEvent* event)
{
    const State before = state();
    QListWidget::mouseReleaseEvent(event);
    const bool pending = m_clickPending && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton)
        m_clickPending = false;
    if (pending || state() != before)
        emit click();
}

void FileListBox::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton) {
        QListWidget::mouseMoveEvent(event);
    } else {
        // Dragging over the entries selects them as it goes.
        const State before = state();
        QListWidget::mouseMoveEvent(event);
        if (state() != before) {
            m_clickPending = false;
            emit click();
        }
    }
    emit mouseMove(event->buttons(), event->modifiers(), event->position().toPoint());
}

void FileListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() != Qt::LeftButton || RowAt(pos) < 0) {
        event->accept();
        return;
    }
    const State before = state();
    QListWidget::mouseDoubleClickEvent(event);
    if (state() != before)
        emit click();
    emit dblClick();
}

void FileListBox::keyPressEvent(QKeyEvent* event)
{
    const State before = state();
    QListWidget::keyPressEvent(event);
    if (state() != before)
        emit click();
}

void FileListBox::contextMenuEvent(QContextMenuEvent* event)
{
    // The popup comes with the right-button press (mouseDown).
    event->accept();
}

bool FileListBox::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        // The tooltip is the list's own, set as the mouse moves over the entries.
        auto* help = static_cast<QHelpEvent*>(event);
        if (toolTip().isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), toolTip(), viewport());
        return true;
    }
    return QListWidget::viewportEvent(event);
}

} // namespace kivro
