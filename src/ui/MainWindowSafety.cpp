// Keeping the document safe: the questions about changes made to its file elsewhere, files that did not load
// completely, recovery copies of unsaved lists.
#include "MainWindow.h"

#include <QDir>

namespace korbana {

bool MainWindow::prepareOverwrite(const QString& path)
{
    if (m_document->isChangedOnDisk(path)) {
        const auto answer = m_dialogs.message(this,
            QStringLiteral("Die Datei wurde seit dem letzten Öffnen oder Speichern von einem anderen Programm "
                           "geändert.\n\nWollen Sie sie trotzdem überschreiben?"),
            QStringLiteral("Datei geändert"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
            QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }
    if (!m_document->needsBackup(path))
        return true;
    const std::optional<QString> backup = m_document->keepBackup();
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

std::optional<QByteArray> MainWindow::offerRecovery(const QString& path)
{
    std::optional<QByteArray> recovered = korbana::ListDocument::recoveryCopy(path);
    if (!recovered)
        return recovered;
    const auto answer = m_dialogs.message(this,
        QStringLiteral("korbana wurde beendet, ohne die letzten Änderungen zu sichern.\n\nWollen Sie die "
                       "wiederhergestellten Listen laden?"),
        QStringLiteral("Wiederherstellen"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
        QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        return recovered;
    korbana::ListDocument::setRecoveryCopyAside(path);
    return std::nullopt;
}

void MainWindow::offerReload()
{
    if (m_askingToReload)
        return;
    m_askingToReload = true;
    const auto answer = m_dialogs.message(this,
        QStringLiteral("Die Datei wurde von einem anderen Programm geändert.\n\nWollen Sie sie neu laden?"),
        QStringLiteral("Datei geändert"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    m_askingToReload = false;
    // Changed here meanwhile: the save will ask before it overwrites.
    if (answer != QMessageBox::Yes || m_document->isModified())
        return;
    m_statusHeld = true;
    const korbana::ReadResult result = m_document->reload();
    if (result != korbana::ReadResult::Ok)
        m_dialogs.error(this, korbana::messageText(result), korbana::messageTitle(result));
    m_statusHeld = false;
    showStatusText();
}

} // namespace korbana
