#include "dialogs/FileFilterModel.h"

#include <algorithm>

namespace kivro {

FileFilterModel::FileFilterModel(QObject* parent) : QAbstractListModel(parent)
{}

int FileFilterModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant FileFilterModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= count())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_entries.at(index.row()).displayForm();
    return QVariant();
}

void FileFilterModel::append(const QString& description, const QString& patterns)
{
    FileFilter f;
    f.description = description;
    f.patterns = patterns;
    beginInsertRows(QModelIndex(), count(), count());
    m_entries.append(f);
    endInsertRows();
}

bool FileFilterModel::removeAt(int i)
{
    if (i < 0 || i >= count())
        return false;
    beginRemoveRows(QModelIndex(), i, i);
    m_entries.removeAt(i);
    endRemoveRows();
    return true;
}

bool FileFilterModel::swap(int i, int j)
{
    if (i < 0 || j < 0 || i >= count() || j >= count())
        return false;
    if (i == j)
        return true;
    m_entries.swapItemsAt(i, j);
    emit dataChanged(index(std::min(i, j)), index(std::max(i, j)));
    return true;
}

void FileFilterModel::clear()
{
    if (m_entries.isEmpty())
        return;
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

} // namespace kivro
