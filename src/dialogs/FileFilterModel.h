#pragma once
// The file-type filters the filter editor works on: one model of entries (description and
// pattern list), so the shown list and what gets stored can never drift apart. The shown text of
// an entry is its display form, "Mpeg (*.mpg,*.mpeg,*.mpe)"; it is never parsed back.
#include "engine/StringHelpers.h"

#include <QAbstractListModel>
#include <QVector>

namespace kivro {

class FileFilterModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit FileFilterModel(QObject* parent = nullptr);

    // QAbstractListModel: the display role is the display form.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    int count() const { return int(m_entries.size()); }
    const FileFilter& entry(int i) const { return m_entries.at(i); }
    const QVector<FileFilter>& entries() const { return m_entries; }

    void append(const QString& description, const QString& patterns);
    // Out-of-range rows are ignored (false).
    bool removeAt(int i);
    // Exchanges the entries of rows i and j in place; the rows keep their selection.
    bool swap(int i, int j);
    void clear();

private:
    QVector<FileFilter> m_entries;
};

} // namespace kivro
