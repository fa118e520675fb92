#include "platform/FileDialogs.h"

#include "platform/Paths.h"
#include "platform/Prompts.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <functional>

namespace kivro::win {

namespace {

// The folder of the last file confirmed in a file dialog of this run: where a dialog without an
// initial folder opens, as the system's dialogs open in the folder the last one left.
QString& lastDialogFolder()
{
    static QString folder;
    return folder;
}

bool isButtonName(const QString& line)
{
    static const QStringList names = {QStringLiteral("OK"),    QStringLiteral("Cancel"), QStringLiteral("Yes"),
                                      QStringLiteral("No"),    QStringLiteral("Retry"),  QStringLiteral("Abort"),
                                      QStringLiteral("Ignore")};
    return names.contains(line.trimmed());
}

// The scripted answer of one dialog: the path, or nothing for a cancel. `note` gives the fourth
// log field for a chosen path (empty: none).
std::optional<QString> scriptedDialog(const QString& title, const std::function<QString(const QString&)>& note)
{
    const std::optional<QString> line = Prompts::next();
    if (line && isButtonName(*line)) {
        Prompts::record({QStringLiteral("dialog"), title, QString()});
        Prompts::wrongKind(QStringLiteral("dialog answered with '%1'").arg(*line));
        return std::nullopt;
    }
    if (!line || line->isEmpty()) {
        Prompts::record({QStringLiteral("dialog"), title, QString()});
        return std::nullopt;
    }
    QStringList fields = {QStringLiteral("dialog"), title, *line};
    const QString extra = note ? note(*line) : QString();
    if (!extra.isEmpty())
        fields << extra;
    Prompts::record(fields);
    return *line;
}

// The labels and the pattern lists of the filters of a filter text, in order (see
// FileDialogNameFilters).
struct FilterParts {
    QStringList labels;
    QStringList patterns;
};
FilterParts filterParts(const QString& filter)
{
    FilterParts result;
    const QStringList parts = filter.split(QChar(0));
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
        result.labels << parts[i];
        result.patterns << parts[i + 1];
    }
    return result;
}

// The file dialog with the questions the flags ask for that QFileDialog does not ask itself.
// (QFileDialog's own replace question has No as its default answer.)
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* owner, std::uint32_t flags) : QFileDialog(owner), m_flags(flags) {}

    // The extension a typed name without one takes, by the selected name filter.
    void setExtensionFor(std::function<QString(const QString& nameFilter)> extensionFor)
    {
        m_extensionFor = std::move(extensionFor);
    }

    void accept() override
    {
        if (m_extensionFor)
            setDefaultSuffix(m_extensionFor(selectedNameFilter()));
        if (acceptMode() == AcceptSave) {
            const QStringList files = selectedFiles();
            if (!files.isEmpty()) {
                const QFileInfo info(files.first());
                // A link that points to nothing is a file the save replaces, as any other:
                // QFileDialog, which follows it, would take it for a new name and not ask.
                if (info.isSymLink() && !info.exists()) {
                    if ((m_flags & OFN_OVERWRITEPROMPT)
                        && QMessageBox::warning(this, windowTitle(),
                                                QStringLiteral("%1 already exists.\n"
                                                               "Do you want to replace it?")
                                                    .arg(info.fileName()),
                                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                               != QMessageBox::Yes)
                        return;
                    QFileDialog::accept();
                    return;
                }
                // A folder is opened by QFileDialog itself; only a file name is checked here.
                if (!info.isDir() && !info.exists()) {
                    const QString folder = info.absolutePath();
                    if ((m_flags & OFN_PATHMUSTEXIST) && !QFileInfo(folder).isDir()) {
                        QMessageBox::warning(this, windowTitle(),
                                             QStringLiteral("The folder '%1' does not exist.\n"
                                                            "Check the name and try again.")
                                                 .arg(folder));
                        return;
                    }
                    if ((m_flags & OFN_CREATEPROMPT)
                        && QMessageBox::question(this, windowTitle(),
                                                 QStringLiteral("'%1' does not exist.\n"
                                                                "Create the file?")
                                                     .arg(info.fileName()),
                                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
                               != QMessageBox::Yes)
                        return;
                }
            }
        }
        QFileDialog::accept();
    }

private:
    std::uint32_t m_flags;
    std::function<QString(const QString&)> m_extensionFor;
};

bool runFileDialog(OPENFILENAME& ofn, bool save)
{
    const QString title = !ofn.lpstrTitle.isEmpty() ? ofn.lpstrTitle
                                                    : (save ? QStringLiteral("Save As") : QStringLiteral("Open"));
    const QStringList filters = FileDialogNameFilters(ofn.lpstrFilter);

    std::optional<QString> chosen;
    if (Prompts::scripted()) {
        std::function<QString(const QString&)> note;
        if (save)
            note = [&ofn](const QString& path) {
                const QFileInfo info(path);
                if (info.exists() || info.isSymLink())
                    return (ofn.Flags & OFN_OVERWRITEPROMPT) ? QStringLiteral("replace confirmed") : QString();
                return (ofn.Flags & OFN_CREATEPROMPT) ? QStringLiteral("create confirmed") : QString();
            };
        chosen = scriptedDialog(title, note);
    } else {
        FileDialog dialog(ofn.hwndOwner, ofn.Flags);
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setOption(QFileDialog::HideNameFilterDetails, true);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !(ofn.Flags & OFN_OVERWRITEPROMPT));
        dialog.setWindowTitle(title);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(!save && (ofn.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        QString start = ofn.lpstrInitialDir;
        if (start.isEmpty())
            start = lastDialogFolder();
        if (start.isEmpty())
            start = QDir::currentPath();
        dialog.setDirectory(start);
        if (!filters.isEmpty()) {
            dialog.setNameFilters(filters);
            const std::uint32_t index = ofn.nFilterIndex == 0 ? 1 : ofn.nFilterIndex;
            dialog.selectNameFilter(filters.value(qsizetype(index) - 1, filters.first()));
            // QFileDialog cuts the shown label out of each filter by its own pattern, which
            // shows a blank row for a label it cannot cut; the type box shows each label as it
            // stands instead (the dialog filters by the index of the row, not by its text).
            if (auto* typeBox = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
                const QStringList labels = filterParts(ofn.lpstrFilter).labels;
                for (int i = 0; i < typeBox->count() && i < labels.size(); ++i)
                    typeBox->setItemText(i, labels.at(i));
            }
        }
        if (save && ofn.lpstrDefExt) {
            // The extension of a typed name follows the filter selected when the user confirms.
            // (An open dialog takes names as typed: a file without an extension stays reachable.)
            const FilterParts parts = filterParts(ofn.lpstrFilter);
            const QString fallback = *ofn.lpstrDefExt;
            dialog.setExtensionFor([filters, parts, fallback](const QString& selected) {
                // The dialog names the selected filter by its label alone when it hides the
                // patterns.
                qsizetype index = filters.indexOf(selected);
                if (index < 0)
                    index = parts.labels.indexOf(selected);
                const QString ext = DefaultExtensionOf(parts.patterns.value(index));
                return ext.isEmpty() ? fallback : ext;
            });
        }
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().first();
    }
    if (!chosen)
        return false;
    ofn.lpstrFile = *chosen;
    const QString folder = paths::folderOf(*chosen);
    if (!folder.isEmpty())
        lastDialogFolder() = folder;
    return true;
}

} // namespace

QStringList FileDialogNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QChar(0));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        if (description.isEmpty())
            break;
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            if (pattern.isEmpty())
                continue;
            // QFileDialog reads "*.*" as names with a dot; here it means every file.
            patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
        }
        result << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

QString DefaultExtensionOf(const QString& patterns)
{
    const QString first = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts).value(0).trimmed();
    if (!first.startsWith(QLatin1String("*.")))
        return QString();
    const QString ext = first.mid(2);
    if (ext.isEmpty() || ext.contains(QLatin1Char('*')) || ext.contains(QLatin1Char('?'))
        || ext.contains(QLatin1Char('.')))
        return QString();
    return ext;
}

bool GetOpenFileNameA(OPENFILENAME& ofn)
{
    return runFileDialog(ofn, false);
}

bool GetSaveFileNameA(OPENFILENAME& ofn)
{
    return runFileDialog(ofn, true);
}

std::optional<QString> SHBrowseForFolder(const BROWSEINFO& bi)
{
    if (Prompts::scripted())
        return scriptedDialog(bi.lpszTitle, {});

    QFileDialog dialog(bi.hwndOwner);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setWindowTitle(bi.lpszTitle);
    dialog.setDirectory(QDir::homePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

} // namespace kivro::win
