#pragma once
// The open and save dialogs as the program's windows use them: the chosen path goes straight
// into the control that needs it.
#include <QList>
#include <QString>

#include <utility>

class QWidget;

namespace kivro::commondialogbas {

// The filter in the form "Description|patterns|Description|patterns" ("Kivro Pack List
// (*.qvt)|*.qvt|All Files (*.*)|*.*"), with patterns separated by ";", as the dialogs take it:
// a "|" is appended when the text does not end in one, then every "|" becomes a NUL character.
QString DialogFilter(const QString& filter);

// The same NUL-separated filter built from descriptions and their patterns (separated by ";")
// taken as they stand: a "|" in a description or a pattern stays text.
QString DialogFilter(const QList<std::pair<QString, QString>>& types);

// The open dialog, owned by `owner`, with the filter, title and initial folder (empty: where the
// last dialog left). A confirmed path becomes the caption of the pack-list window's WhichFileLbl;
// a cancel writes nothing. Returns true when the user confirmed.
bool ShowOpenDialog(QWidget* owner, const QString& filter, const QString& title, const QString& initialFolder);

// The save dialog, as ShowOpenDialog; it asks before replacing a file and before creating one. A
// confirmed path goes by `purpose`: "SavePackFile" into the main window's save-as box
// SaveAsNewFilename_txt, "SavePackList" into the caption of the pack-list window's WhichFileLbl;
// any other purpose writes nothing. Returns true when the user confirmed.
bool ShowSaveDialog(QWidget* owner, const QString& filter, const QString& title, const QString& initialFolder,
                    const QString& purpose);
// The save dialog with the types given as descriptions and patterns (see DialogFilter).
bool ShowSaveDialog(QWidget* owner, const QList<std::pair<QString, QString>>& types, const QString& title,
                    const QString& initialFolder, const QString& purpose);

} // namespace kivro::commondialogbas
