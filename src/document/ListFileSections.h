#pragma once

// What the reader and the writer of the list file share: the sections in their order and the byte-order mark.
#include "ListFile.h"

#include <QByteArrayView>

#include <array>

namespace korbana {

inline constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

// One section of the file: its list, how many sub-items each entry has, and which of its fields repeat often
// enough to be worth sharing (bit 0 the caption, bit i+1 sub-item i).
struct Section
{
    ListModel* ListSet::*list;
    int subItems;
    unsigned pooledFields;
    // The fields that hold a product's name or price, looked up in the catalogue read before.
    unsigned catalogueFields;
};
// Shared: every field of a product (a catalogue holds the same product at several shops, and shops and prices
// repeat) and of a shopping entry (its product's texts again).
inline constexpr std::array<Section, 3> kSections { { { &ListSet::stores, 0, 0b0000, 0 },
    { &ListSet::products, 2, 0b0111, 0 }, { &ListSet::shopping, 3, 0b1111, 0b1010 } } };

} // namespace korbana
