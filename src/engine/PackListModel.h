#pragma once
// The pack list: the ordered entries Pack and Unpack work on. One model of entries (folder ending
// in "/" plus name), so the list of names (`selpos_lst`, shown by the pack-list window) and the
// list of folders (`dirpos_lst`, the main window's hidden list) can never drift apart.
#include <QAbstractListModel>
#include <QString>
#include <QStringList>
#include <QVector>

namespace kivro {

struct PackListEntry {
    QString folder; // always ends in "/"
    QString name;   // no folder part
    QString fullPath() const { return folder + name; }
};

class PackListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit PackListModel(QObject* parent = nullptr);

    // QAbstractListModel: the display role is the name; Qt::ToolTipRole the full path.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    int count() const { return int(m_entries.size()); }
    const PackListEntry& entry(int i) const { return m_entries.at(i); }
    QString name(int i) const { return m_entries.at(i).name; }
    QString folder(int i) const { return m_entries.at(i).folder; }
    QString fullPath(int i) const { return m_entries.at(i).fullPath(); }
    QStringList fullPaths() const;

    void append(const QString& folder, const QString& name);
    // Appends entries at the end in one step.
    void appendEntries(const QVector<PackListEntry>& entries);
    // Puts these entries in place of all others in one step (the view keeps no selection).
    void setEntries(QVector<PackListEntry> entries);
    // Out-of-range rows are ignored (false), so no caller can reach past the end of the list.
    bool removeAt(int i);
    // Removes the given rows (any order, duplicates allowed) in as few steps as there are runs
    // of adjacent rows; the others keep their order. Rows out of range are ignored.
    void removeEntries(QVector<int> rows);
    // Exchanges the entries of rows i and j in place (name and folder together).
    bool swap(int i, int j);
    void clear();

private:
    QVector<PackListEntry> m_entries;
};

// A path offered for the pack list (the command line, a drop) whose bytes were not valid UTF-8
// (paths::decodeFileName marked them): such a file cannot be opened through its name. Says so by
// name and returns true; the caller skips the path and goes on with the others.
bool RefuseInvalidName(const QString& path);

} // namespace kivro
