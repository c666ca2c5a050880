#pragma once

#include "document/KeptVersions.h"

#include <QDialog>

class QTableWidget;

namespace korbana {

// "Frühere Fassungen": the versions of the list that saves replaced, newest first, with their time and counts;
// "Zusammenführen" merges the chosen one back.
class KeptVersionsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeptVersionsDialog)

public:
    KeptVersionsDialog(const std::vector<KeptVersions::Kept>& versions, QWidget* parent);
    // The row chosen, -1 for none.
    int chosen() const;

private:
    QTableWidget* m_table;
};

} // namespace korbana
