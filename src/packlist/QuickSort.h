#pragma once
// The partition-exchange sort of the pack list: sorts names in place and moves each entry's folder
// with its name. Names compare by their character codes (upper case before lower case, a prefix
// before the longer name, no locale, no natural number order).
//
// The sort is not stable: both scans stop at a name equal to the pivot and such names are
// exchanged too, so entries with the same name in different folders come out in the order this
// exact scheme gives (two equal names change places at every sort). The pivot is the middle
// element, (lo + hi) / 2 rounded to the nearest index, halves to even.
//
// It recurses into the smaller part and goes on with the larger one in a loop (the parts do not
// overlap, so the order is the same as recursing into both), which keeps the stack depth at
// log2 of the length for any list.
#include <QStringList>
#include <cstdint>

namespace kivro::QuickSort {

// Sorts names[lo..hi] (inclusive) into ascending order; folders[k] moves with names[k]. Both lists
// must hold at least hi + 1 elements; a range of fewer than two elements is left as it is.
void QuickSortAscending(QStringList& names, QStringList& folders, std::int32_t lo, std::int32_t hi);

// The same into descending order.
void QuickSortDescending(QStringList& names, QStringList& folders, std::int32_t lo, std::int32_t hi);

} // namespace kivro::QuickSort
