#pragma once
// The list controls of the main window's file browser and what they read of the file system:
// the mounted volumes of the drive list, the folder list (Dir1) and the file list (File1).
//
// Paths use "/" and are held without a trailing "/", except the root "/".
#include <QByteArray>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <QVector>

namespace kivro {

// --- volumes (the drive list, Drive1) --------------------------------------------------------

struct Volume {
    QString root; // the mount point
    QString name; // the volume's label, when it has one
};

// Where the drive list takes its volumes from. The real source reads the mounted file systems
// (QStorageInfo); tests put their own in place with SetVolumeSource.
class VolumeSource {
public:
    virtual ~VolumeSource() = default;
    // The volumes a user can browse, "/" first and always there, then the others by path.
    virtual QVector<Volume> mountedVolumes() const;
    // True while `root` is still the mount point of a mounted, ready file system.
    virtual bool isMounted(const QString& root) const;
};

// Replaces the source of the drive list (nullptr puts the real one back).
void SetVolumeSource(const VolumeSource* source);
const VolumeSource& CurrentVolumeSource();

// True for the file systems the drive list leaves out: the kernel's pseudo file systems (proc,
// sysfs, cgroup, ...), memory file systems (tmpfs, ramfs), snap images, desktop portals, and
// anything mounted below /proc, /sys, /dev or /run (removable media under /run/media stay).
// "/" is never left out.
bool IsPseudoFileSystem(const QString& root, const QByteArray& fileSystemType);

// The volume a folder lies on: the longest root of `roots` that is the folder itself or one of
// its parents ("/" holds every absolute folder). Empty when none does.
QString VolumeRootOf(const QStringList& roots, const QString& folder);

// Whether a folder can be opened for listing: Ready; NotReady when it is gone or its device does
// not answer (no such folder, not a folder, I/O error, no medium, stale network handle, ...);
// Failed for anything else (no permission).
enum class FolderAccess { Ready, NotReady, Failed };
FolderAccess ProbeFolder(const QString& folder);

// --- file-type patterns --------------------------------------------------------------------

// True when `name` matches one of the patterns of `patternList` (separated by ";", blanks around
// a pattern ignored). "*" stands for any run of characters, "?" for one character, everything
// else for itself, without regard to case; "*.*" (like "*") matches every name, also one without
// a dot. An empty list matches nothing.
bool MatchesFilePattern(const QString& name, const QString& patternList);

// The files of `folder` that the file list shows for `patternList`: regular files (after
// following links) whose names do not start with ".", sorted by name without regard to case.
QStringList ListFolderFiles(const QString& folder, const QString& patternList);

// The folders below `folder` that the folder list shows: names not starting with ".", sorted by
// name without regard to case.
QStringList ListSubfolders(const QString& folder);

// --- Dir1: the folder list -----------------------------------------------------------------

// The chain of folders from "/" down to the shown folder (each one step further in), then the
// shown folder's subfolders one step further still. The shown folder is the current row. A
// double-click or Enter on a row chooses its folder (folderChosen); the list itself does not
// move until its owner sets the new path.
class DirListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    QString Path() const { return m_path; }
    // Shows `folder` (made absolute and clean). False, with nothing changed, when it cannot be
    // listed.
    bool setPath(const QString& folder);
    // Reads the shown folder again.
    void Refresh();
    // The folder that row `row` stands for.
    QString folderAt(int row) const;
    // The number of rows of the chain (the shown folder's row is the last of them).
    int chainLength() const { return m_chainLength; }

signals:
    void folderChosen(const QString& folder);

private:
    void fill();

    QString m_path;
    int m_chainLength = 0;
};

// --- File1: the file list ------------------------------------------------------------------

// The files of a folder that match its pattern (ListFolderFiles), with extended selection.
//
// Like a list box's click event, click() is emitted once for every left-button click on an entry
// (at the press when it changed the selection or the current entry, else at the release), after
// every drag and every key press that changed them, and never for changes made by code. A press
// outside the entries and a press of another button than the left one change nothing (the right
// button opens the owner's popup through mouseDown). mouseDown, mouseMove and dblClick report the
// position in the viewport.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString Path() const { return m_path; }
    QString Pattern() const { return m_pattern; }
    // Setting the path or the pattern reads the folder again; the selection is then empty and the
    // current entry is none.
    void setPath(const QString& folder);
    void setPattern(const QString& patternList);
    void Refresh();

    // List-box style access by row.
    int ListCount() const { return count(); }
    QString List(int row) const;
    bool Selected(int row) const;
    void setSelected(int row, bool selected);
    // The current entry (the one with the focus); -1 when there is none.
    int ListIndex() const { return currentRow(); }
    // The name of the current entry; empty when there is none.
    QString FileName() const;
    // The row under a point of the viewport; -1 when the point is not on an entry.
    int RowAt(const QPoint& pos) const;

signals:
    void click();
    void dblClick();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    struct State {
        QList<int> selected;
        int current = -1;
        bool operator==(const State&) const = default;
    };
    State state() const;

    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
    // A left press on an entry that has not yet been answered with click().
    bool m_clickPending = false;
};

} // namespace kivro
