#include "mainwindow/commondialogbas.h"

#include "mainwindow/MainGlobals.h"
#include "mainwindow/kivromainfrm.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListGlobals.h"
#include "platform/FileDialogs.h"

#include <QLabel>

namespace kivro::commondialogbas {

namespace {

// `dialogFilter` is already in the dialogs' NUL-separated form.
win::OPENFILENAME dialogRecord(QWidget* owner, const QString& dialogFilter, const QString& title,
                               const QString& initialFolder, std::uint32_t flags)
{
    win::OPENFILENAME ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = dialogFilter;
    ofn.nFilterIndex = 0;
    ofn.lpstrInitialDir = initialFolder;
    ofn.lpstrTitle = title;
    ofn.Flags = flags;
    ofn.lpstrDefExt = QString(); // present but empty: the selected filter gives the extension
    return ofn;
}

void setWhichFileLbl(const QString& path)
{
    PackListForm()->WhichFileLbl->setText(path);
}

} // namespace

QString DialogFilter(const QString& filter)
{
    QString converted = filter;
    if (!converted.endsWith(QLatin1Char('|')))
        converted += QLatin1Char('|');
    converted.replace(QLatin1Char('|'), QChar(0));
    return converted;
}

QString DialogFilter(const QList<std::pair<QString, QString>>& types)
{
    QString converted;
    for (const auto& [description, patterns] : types)
        converted += description + QChar(0) + patterns + QChar(0);
    return converted;
}

bool ShowOpenDialog(QWidget* owner, const QString& filter, const QString& title, const QString& initialFolder)
{
    using namespace win;
    OPENFILENAME ofn = dialogRecord(owner, DialogFilter(filter), title, initialFolder,
                                    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST
                                        | OFN_NOTESTFILECREATE | OFN_LONGNAMES);
    if (!GetOpenFileNameA(ofn))
        return false;
    setWhichFileLbl(ofn.lpstrFile);
    return true;
}

namespace {

bool showSaveDialog(QWidget* owner, const QString& dialogFilter, const QString& title, const QString& initialFolder,
                    const QString& purpose)
{
    using namespace win;
    OPENFILENAME ofn = dialogRecord(owner, dialogFilter, title, initialFolder,
                                    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_CREATEPROMPT
                                        | OFN_EXPLORER | OFN_LONGNAMES);
    if (!GetSaveFileNameA(ofn))
        return false;
    if (purpose == QLatin1String("SavePackFile")) {
        // The owner is the main window; any other owner still means the program's main window.
        kivromainfrm* form = qobject_cast<kivromainfrm*>(owner);
        if (!form)
            form = MainForm();
        form->SaveAsNewFilename_txt->setText(ofn.lpstrFile);
    } else if (purpose == QLatin1String("SavePackList")) {
        setWhichFileLbl(ofn.lpstrFile);
    }
    return true;
}

} // namespace

bool ShowSaveDialog(QWidget* owner, const QString& filter, const QString& title, const QString& initialFolder,
                    const QString& purpose)
{
    return showSaveDialog(owner, DialogFilter(filter), title, initialFolder, purpose);
}

bool ShowSaveDialog(QWidget* owner, const QList<std::pair<QString, QString>>& types, const QString& title,
                    const QString& initialFolder, const QString& purpose)
{
    return showSaveDialog(owner, DialogFilter(types), title, initialFolder, purpose);
}

} // namespace kivro::commondialogbas
