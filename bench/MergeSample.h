#pragma once

// Two versions of the same lists for the merge cases: each side's edits at places spread over the lists, as two
// people change a shared list between two syncs.

#include "document/ListFile.h"
#include "document/ListMerge.h"
#include "lists/ListModel.h"

#include <QString>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

using namespace korbana;

namespace sample {

inline korbana::ListSections sectionsOf(const korbana::ListSet& lists)
{
    korbana::ListSections out;
    const korbana::ListModel* models[] = { lists.stores, lists.products, lists.shopping };
    for (size_t list = 0; list < out.size(); ++list) {
        out[list].reserve(static_cast<size_t>(models[list]->count()));
        for (int row = 0; row < models[list]->count(); ++row)
            out[list].push_back(models[list]->entryAt(row));
    }
    return out;
}

// A third of the edits change an entry's last column, a third remove an entry, a third add one before an entry;
// the places are spread over the three lists by their sizes. The same seed gives the same edits.
inline void edit(korbana::ListSections& lists, int edits, unsigned seed)
{
    std::mt19937 rng(seed);
    size_t total = 0;
    for (const auto& list : lists)
        total += list.size();
    if (total == 0)
        return;
    std::vector<std::pair<size_t, int>> places; // over the three lists in a row, and the edit's number
    for (int n = 0; n < edits; ++n)
        places.emplace_back(rng() % total, n);
    std::sort(places.begin(), places.end());
    auto place = places.cbegin();
    size_t at = 0;
    for (size_t list = 0; list < lists.size(); ++list) {
        std::vector<korbana::Entry> edited;
        edited.reserve(lists[list].size() + places.size());
        for (korbana::Entry& e : lists[list]) {
            bool removed = false;
            for (; place != places.cend() && place->first == at; ++place) {
                const QString mark = QStringLiteral(" (%1)").arg(seed * 100000u + static_cast<unsigned>(place->second));
                if (place->second % 3 == 0) {
                    (list == 0 ? e.caption : e.subItems[list == 1 ? 1 : 2]) += mark;
                } else if (place->second % 3 == 1) {
                    removed = true;
                } else {
                    edited.push_back(e);
                    edited.back().caption += mark;
                }
            }
            if (!removed)
                edited.push_back(std::move(e));
            ++at;
        }
        lists[list] = std::move(edited);
    }
}

} // namespace sample
