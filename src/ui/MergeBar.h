#pragma once

#include <QFrame>

namespace korbana {

class ListDocument;

// The bar above the lists that tells of a change made to the list's file elsewhere while the lists hold changes
// of their own: told at once but not in a box, since the user may be typing. It goes when the lists are saved or
// read again, or at "Später".
class MergeBar final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MergeBar)

public:
    MergeBar(ListDocument* document, QWidget* parent);

Q_SIGNALS:
    // "Zusammenführen".
    void mergeRequested();
};

} // namespace korbana
