// The save-as box: the path of the file a pack writes. It is filled by typing, by dropping a file
// on it and by the "Save Pack File As" dialog; a drop and every run of the dialog store its folder
// as "LastSavedDir", which the next start proposes.
#include "mainwindow/kivromainfrm.h"

#include "engine/EngineGlobals.h"
#include "engine/Registry.h"
#include "engine/StringHelpers.h"
#include "mainwindow/commondialogbas.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/Volumes.h"
#include "platform/WindowHandlers.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QUrl>

#include <sys/stat.h>

namespace kivro {

// Lets only the window's drop handler act on a drop: the line edit's own drop (inserting the
// dropped text) never runs, and any data may be dropped.
class kivromainfrm::SaveAsDropFilter : public WindowEventFilter {
public:
    SaveAsDropFilter(kivromainfrm& form, QObject* parent) : WindowEventFilter(parent), m_form(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
            static_cast<QDropEvent*>(event)->acceptProposedAction();
            return true;
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            drop->acceptProposedAction();
            m_form.SaveAsNewFilename_txt_OLEDragDrop(drop->mimeData());
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    kivromainfrm& m_form;
};

void kivromainfrm::SetupSaveAsBox()
{
    SaveAsMnu = new QAction(QStringLiteral("Save As..."), this);
    SaveAsMnu->setObjectName(QStringLiteral("SaveAsMnu"));
    // The key is shown beside the item; the window's key handling acts on it.
    SaveAsMnu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAsMnu->setShortcutContext(Qt::WidgetShortcut);
    SaveAsMnu->setShortcutVisibleInContextMenu(true);
    connect(SaveAsMnu, &QAction::triggered, this, [this] { SaveAsMnu_Click(); });

    Browse_cmd->setText(QStringLiteral("..."));
    Browse_cmd->setToolTip(QStringLiteral("Browse"));
    connect(Browse_cmd, &QPushButton::clicked, this, [this] { Browse_cmd_Click(); });
    SaveAsNewFilename_txt->setAcceptDrops(true);
    SaveAsNewFilename_txt->installEventFilter(new SaveAsDropFilter(*this, SaveAsNewFilename_txt));
}

void kivromainfrm::SaveAsMnu_Click()
{
    Browse_cmd_Click();
}

void kivromainfrm::Browse_cmd_Click()
{
    // The stored file types: "Description (patterns)" shown, the patterns with ";" filtering. A
    // damaged store is repaired (with its message) before the dialog opens. The types go to the
    // dialog as they stand, never joined into one text cut at "|": a "|" stored by an earlier
    // build is shown as typed.
    const FileFilterStore store = ReadFileFilterStore();
    QList<std::pair<QString, QString>> filter;
    for (const FileFilter& type : store.entries)
        filter.append({type.displayForm(), type.listPatterns()});

    // Nothing else of the program can be clicked while the dialog is open.
    EnableBottomMostFrm(false);
    const bool chosen = commondialogbas::ShowSaveDialog(this, filter, QStringLiteral("Save Pack File As"), QString(),
                                                        QStringLiteral("SavePackFile"));
    EnableBottomMostFrm(true);
    // Only a confirmed choice names a new save-as file; a cancelled dialog leaves the protection
    // of the file the last pack wrote in place.
    if (chosen)
        gSaveAsFileSaved = false;
    StoreLastSavedDir();
}

void kivromainfrm::StoreLastSavedDir()
{
    const QString text = SaveAsNewFilename_txt->text();
    if (!text.contains(QLatin1Char('/')))
        return;
    Registry::writeSetting(Settings::LastSavedDir, paths::folderOf(text));
}

void kivromainfrm::SaveAsNewFilename_txt_OLEDragDrop(const QMimeData* mime)
{
    QString dropped;
    if (mime && mime->hasUrls()) {
        for (const QUrl& url : mime->urls())
            if (url.isLocalFile()) {
                dropped = url.toLocalFile();
                break;
            }
    }
    if (!dropped.isEmpty()) {
        struct stat st {};
        if (!paths::statPath(dropped, &st)) {
            MsgBoxResult(QStringLiteral("'") + dropped + QStringLiteral("' was not found!"),
                         vbCritical | vbOKOnly | vbTopMost);
            return;
        }
        if (S_ISDIR(st.st_mode)) {
            MsgBoxResult(QStringLiteral("'") + dropped + QStringLiteral("' is a directory."),
                         vbInformation | vbOKOnly | vbTopMost);
        } else {
            // A file of the dropped name in the root of its volume; where the user cannot write
            // into that root (often "/"), in the home folder instead.
            QString root = win::VolumeRootOf(dropped);
            if (!win::CanWriteInto(root))
                root = QDir::homePath();
            SaveAsNewFilename_txt->setText(paths::joinPath(root, paths::nameOf(dropped)));
        }
    }
    StoreLastSavedDir();
}

} // namespace kivro
