// The pack-list window's Save, Load and Append of pack-list files.
#include "packlist/Brovletfrm.h"

#include "engine/PackListModel.h"
#include "packlist/PackListFile.h"
#include "packlist/PackListHost.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/WholeFile.h"

#include <QLabel>

namespace kivro {

namespace {

const QString kPackListFilter = QStringLiteral("Kivro Pack List (*.qvt)|*.qvt|All Files (*.*)|*.*");

// While the file is written or read: the hourglass on the window, and on every way out the
// default pointer back and WhichFileLbl empty.
class FileOperation {
public:
    explicit FileOperation(Brovletfrm& form) : m_form(form) { m_form.setCursor(Qt::WaitCursor); }
    ~FileOperation()
    {
        m_form.WhichFileLbl->clear();
        m_form.unsetCursor();
    }
    FileOperation(const FileOperation&) = delete;
    FileOperation& operator=(const FileOperation&) = delete;

private:
    Brovletfrm& m_form;
};

} // namespace

void Brovletfrm::BrovletMenu_Save_Img_Click()
{
    if (busy())
        return;
    if (packList().count() == 0) {
        MsgBoxResult(QStringLiteral("Nothing to save."), vbExclamation | vbOKOnly | vbTopMost);
        return;
    }
    // A line break inside a path would end its line early and be read back as other lines.
    if (const std::optional<QString> bad = PathWithLineBreak(packList())) {
        MsgBoxResult(QStringLiteral("Cannot save the pack list: '") + *bad
                         + QStringLiteral("' holds a line break, which a pack-list file cannot carry."),
                     vbCritical | vbOKOnly | vbTopMost);
        return;
    }
    WhichFileLbl->clear();
    m_host.EnableBottomMostFrm(false);
    m_host.ShowSaveDialog(kPackListFilter, QStringLiteral("Save Pack List As"), QString(),
                          QStringLiteral("SavePackList"));
    m_host.EnableBottomMostFrm(true);
    const QString path = WhichFileLbl->text();
    if (path.isEmpty())
        return;

    FileOperation operation(*this);
    const QByteArray bytes = PackListFileBytes(packList());
    while (!ReplaceFileAtName(path, bytes)) {
        if (paths::nameTooLong(path)) {
            MsgBoxResult(QStringLiteral("'") + path + QStringLiteral("' cannot be written: the name is too long."),
                         vbCritical | vbOKOnly);
            return;
        }
        const int answer = MsgBoxResult(QStringLiteral("Cannot overwrite '") + path
                                            + QStringLiteral("'. Disk full/write-protected or file is in use."),
                                        vbCritical | vbRetryCancel | vbTopMost);
        if (answer != vbRetry)
            return;
    }
}

void Brovletfrm::BrovletMenu_Load_Img_Click()
{
    if (busy())
        return;
    LoadPackListFile(true);
}

void Brovletfrm::BrovletMenu_Append_Img_Click()
{
    if (busy())
        return;
    LoadPackListFile(false);
}

void Brovletfrm::LoadPackListFile(bool replace)
{
    WhichFileLbl->clear();
    m_host.EnableBottomMostFrm(false);
    m_host.ShowOpenDialog(kPackListFilter,
                          replace ? QStringLiteral("Load which Pack List?") : QStringLiteral("Append which Pack List?"),
                          QString());
    m_host.EnableBottomMostFrm(true);
    const QString path = WhichFileLbl->text();
    if (path.isEmpty())
        return;

    FileOperation operation(*this);
    // The whole file is read before the list changes, so a file that cannot be read costs
    // nothing.
    const std::optional<QVector<PackListEntry>> entries = ReadPackListFile(path);
    if (!entries) {
        MsgBoxResult(QStringLiteral("Cannot read '") + path + QStringLiteral("'. The pack list was not changed."),
                     vbCritical | vbOKOnly | vbTopMost);
        return;
    }
    if (replace)
        ClearPackList();
    packList().appendEntries(*entries);
}

} // namespace kivro
