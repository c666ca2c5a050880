// Keeping the document safe: the questions about changes made to its file elsewhere, files that did not load
// completely, recovery copies of unsaved lists.
#include "MainWindow.h"
#include "document/RecoveryStore.h"

#include <QDir>
#include <QLocale>

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

bool MainWindow::offerRecovery(const std::optional<QString>& documentPath)
{
    for (const korbana::LeftCopy& copy : korbana::RecoveryStore::leftCopies(documentPath)) {
        const std::optional<QByteArray> bytes = korbana::RecoveryStore::read(copy);
        if (!bytes)
            continue;
        // Read to its end before it is offered: a damaged copy would replace good lists with a part of them.
        if (!korbana::readsCompletely(*bytes)) {
            const QString aside = korbana::RecoveryStore::setAside(copy, korbana::RecoveryStore::Aside::Damaged);
            m_dialogs.message(this,
                QStringLiteral("Die Wiederherstellungskopie der letzten Änderungen ist beschädigt und wurde nicht "
                               "geladen. Sie wurde aufbewahrt in:\n%1")
                    .arg(QDir::toNativeSeparators(aside)),
                QStringLiteral("Wiederherstellen"), QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok);
            continue;
        }
        const QString list
            = copy.documentPath.isEmpty() ? QStringLiteral("Kein Name") : QDir::toNativeSeparators(copy.documentPath);
        const auto answer = m_dialogs.message(this,
            QStringLiteral("korbana wurde beendet, ohne die letzten Änderungen zu sichern.\n\nListe: %1\nStand: "
                           "%2\n\nWollen Sie die wiederhergestellten Listen laden?")
                .arg(list, QLocale(QLocale::German).toString(copy.written, QLocale::ShortFormat)),
            QStringLiteral("Wiederherstellen"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
            QMessageBox::Yes);
        if (answer != QMessageBox::Yes) {
            korbana::RecoveryStore::setAside(copy);
            continue;
        }
        // The title shows the name before a message about the file.
        const korbana::ReadResult result
            = copy.documentPath.isEmpty() ? korbana::ReadResult::Ok : m_document->open(copy.documentPath, true);
        if (copy.documentPath.isEmpty())
            m_document->clear();
        if (result != korbana::ReadResult::Ok)
            m_dialogs.error(this, korbana::messageText(result), korbana::messageTitle(result));
        m_document->applyRecoveryCopy(copy, *bytes);
        return true;
    }
    return false;
}

bool MainWindow::openAnyway(const QString& path)
{
    if (!m_document->isOpenElsewhere(path))
        return true;
    const auto answer = m_dialogs.labelledMessage(this,
        QStringLiteral("Die Liste „%1“ ist bereits in einem anderen korbana-Fenster geöffnet. Wenn Sie sie auch "
                       "hier bearbeiten, kann das eine Fenster beim Speichern die Änderungen des anderen "
                       "überschreiben.\n\nWollen Sie sie trotzdem öffnen?")
            .arg(QDir::toNativeSeparators(path)),
        QStringLiteral("Bereits geöffnet"), QMessageBox::Warning,
        { { QMessageBox::Open, QStringLiteral("&Trotzdem öffnen") },
            { QMessageBox::Cancel, QStringLiteral("Abbrechen") } },
        QMessageBox::Cancel);
    return answer == QMessageBox::Open;
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
    if (answer != QMessageBox::Yes)
        return;
    // A name still being typed is closed first, as a save does; the file's lists replace it.
    commitEdits();
    m_statusHeld = true;
    const korbana::ReadResult result = m_document->reload();
    if (result != korbana::ReadResult::Ok)
        m_dialogs.error(this,
            korbana::messageText(result)
                + QStringLiteral("\n\nDie Listen wurden nicht neu geladen und sind "
                                 "unverändert."),
            korbana::messageTitle(result));
    m_statusHeld = false;
    showStatusText();
}

} // namespace korbana
