#pragma once

#include "document/ListMerge.h"

#include <QDialog>

namespace korbana {

// What a merge kept in both forms, side by side: for each entry changed differently on both sides, or removed on
// one side and changed on the other, the list it is in, this window's form and the other side's.
class MergeConflictsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MergeConflictsDialog)

public:
    MergeConflictsDialog(const std::array<std::vector<MergeConflict>, 3>& conflicts, QWidget* parent);

    // One entry's texts on one line; "(gelöscht)" for an entry removed on that side.
    static QString shownEntry(const std::optional<Entry>& entry, int subItems);
};

} // namespace korbana
