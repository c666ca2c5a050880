#pragma once

#include "print/ShoppingPrintout.h"

#include <QGroupBox>

class QCheckBox;

namespace korbana {

class WindowStateStore;

// "Ausdruck" on the settings page: the printout's tick boxes and its grouping by shop, kept in the settings.
class PrintOptionsBox final : public QGroupBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PrintOptionsBox)

public:
    explicit PrintOptionsBox(QWidget* parent);

    PrintOptions options() const;
    // The two choices come back with the window's other settings and are saved with them.
    void keepIn(WindowStateStore& settings);

private:
    QCheckBox* m_tickBoxes;
    QCheckBox* m_groupByShop;
    QCheckBox* m_leaveTickedOut;
};

} // namespace korbana
