#include "HelpWindow.h"
#include "Dialogs.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>

namespace korbana {

namespace {

constexpr char16_t kWindowTitle[] = u"korbana Hilfe";

bool isOutsideAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == u"http" || scheme == u"https" || scheme == u"mailto" || scheme == u"ftp";
}

} // namespace

HelpWindow::HelpWindow(Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent, Qt::Window)
    , m_dialogs(dialogs)
    , m_browser(new QTextBrowser(this))
    , m_findField(new QLineEdit(this))
    , m_findResult(new QLabel(this))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QString::fromUtf16(kWindowTitle));
    resize(760, 620);

    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    // Every link comes through followLink: the pages' own links here, outside addresses to the desktop.
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    setCentralWidget(m_browser);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::showPageTitle);

    QToolBar* bar = addToolBar(QStringLiteral("Hilfe"));
    bar->setObjectName(QStringLiteral("helpToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* contents = bar->addAction(QStringLiteral("&Inhalt"), this, [this] {
        if (!m_contents.isEmpty())
            m_browser->setSource(m_contents);
    });
    contents->setObjectName(QStringLiteral("helpContentsAction"));
    contents->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    m_backAction = bar->addAction(QStringLiteral("&Zurück"), m_browser, &QTextBrowser::backward);
    m_backAction->setObjectName(QStringLiteral("helpBackAction"));
    m_backAction->setShortcut(QKeySequence::Back);
    m_backAction->setEnabled(false);
    m_forwardAction = bar->addAction(QStringLiteral("&Vorwärts"), m_browser, &QTextBrowser::forward);
    m_forwardAction->setObjectName(QStringLiteral("helpForwardAction"));
    m_forwardAction->setShortcut(QKeySequence::Forward);
    m_forwardAction->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_backAction, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forwardAction, &QAction::setEnabled);

    bar->addSeparator();
    auto* findLabel = new QLabel(QStringLiteral("&Suchen:"), bar);
    findLabel->setBuddy(m_findField);
    findLabel->setContentsMargins(4, 0, 4, 0);
    bar->addWidget(findLabel);
    m_findField->setObjectName(QStringLiteral("helpFindField"));
    m_findField->setClearButtonEnabled(true);
    m_findField->setMaximumWidth(220);
    m_findField->setAccessibleName(QStringLiteral("Suchen in der Seite"));
    bar->addWidget(m_findField);
    m_findResult->setObjectName(QStringLiteral("helpFindResult"));
    m_findResult->setContentsMargins(6, 0, 4, 0);
    bar->addWidget(m_findResult);
    // Enter finds the next place, Shift+Enter the one before; typing searches from the start of the selection.
    connect(m_findField, &QLineEdit::returnPressed, this, [this] { findInPage(); });
    connect(m_findField, &QLineEdit::textEdited, this, [this] {
        QTextCursor cursor = m_browser->textCursor();
        cursor.setPosition(cursor.selectionStart());
        m_browser->setTextCursor(cursor);
        findInPage();
    });
    auto* findShortcut = new QShortcut(QKeySequence::Find, this);
    connect(findShortcut, &QShortcut::activated, this, [this] {
        m_findField->setFocus(Qt::ShortcutFocusReason);
        m_findField->selectAll();
    });
    auto* nextShortcut = new QShortcut(QKeySequence::FindNext, this);
    connect(nextShortcut, &QShortcut::activated, this, [this] { findInPage(); });
    auto* previousShortcut = new QShortcut(QKeySequence::FindPrevious, this);
    connect(previousShortcut, &QShortcut::activated, this, [this] { findInPage(true); });
    // Like the desktop's other help viewers: Escape and Ctrl+W close the window.
    for (const QKeySequence& closeKey : { QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W) }) {
        auto* closeShortcut = new QShortcut(closeKey, this);
        connect(closeShortcut, &QShortcut::activated, this, &QWidget::close);
    }
    auto* previousFromField = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Return), m_findField);
    previousFromField->setContext(Qt::WidgetShortcut);
    connect(previousFromField, &QShortcut::activated, this, [this] { findInPage(true); });
}

void HelpWindow::openContents(const QString& path)
{
    m_contents = QUrl::fromLocalFile(path);
    m_browser->setSource(m_contents);
}

QUrl HelpWindow::source() const
{
    return m_browser->source();
}

bool HelpWindow::findInPage(bool backward)
{
    const QString text = m_findField->text();
    m_findResult->clear();
    if (text.isEmpty())
        return false;
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (m_browser->find(text, flags))
        return true;
    // Round from the other end of the page.
    QTextCursor cursor = m_browser->textCursor();
    cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    m_browser->setTextCursor(cursor);
    if (m_browser->find(text, flags))
        return true;
    m_findResult->setText(QStringLiteral("Nicht gefunden"));
    return false;
}

void HelpWindow::followLink(const QUrl& url)
{
    if (isOutsideAddress(url))
        m_dialogs.openUrl(url.toString());
    else
        m_browser->setSource(url);
}

void HelpWindow::showPageTitle()
{
    m_findResult->clear();
    const QString title = m_browser->documentTitle();
    setWindowTitle(title.isEmpty() ? QString::fromUtf16(kWindowTitle)
                                   : QString::fromUtf16(kWindowTitle) + QStringLiteral(" - ") + title);
}

} // namespace korbana
