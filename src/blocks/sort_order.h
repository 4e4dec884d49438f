// The order a selection sort with exchanges leaves, computed two ways.
//
// The line sorts are defined as a selection sort: for each row i from the top and each
// later row j, rows i and j exchange their lines when a rule says so. That sort is not
// stable: it fixes one particular order of lines with equal keys, which users see (a
// descending sort of equal numbers reverses them), so a faster sort must leave exactly
// the same order. Both functions return, for each row, the index of the line that ends
// up there.
#pragma once

#include <functional>
#include <utility>
#include <vector>

// The plain selection sort, n(n-1)/2 questions: `exchanges(a, b)` tells whether line b,
// met below line a, takes a's row.
template <class Exchanges>
std::vector<int> selectionSortOrder(int n, Exchanges exchanges) {
    std::vector<int> order(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) order[static_cast<size_t>(k)] = k;
    for (size_t i = 0; i < order.size(); ++i)
        for (size_t j = i + 1; j < order.size(); ++j)
            if (exchanges(order[i], order[j])) std::swap(order[i], order[j]);
    return order;
}

// The same order as selectionSortOrder with the rule
//   exchanges(a, b) = goesBefore(b, a) || (neither goes before the other && equalsExchange(a)),
// in O(n log n) plus at most O(n^1.5) steps. `goesBefore` must be a strict weak order and
// `equalsExchange` the same for all lines of one class of equal keys.
std::vector<int> exchangeSortOrder(int n, const std::function<bool(int, int)>& goesBefore,
                                   const std::function<bool(int)>& equalsExchange);
