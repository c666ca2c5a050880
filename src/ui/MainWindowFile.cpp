// The document's life: the list at start, New, Open (also by dropping a file), Save, Save as, closing; help and
// the about box.
#include "AboutDialog.h"
#include "DocumentSafety.h"
#include "HelpWindow.h"
#include "MainWindow.h"
#include "MergeBar.h"
#include "RecentFilesMenu.h"
#include "ShownNames.h"
#include "StatusBar.h"
#include "lists/ListModel.h"
#include "lists/ListTexts.h"
#include "lists/ListView.h"
#include "settings/WindowStateStore.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace korbana {

namespace {

QString fileNamePart(const QString& path)
{
#ifdef Q_OS_WIN
    const qsizetype cut = std::max({ path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'), path.lastIndexOf(u':') });
#else
    // Elsewhere a backslash and ":" are ordinary characters of a file name ("Liste 12:00.kbl").
    const qsizetype cut = path.lastIndexOf(u'/');
#endif
    return path.mid(cut + 1);
}

// The one local list file (*.kbl) that a drag carries; empty for anything else, several files included.
QString droppedListFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return {};
    const QString path = urls.first().toLocalFile();
    return path.endsWith(QStringLiteral(".kbl"), Qt::CaseInsensitive) ? path : QString();
}

#ifndef Q_OS_WIN
// The help's start page: in help/ beside a program that is not installed, else in the installed documentation.
QString helpStartPage(const QString& programDir)
{
    for (const QString& page :
        { QStringLiteral("help/index.htm"), QStringLiteral("../share/doc/korbana/html/index.htm") }) {
        QString path = QDir::cleanPath(programDir + page);
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}
#endif

} // namespace

void MainWindow::showTitle(const QString& path)
{
    setWindowTitle(QString::fromUtf16(kTitle) + QStringLiteral(" - ")
        + (path.isEmpty() ? QStringLiteral("Kein Name") : oneLine(fileNamePart(path))));
}

QString MainWindow::startFilePath()
{
    if (m_programDir.isEmpty())
        m_programDir = QCoreApplication::applicationDirPath();
    if (!m_programDir.endsWith(u'/'))
        m_programDir += u'/';
    return m_startFile.isEmpty() ? m_programDir + QString::fromUtf16(kDefaultFile) : m_startFile;
}

void MainWindow::openStartFile()
{
    // Read on a worker thread while the window was built: waited for here, before any message or window shows.
    m_document->finishReadingAhead();
    // Every copy that a crashed or killed window left is offered first, whichever list it belongs to.
    m_statusBar->setStatusHeld(true);
    const bool recovered = m_safety->offerRecovery(std::nullopt);
    m_statusBar->setStatusHeld(false);
    const QString path = startFilePath();
    if (recovered) {
        m_statusBar->showStatusText();
    } else if (!m_startFile.isEmpty() && !QFileInfo(path).exists() && !QFileInfo(path).isSymLink()) {
        // A list named on the command line that does not exist yet starts empty under its name, as a text editor
        // opens a new document.
        m_document->startNamed(path);
    } else if (m_safety->openAnyway(path)) {
        openFile(path);
    } else {
        // Not opened a second time: the window starts with empty lists without a name.
        m_document->clear();
    }
}

void MainWindow::openFile(const QString& path)
{
    m_statusBar->setStatusHeld(true);
    if (!m_safety->offerRecovery(path)) {
        // The title shows the name before a message about the file.
        const korbana::ReadResult result = m_document->open(path);
        if (result != korbana::ReadResult::Ok)
            m_dialogs.error(this, korbana::messageText(result), korbana::messageTitle(result));
    }
    m_statusBar->setStatusHeld(false);
    m_statusBar->showStatusText();
    // Asked once the window is up, not while it is being built.
    QMetaObject::invokeMethod(document(), &ListDocument::lookForConflictCopies, Qt::QueuedConnection);
}

bool MainWindow::saveFile(const QString& path)
{
    // A name still being typed in a list is saved as the user sees it, and the questions before it see it too.
    m_document->collectEdits();
    // What the save reports (also while it prepares) stands beside the news that the lists are saved.
    const QString reportBefore = m_statusBar->currentMessage();
    if (!m_safety->prepareOverwrite(path))
        return false;
    const korbana::WriteResult result = m_document->save(path);
    if (result != korbana::WriteResult::Ok)
        m_dialogs.error(this, korbana::messageText(result), korbana::messageTitle(result));
    else
        m_statusBar->showSaved(reportBefore);
    return result == korbana::WriteResult::Ok;
}

bool MainWindow::saveStep()
{
    if (!documentName().isEmpty())
        return saveFile(documentName());
    const QString path = m_dialogs.chooseFile(this, m_listSaveOptions);
    if (path.isEmpty())
        return false;
    return saveFile(path);
}

bool MainWindow::askToSave(const QString& title)
{
    const auto answer = m_dialogs.question(this, QStringLiteral("Wollen Sie die nicht gesicherten Daten speichern?"),
        title, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return saveStep();
    if (answer != QMessageBox::No)
        return false;
    m_document->discardRecoveryCopy();
    return true;
}

QStringList MainWindow::recentFiles() const
{
    return m_recentMenu->files();
}

void MainWindow::openRecentFile(const QString& path)
{
    if (!askToSave(QStringLiteral("Datei: Öffnen...")))
        return;
    openFile(path);
    // A file that no longer opens leaves the list; one that opened is in front of it.
    if (QDir::cleanPath(documentName()) != QDir::cleanPath(path))
        m_recentMenu->remove(path);
}

void MainWindow::offerReload()
{
    // No box that could take the user's keys. While a name is being typed the change waits in the bar, as it does
    // for lists with changes of their own; otherwise the file is loaded at once, one step that "Rückgängig" takes
    // back.
    if (m_storesView->isEditing() || m_productsView->isEditing() || m_shoppingView->isEditing()) {
        m_mergeBar->showChange();
        return;
    }
    m_safety->reloadChangedFile();
    m_statusBar->showStatusText();
}

void MainWindow::showEarlierVersions()
{
    m_safety->offerKeptVersions();
}

void MainWindow::newDocument()
{
    if (!askToSave(QStringLiteral("Datei: Neu...")))
        return;
    m_document->clear();
}

void MainWindow::openDocument()
{
    if (!askToSave(QStringLiteral("Datei: Öffnen...")))
        return;
    const QString path = m_dialogs.chooseFile(this, m_listOpenOptions);
    if (!path.isEmpty() && m_safety->openAnyway(path))
        openFile(path);
}

void MainWindow::openDroppedFile(const QString& path)
{
    if (askToSave(QStringLiteral("Datei: Öffnen...")) && m_safety->openAnyway(path))
        openFile(path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedListFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString path = droppedListFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The question and the open run after the drop has ended, so that the file manager is not held up meanwhile.
    QMetaObject::invokeMethod(
        this, [this, path] { openDroppedFile(path); }, Qt::QueuedConnection);
}

void MainWindow::save()
{
    if (documentName().isEmpty())
        saveAs();
    else
        saveFile(documentName());
}

void MainWindow::saveAs()
{
    const QString path = m_dialogs.chooseFile(this, m_listSaveOptions);
    if (!path.isEmpty())
        saveFile(path);
}

void MainWindow::quit()
{
    close();
}

bool MainWindow::queryClose()
{
    return askToSave(QStringLiteral("Datei: Beenden..."));
}

void MainWindow::showEvent(QShowEvent* event)
{
    if (!m_shown) {
        m_shown = true;
        m_windowState->restore();
    }
    QMainWindow::showEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The session's end has asked and saved already (m_closeAllowed).
    if (!m_closeAllowed && !queryClose()) {
        event->ignore();
        return;
    }
    if (!m_closeAllowed)
        m_windowState->closeSave();
    // The help goes with the window it belongs to.
    if (m_helpWindow)
        m_helpWindow->close();
    event->accept();
}

void MainWindow::showHelp()
{
#ifdef Q_OS_WIN
    m_dialogs.openUrl(m_programDir + QStringLiteral("korbana.chm"));
#else
    // Linux desktops open no compiled help, and not every one has a web browser: the HTML pages open in a window
    // of the program's own. Without the pages nothing happens, as with a missing help file on Windows.
    const QString page = helpStartPage(m_programDir);
    if (page.isEmpty())
        return;
    if (!m_helpWindow)
        m_helpWindow = new korbana::HelpWindow(m_dialogs, this);
    // A help window still open keeps its page; a closed one opens again at the contents.
    if (!m_helpWindow->isVisible())
        m_helpWindow->openContents(page);
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
#endif
}

void MainWindow::showAbout()
{
    if (m_aboutDialog)
        m_dialogs.exec(m_aboutDialog);
}

} // namespace korbana
