#pragma once

#include <QCollator>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <optional>
#include <vector>

namespace korbana {

struct Entry;
class ListModel;

// How the three lists order their entries when a column header is clicked.

enum class ListKind { Stores, Products, Shopping };

// Only a to z become capitals; umlauts, ß, digits and everything else stay as they are.
QString foldText(QStringView text);

// A case-sensitive collator of the current default locale; made again when the default locale changes.
const QCollator& textCollator();

// The folded texts compared by the collator: -1 when a goes first, 0 when equal, +1 when b goes first.
int compareFolded(QStringView a, QStringView b);

// Both texts read as numbers. +1 whenever either reading fails, so the order is not consistent then.
// With the flag false the larger number goes first, with the flag true the smaller.
int compareNumbers(QStringView a, QStringView b, bool flag);
int compareNumbers(std::optional<double> a, std::optional<double> b, bool flag);

// The comparison of two entries of a list sorted by column with the flag: < 0 first goes before second.
// Unknown columns compare equal.
int compareEntries(ListKind kind, int column, bool flag, const Entry& first, const Entry& second);

// The new order (element i: the old row that becomes row i) that mergeSort with compareEntries gives.
// Each entry's keys are computed once, so that large lists sort fast; the answer is the same for every pair.
std::vector<int> sortOrder(ListKind kind, int column, bool flag, const ListModel& list);

// Stable bottom-up merge sort of order by compare(a, b) (> 0: b goes before a). Ends, stays in bounds and keeps
// every element whatever compare answers, also when its answers contradict one another.
template<class Compare> void mergeSort(std::vector<int>& order, Compare compare)
{
    const size_t n = order.size();
    std::vector<int> merged(n);
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(lo + width, n);
            const size_t hi = std::min(mid + width, n);
            size_t left = lo;
            size_t right = mid;
            size_t out = lo;
            while (left < mid && right < hi)
                merged[out++] = compare(order[left], order[right]) > 0 ? order[right++] : order[left++];
            while (left < mid)
                merged[out++] = order[left++];
            while (right < hi)
                merged[out++] = order[right++];
        }
        order.swap(merged);
    }
}

} // namespace korbana
