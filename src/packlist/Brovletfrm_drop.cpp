// Files dropped on the pack list from a file manager or any other program that offers file URLs.
#include "packlist/Brovletfrm.h"

#include "engine/PackListModel.h"
#include "packlist/PackListHost.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"

#include <QFile>
#include <QMimeData>
#include <QUrl>

#include <sys/stat.h>

namespace kivro {

void Brovletfrm::selpos_lst_OLEDragDrop(const QMimeData* Data)
{
    // Like every other edit of the entries, a drop waits until no action reads the list.
    if (busy() || !Data || !Data->hasUrls())
        return;
    QStringList paths;
    for (const QUrl& url : Data->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    for (const QString& path : paths) {
        // Each path is examined once: a path that cannot be examined ends the drop.
        struct stat st {};
        if (!paths::statPath(path, st)) {
            MsgBoxResult(QStringLiteral("'") + path + QStringLiteral("' was not found!"),
                         vbCritical | vbOKOnly | vbTopMost);
            m_host.RefreshFileList();
            return;
        }
        if (S_ISDIR(st.st_mode)) {
            MsgBoxResult(QStringLiteral("'") + path + QStringLiteral("' is a directory. Filename skipped."),
                         vbInformation | vbOKOnly | vbTopMost);
            continue;
        }
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        const QString name = path.mid(slash + 1);
        packList().append(path.left(slash + 1), name);
        ApplyAddRule(name);
    }
}

} // namespace kivro
