// Keeping the document safe: changes made to its file elsewhere, files that did not load completely, recovery
// copies of unsaved lists.
#include "MainWindow.h"
#include "document/DocumentFileState.h"
#include "document/ListFile.h"
#include "document/RecoveryStore.h"
#include "lists/ListModel.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <new>

namespace korbana {

namespace {

// A change reaches the recovery copy this soon; further changes in between go with it.
constexpr int kRecoveryDelayMs = 2000;
// Programs write a file in several steps; look at it once they are done.
constexpr int kFileCheckDelayMs = 300;

} // namespace

void MainWindow::setUpDocumentSafety()
{
    m_fileState = std::make_unique<korbana::DocumentFileState>();
    m_recovery = std::make_unique<korbana::RecoveryStore>();

    m_fileWatcher = new QFileSystemWatcher(this);
    m_fileCheckTimer = new QTimer(this);
    m_fileCheckTimer->setSingleShot(true);
    m_fileCheckTimer->setInterval(kFileCheckDelayMs);
    connect(m_fileCheckTimer, &QTimer::timeout, this, &MainWindow::checkDocumentFile);
    const auto fileTouched = [this] { m_fileCheckTimer->start(); };
    connect(m_fileWatcher, &QFileSystemWatcher::fileChanged, this, fileTouched);
    // A replace by rename drops the file's watch; its folder tells when the new file arrives.
    connect(m_fileWatcher, &QFileSystemWatcher::directoryChanged, this, fileTouched);

    m_recoveryTimer = new QTimer(this);
    m_recoveryTimer->setSingleShot(true);
    m_recoveryTimer->setInterval(kRecoveryDelayMs);
    connect(m_recoveryTimer, &QTimer::timeout, this, &MainWindow::writeRecoveryCopy);
    m_snapshotCopier = std::make_unique<korbana::SnapshotCopier>();
    m_snapshotTimer = new QTimer(this);
    m_snapshotTimer->setInterval(0);
    connect(m_snapshotTimer, &QTimer::timeout, this, &MainWindow::copyRecoverySlice);

    for (ListModel* list : { m_stores, m_products, m_shopping }) {
        connect(list, &QAbstractItemModel::dataChanged, this, &MainWindow::listsChanged);
        connect(list, &QAbstractItemModel::rowsInserted, this, &MainWindow::listsChanged);
        connect(list, &QAbstractItemModel::rowsRemoved, this, &MainWindow::listsChanged);
        connect(list, &QAbstractItemModel::rowsMoved, this, &MainWindow::listsChanged);
        connect(list, &QAbstractItemModel::modelReset, this, &MainWindow::listsChanged);
        connect(list, &QAbstractItemModel::layoutChanged, this, &MainWindow::listsChanged);
    }
}

bool MainWindow::isModified() const
{
    return m_fileState->isModified();
}

void MainWindow::listsChanged()
{
    m_fileState->setModified(true);
    ++m_changeGeneration;
    if (!m_recoveryTimer->isActive())
        m_recoveryTimer->start();
}

korbana::ReadResult MainWindow::readDocument(const QString& path, korbana::ListContent* preRead)
{
    const korbana::ListSet lists { m_stores, m_products, m_shopping };
    korbana::ReadResult result = korbana::ReadResult::CannotOpen;
    korbana::ReadFacts facts;
    try {
        if (preRead) {
            facts = preRead->facts;
            result = korbana::applyListContent(std::move(*preRead), lists);
        } else {
            result = korbana::readListFile(path, lists, &facts);
        }
    } catch (const std::bad_alloc&) {
        // A file too large for this machine's memory: start from empty lists rather than end the program.
        m_stores->clear();
        m_products->clear();
        m_shopping->clear();
        facts = { korbana::FileStamp::of(path), korbana::ContentHash::ofFile(path), false };
        result = korbana::ReadResult::BadFormat;
    }
    if (result == korbana::ReadResult::CannotOpen)
        return result;
    m_fileState->loaded(path, facts.stamp, facts.contentHash, facts.complete);
    stopRecoveryCopy();
    watchDocumentFile();
    return result;
}

void MainWindow::forgetDocumentFile()
{
    m_fileState->forget();
    stopRecoveryCopy();
    watchDocumentFile();
}

bool MainWindow::prepareOverwrite(const QString& path)
{
    if (path != m_fileState->path())
        return true;
    if (m_fileState->changedElsewhere()) {
        const auto answer = m_dialogs.message(this,
            QStringLiteral("Die Datei wurde seit dem letzten Öffnen oder Speichern von einem anderen Programm "
                           "geändert.\n\nWollen Sie sie trotzdem überschreiben?"),
            QStringLiteral("Datei geändert"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
            QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }
    if (!m_fileState->needsBackup(path))
        return true;
    const std::optional<QString> backup = m_fileState->keepBackup();
    if (!backup) {
        m_dialogs.error(this,
            QStringLiteral("Die Datei wurde beim Öffnen nicht vollständig gelesen, und ihr ursprünglicher Inhalt "
                           "konnte nicht aufbewahrt werden. Es wurde nichts gespeichert."),
            korbana::messageTitle(korbana::WriteResult::CannotCreate));
        return false;
    }
    m_dialogs.message(this,
        QStringLiteral("Die Datei wurde beim Öffnen nicht vollständig gelesen. Ihr ursprünglicher Inhalt wurde "
                       "aufbewahrt in:\n%1")
            .arg(QDir::toNativeSeparators(*backup)),
        QStringLiteral("Sicherungskopie"), QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok);
    return true;
}

korbana::WriteResult MainWindow::writeDocument(const QString& path)
{
    QByteArray contentHash;
    const korbana::WriteResult result
        = korbana::writeListFile(path, { m_stores, m_products, m_shopping }, &contentHash);
    if (result != korbana::WriteResult::Ok)
        return result;
    // What was kept for the former file (Save as) and for this one is safe on disk now.
    m_recovery->remove(m_fileState->path());
    m_recovery->remove(path);
    stopRecoveryCopy();
    m_fileState->written(path, contentHash);
    watchDocumentFile();
    return result;
}

std::optional<QByteArray> MainWindow::offerRecovery(const QString& path)
{
    std::optional<QByteArray> recovered = korbana::RecoveryStore::read(path);
    if (!recovered)
        return recovered;
    const auto answer = m_dialogs.message(this,
        QStringLiteral("korbana wurde beendet, ohne die letzten Änderungen zu sichern.\n\nWollen Sie die "
                       "wiederhergestellten Listen laden?"),
        QStringLiteral("Wiederherstellen"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
        QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        return recovered;
    korbana::RecoveryStore::setAside(path);
    return std::nullopt;
}

void MainWindow::applyRecovery(const QString& path, const QByteArray& bytes)
{
    if (m_fileState->path() != path) {
        // The file itself could not be read: the next save goes to it without asking.
        m_fileState->forget();
        m_fileState->written(path, {});
    }
    korbana::parseListFile(bytes, { m_stores, m_products, m_shopping });
    // The copy stays until the lists are saved or given up.
    m_fileState->setModified(true);
}

void MainWindow::discardRecoveryCopy()
{
    stopRecoveryCopy();
    m_recovery->remove(m_documentName);
}

void MainWindow::writeRecoveryCopy()
{
    if (m_documentName.isEmpty() || !m_fileState->isModified())
        return;
    m_snapshotGeneration = m_changeGeneration;
    m_snapshotCopier->start({ m_stores, m_products, m_shopping });
    m_snapshotTimer->start();
}

void MainWindow::copyRecoverySlice()
{
    // Changed meanwhile: the change has started the recovery timer again, which begins a fresh copy.
    if (m_snapshotGeneration != m_changeGeneration) {
        stopRecoveryCopy();
        m_recoveryTimer->start();
        return;
    }
    if (!m_snapshotCopier->copy(korbana::SnapshotCopier::kRowsPerTurn))
        return;
    m_snapshotTimer->stop();
    const QByteArray savedHash = m_fileState->path() == m_documentName ? m_fileState->contentHash() : QByteArray();
    const quint64 generation = m_snapshotGeneration;
    m_recovery->write(m_documentName, m_snapshotCopier->take(), savedHash, this, [this, generation] {
        // Back to what the file holds, and no change since: nothing is unsaved.
        if (generation == m_changeGeneration)
            m_fileState->setModified(false);
    });
}

void MainWindow::stopRecoveryCopy()
{
    m_recoveryTimer->stop();
    m_snapshotTimer->stop();
    m_snapshotCopier->cancel();
}

void MainWindow::waitForRecoveryCopy()
{
    while (m_snapshotCopier->isActive())
        copyRecoverySlice();
    m_recovery->waitForWrites();
}

void MainWindow::watchDocumentFile()
{
    const QStringList watched = m_fileWatcher->files() + m_fileWatcher->directories();
    if (!watched.isEmpty())
        m_fileWatcher->removePaths(watched);
    const QString path = m_fileState->path();
    if (path.isEmpty())
        return;
    m_fileWatcher->addPath(QFileInfo(path).absolutePath());
    if (QFileInfo::exists(path))
        m_fileWatcher->addPath(path);
}

void MainWindow::checkDocumentFile()
{
    const QString path = m_fileState->path();
    if (m_askingToReload || path.isEmpty() || path != m_documentName)
        return;
    watchDocumentFile();
    // Changed here too: the save will ask before it overwrites.
    if (m_fileState->isModified() || !m_fileState->changedElsewhere())
        return;
    m_askingToReload = true;
    const auto answer = m_dialogs.message(this,
        QStringLiteral("Die Datei wurde von einem anderen Programm geändert.\n\nWollen Sie sie neu laden?"),
        QStringLiteral("Datei geändert"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    m_askingToReload = false;
    if (answer != QMessageBox::Yes || m_fileState->isModified())
        return;
    const korbana::ReadResult result = readDocument(path, nullptr);
    if (result != korbana::ReadResult::Ok)
        m_dialogs.error(this, korbana::messageText(result), korbana::messageTitle(result));
    refreshStatusText();
}

} // namespace korbana
