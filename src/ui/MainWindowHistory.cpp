// The Edit menu over the undo history, and the files opened last in the File menu.
#include "MainWindow.h"

#include "lists/ListView.h"
#include "settings/SettingsStore.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

namespace korbana {

namespace {

// "&Rückgängig: Liste löschen", or "&Rückgängig" with nothing to undo.
QString stepText(const QString& command, const QString& step)
{
    return step.isEmpty() ? command : command + QStringLiteral(": ") + step;
}

} // namespace

QUndoStack* MainWindow::history() const
{
    return m_document->history();
}

void MainWindow::buildEditMenu(QAction* before)
{
    m_undoAction = new QAction(QStringLiteral("&Rückgängig"), this);
    m_undoAction->setObjectName(QStringLiteral("undoAction"));
    m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAction = new QAction(QStringLiteral("&Wiederholen"), this);
    m_redoAction->setObjectName(QStringLiteral("redoAction"));
    // Both keys that programs on either platform use for it.
    m_redoAction->setShortcuts({ QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y) });
    connect(m_undoAction, &QAction::triggered, this, &MainWindow::undo);
    connect(m_redoAction, &QAction::triggered, this, &MainWindow::redo);

    const auto follow = [this] {
        m_undoAction->setEnabled(history()->canUndo());
        m_undoAction->setText(stepText(QStringLiteral("&Rückgängig"), history()->undoText()));
        m_redoAction->setEnabled(history()->canRedo());
        m_redoAction->setText(stepText(QStringLiteral("&Wiederholen"), history()->redoText()));
    };
    connect(history(), &QUndoStack::indexChanged, this, follow);
    connect(history(), &QUndoStack::cleanChanged, this, follow);
    follow();

    auto* edit = new QMenu(QStringLiteral("&Bearbeiten"), this);
    edit->setObjectName(QStringLiteral("editMenu"));
    edit->addActions({ m_undoAction, m_redoAction });
    menuBar()->insertMenu(before, edit);
}

void MainWindow::offerHistoryInContextMenus()
{
    // The Shopping list has a context menu; it offers them too.
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    m_shoppingView->addActions({ separator, m_undoAction, m_redoAction });
}

void MainWindow::undo()
{
    // A caption still open is a step of its own, and it is the one undone.
    commitEdits();
    m_document->undo();
    showStatusText();
}

void MainWindow::redo()
{
    commitEdits();
    m_document->redo();
    showStatusText();
}

void MainWindow::buildRecentFilesMenu(QMenu* fileMenu, QAction* before)
{
    try {
        korbana::SettingsStore store;
        store.open();
        m_recentFiles.read(store);
        store.close();
    } catch (const korbana::SettingsError&) {
        // The list starts empty; the window's own settings report a broken store when they are saved.
    }
    // The document takes the name of every file it was read from or written to.
    connect(m_document, &ListDocument::fileNameChanged, this, [this](const QString& path) {
        if (!path.isEmpty())
            rememberRecentFile(path);
    });
    m_recentMenu = new QMenu(QStringLiteral("&Zuletzt geöffnet"), this);
    m_recentMenu->setObjectName(QStringLiteral("recentFilesMenu"));
    fileMenu->insertMenu(before, m_recentMenu);
    showRecentFiles();
}

void MainWindow::showRecentFiles()
{
    m_recentMenu->clear();
    const QStringList& files = m_recentFiles.files();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        // The Alt digit, then the path as the system writes it; an "&" in it is a plain character.
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(u'&', QStringLiteral("&&"));
        QAction* item = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        connect(item, &QAction::triggered, this, [this, path] { openRecentFile(path); });
    }
    m_recentMenu->addSeparator();
    QAction* clear = m_recentMenu->addAction(QStringLiteral("Liste leeren"));
    clear->setObjectName(QStringLiteral("clearRecentFilesAction"));
    clear->setEnabled(!files.isEmpty());
    connect(clear, &QAction::triggered, this, &MainWindow::clearRecentFiles);
    m_recentMenu->setEnabled(true);
}

QStringList MainWindow::recentFiles() const
{
    return m_recentFiles.files();
}

void MainWindow::rememberRecentFile(const QString& path)
{
    m_recentFiles.add(path);
    storeRecentFiles();
}

void MainWindow::openRecentFile(const QString& path)
{
    if (!askToSave(QStringLiteral("Datei: Öffnen...")))
        return;
    openFile(path);
    // A file that no longer opens leaves the list; one that opened is in front of it.
    if (QDir::cleanPath(documentName()) != QDir::cleanPath(path)) {
        m_recentFiles.remove(path);
        storeRecentFiles();
    }
}

void MainWindow::clearRecentFiles()
{
    m_recentFiles.clear();
    storeRecentFiles();
}

void MainWindow::storeRecentFiles()
{
    showRecentFiles();
    try {
        korbana::SettingsStore store;
        store.open();
        m_recentFiles.write(store);
        store.close();
    } catch (const korbana::SettingsError&) {
        // The list holds for this run; the window's own settings report a broken store when they are saved.
    }
}

} // namespace korbana
