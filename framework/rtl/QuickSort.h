// The lists' sort: a quicksort over positions with the middle element as pivot. Equal elements end up in the
// order this exact algorithm gives, which callers of the sorted lists can observe.
#pragma once

#include "rtl/Types.h"

template <class Compare, class Exchange>
void QuickSortRange(Integer low, Integer high, const Compare& compare, const Exchange& exchange)
{
    while (low < high) {
        Integer i = low;
        Integer j = high;
        Integer pivot = (low + high) / 2;
        while (i <= j) {
            while (compare(i, pivot) < 0) ++i;
            while (compare(j, pivot) > 0) --j;
            if (i <= j) {
                exchange(i, j);
                if (pivot == i) pivot = j;
                else if (pivot == j) pivot = i;
                ++i;
                --j;
            }
        }
        if (low < j) QuickSortRange(low, j, compare, exchange);
        low = i;
    }
}
