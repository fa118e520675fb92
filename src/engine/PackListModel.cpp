#include "engine/PackListModel.h"

#include "platform/MsgBox.h"
#include "platform/Paths.h"

#include <algorithm>

namespace kivro {

PackListModel::PackListModel(QObject* parent) : QAbstractListModel(parent)
{}

int PackListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant PackListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= count())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_entries.at(index.row()).name;
    if (role == Qt::ToolTipRole)
        return m_entries.at(index.row()).fullPath();
    return QVariant();
}

QStringList PackListModel::fullPaths() const
{
    QStringList out;
    out.reserve(count());
    for (const PackListEntry& e : m_entries)
        out << e.fullPath();
    return out;
}

void PackListModel::append(const QString& folder, const QString& name)
{
    beginInsertRows(QModelIndex(), count(), count());
    m_entries.append(PackListEntry{folder, name});
    endInsertRows();
}

void PackListModel::appendEntries(const QVector<PackListEntry>& entries)
{
    if (entries.isEmpty())
        return;
    beginInsertRows(QModelIndex(), count(), count() + int(entries.size()) - 1);
    m_entries.append(entries);
    endInsertRows();
}

void PackListModel::setEntries(QVector<PackListEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

bool PackListModel::removeAt(int i)
{
    if (i < 0 || i >= count())
        return false;
    beginRemoveRows(QModelIndex(), i, i);
    m_entries.removeAt(i);
    endRemoveRows();
    return true;
}

void PackListModel::removeEntries(QVector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the end, one run of adjacent rows at a time, so earlier rows keep their numbers.
    qsizetype k = rows.size() - 1;
    while (k >= 0) {
        const int last = rows.at(k);
        int first = last;
        while (k > 0 && rows.at(k - 1) == first - 1)
            first = rows.at(--k);
        --k;
        const int lo = std::max(first, 0);
        const int hi = std::min(last, count() - 1);
        if (lo > hi)
            continue;
        beginRemoveRows(QModelIndex(), lo, hi);
        m_entries.remove(lo, hi - lo + 1);
        endRemoveRows();
    }
}

bool PackListModel::swap(int i, int j)
{
    if (i < 0 || j < 0 || i >= count() || j >= count())
        return false;
    if (i == j)
        return true;
    m_entries.swapItemsAt(i, j);
    emit dataChanged(index(std::min(i, j)), index(std::max(i, j)));
    return true;
}

void PackListModel::clear()
{
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

bool RefuseInvalidName(const QString& path)
{
    if (!paths::hasInvalidBytes(path))
        return false;
    MsgBoxResult(QStringLiteral("'") + paths::shownName(path)
                     + QStringLiteral("' cannot be used: its name is not valid UTF-8. Filename skipped."),
                 vbExclamation | vbOKOnly | vbTopMost);
    return true;
}

} // namespace kivro
