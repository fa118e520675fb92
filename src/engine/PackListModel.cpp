#include "engine/PackListModel.h"

namespace kivro {

PackListModel::PackListModel(QObject* parent) : QAbstractListModel(parent) {}

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

void PackListModel::removeAt(int i)
{
    beginRemoveRows(QModelIndex(), i, i);
    m_entries.removeAt(i);
    endRemoveRows();
}

void PackListModel::swap(int i, int j)
{
    if (i == j)
        return;
    m_entries.swapItemsAt(i, j);
    emit dataChanged(index(std::min(i, j)), index(std::max(i, j)));
}

void PackListModel::clear()
{
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

} // namespace kivro
