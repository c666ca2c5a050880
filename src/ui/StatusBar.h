#pragma once

#include <QStatusBar>

namespace korbana {

class ListDocument;
class ShoppingTotal;

// The main window's status bar: the status text counting the Shopping list as the document reports it, short
// hints about commands, the running total and the warning that recovery copies fail.
class StatusBar final : public QStatusBar
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusBar)

public:
    StatusBar(ListDocument* document, QWidget* parent);

    // Shows the status text from the Shopping list's count now, unless it is held.
    void showStatusText();
    // While held the status text waits, so that after a message box it shows the count as it is then.
    void setStatusHeld(bool held) { m_held = held; }
    // Says why a command did nothing, or what it did, for a few seconds.
    void showHint(const QString& hint);
    // After a successful save: a report standing since before (a merge's "not saved yet") gives way to the news
    // that the lists are saved, together with what the save itself reported. The status text itself stays.
    void showSaved(const QString& messageBeforeSave);
    // "Summe: 4,47 EUR".
    QString totalText() const;
    // "3 von 8 erledigt · offen 12,40 EUR" while something is ticked off, else empty.
    QString tickText() const;

private:
    ListDocument* m_document;
    ShoppingTotal* m_total;
    bool m_held = false;
};

} // namespace korbana
