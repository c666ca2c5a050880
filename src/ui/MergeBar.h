#pragma once

#include <QFrame>

class QLabel;
class QToolButton;

namespace korbana {

class ListDocument;

// The one-line bar above the lists: what happened to the list's file elsewhere, told at once but never in a box,
// since the user may be typing. A change while the lists hold changes of their own ("Zusammenführen", "Später"); a
// change loaded in place of unchanged lists ("Rückgängig"); a merge that kept entries in both forms, counted
// ("Anzeigen" lists them). It goes when the lists are saved or read again, or at "Später" / "Schließen".
class MergeBar final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MergeBar)

public:
    MergeBar(ListDocument* document, QWidget* parent);

    // The file changed elsewhere: "Zusammenführen" or "Später".
    void showChange();
    // A merge kept count entries in both forms.
    void showConflicts(int count);
    // The file changed elsewhere was loaded in place of unchanged lists: "Rückgängig" takes that back.
    void showReloaded();
    // The file changed elsewhere could not be loaded whole; the lists stay.
    void showUnreadable();

Q_SIGNALS:
    // "Zusammenführen".
    void mergeRequested();
    // "Anzeigen".
    void conflictsRequested();
    // "Rückgängig".
    void undoRequested();

private:
    // One text and the one button of the kind it needs, besides "Schließen" or "Später".
    void showText(const QString& text, QToolButton* action, const QString& closeText);

    QLabel* m_text;
    QToolButton* m_merge;
    QToolButton* m_show;
    QToolButton* m_undo;
    QToolButton* m_close;
};

} // namespace korbana
