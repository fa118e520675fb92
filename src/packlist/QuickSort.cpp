#include "packlist/QuickSort.h"

#include <cmath>

namespace kivro::QuickSort {

namespace {

// `before(a, b)`: a belongs in front of b.
template <class Before>
void partitionSort(QStringList& names, QStringList& folders, std::int32_t lo, std::int32_t hi, Before before)
{
    while (lo < hi) {
        const auto middle = std::int32_t(std::nearbyint((double(lo) + double(hi)) / 2.0));
        const QString pivot = names.at(middle);
        std::int32_t i = lo;
        std::int32_t j = hi;
        while (i <= j) {
            while (before(names.at(i), pivot) && i < hi)
                ++i;
            while (before(pivot, names.at(j)) && j > lo)
                --j;
            if (i <= j) {
                names.swapItemsAt(i, j);
                folders.swapItemsAt(i, j);
                ++i;
                --j;
            }
        }
        // lo..j and i..hi are left to sort; the smaller one by a call, the larger one here.
        if (j - lo < hi - i) {
            if (lo < j)
                partitionSort(names, folders, lo, j, before);
            lo = i;
        } else {
            if (i < hi)
                partitionSort(names, folders, i, hi, before);
            hi = j;
        }
    }
}

} // namespace

void QuickSortAscending(QStringList& names, QStringList& folders, std::int32_t lo, std::int32_t hi)
{
    partitionSort(names, folders, lo, hi,
                  [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseSensitive) < 0; });
}

void QuickSortDescending(QStringList& names, QStringList& folders, std::int32_t lo, std::int32_t hi)
{
    partitionSort(names, folders, lo, hi,
                  [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseSensitive) > 0; });
}

} // namespace kivro::QuickSort
