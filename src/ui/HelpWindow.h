#pragma once

#include <QMainWindow>
#include <QUrl>

class QAction;
class QLabel;
class QLineEdit;
class QTextBrowser;

namespace korbana {

class Dialogs;

// The help pages in a window of the program's own, so that they open on any desktop, with or without a web
// browser: contents, back and forward, the links between the pages, and a search in the page. Links to outside
// addresses go to the desktop's browser.
class HelpWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpWindow)

public:
    // dialogs: opens outside addresses (the desktop's browser or mail program).
    explicit HelpWindow(Dialogs& dialogs, QWidget* parent = nullptr);

    // Shows the page and makes it the contents page, the one "Inhalt" goes back to.
    void openContents(const QString& path);
    QUrl source() const;
    QTextBrowser* browser() const { return m_browser; }
    QLineEdit* findField() const { return m_findField; }

    // Finds the next (or previous) place of the find field's text in the page, from the end of the selection on
    // and round from the top; false when the page has none.
    bool findInPage(bool backward = false);

private:
    void followLink(const QUrl& url);
    void showPageTitle();

    Dialogs& m_dialogs;
    QUrl m_contents;
    QTextBrowser* m_browser = nullptr;
    QLineEdit* m_findField = nullptr;
    QLabel* m_findResult = nullptr;
    QAction* m_backAction = nullptr;
    QAction* m_forwardAction = nullptr;
};

} // namespace korbana
