// Keeping the document safe: the questions about changes made to its file elsewhere, files that did not load
// completely, recovery copies of unsaved lists.
#include "DocumentSafety.h"

#include "Dialogs.h"
#include "KeptVersionsDialog.h"
#include "MergeConflictsDialog.h"
#include "ShownNames.h"
#include "document/ConflictCopies.h"
#include "document/KeptVersions.h"
#include "document/ListDocument.h"
#include "document/RecoveryStore.h"
#include "lists/ListTexts.h"

#include <QLocale>

namespace korbana {

DocumentSafety::DocumentSafety(Dialogs& dialogs, ListDocument* document, QWidget* window)
    : QObject(window)
    , m_dialogs(dialogs)
    , m_document(document)
    , m_window(window)
{
    connect(m_document, &ListDocument::conflictCopiesFound, this, &DocumentSafety::offerConflictCopies);
    connect(m_document, &ListDocument::conflictCopiesKept, this, [this](const QString& folder, int count) {
        Q_EMIT mergeReported(QStringLiteral("%1 zusammengeführte Konfliktkopie(n) verschoben nach: %2")
                                 .arg(count)
                                 .arg(shownPath(folder)));
    });
}

bool DocumentSafety::prepareOverwrite(const QString& path)
{
    if (m_document->isChangedOnDisk(path)) {
        const auto answer = m_dialogs.labelledMessage(m_window,
            QStringLiteral("Die Datei wurde seit dem letzten Öffnen oder Speichern von einem anderen Programm "
                           "geändert.\n\n„Zusammenführen“ übernimmt die Änderungen beider Seiten in die Listen; "
                           "gespeichert wird erst, wenn Sie speichern. „Überschreiben“ ersetzt die Datei durch "
                           "diese Listen; ihre jetzige Fassung wird aufbewahrt (Datei > Frühere Fassungen...)."),
            QStringLiteral("Datei geändert"), QMessageBox::Question,
            { { QMessageBox::Yes, QStringLiteral("Zusammenführen") },
                { QMessageBox::Save, QStringLiteral("Überschreiben") },
                { QMessageBox::Cancel, QStringLiteral("Abbrechen") } },
            QMessageBox::Yes);
        if (answer == QMessageBox::Yes)
            mergeChangedFile();
        if (answer != QMessageBox::Save)
            return false;
        // Nothing is overwritten for good: the version being replaced is kept first, or nothing is saved.
        const std::optional<QString> kept = KeptVersions().keep(path);
        if (!kept) {
            m_dialogs.error(m_window,
                QStringLiteral("Die jetzige Fassung der Datei konnte nicht aufbewahrt werden. Es wurde nichts "
                               "gespeichert."),
                messageTitle(WriteResult::CannotCreate));
            return false;
        }
        Q_EMIT mergeReported(QStringLiteral("Die ersetzte Fassung wurde aufbewahrt (Datei > Frühere Fassungen...): %1")
                                 .arg(shownPath(*kept)));
    }
    if (!m_document->needsBackup(path))
        return true;
    const std::optional<QString> backup = m_document->keepBackup();
    if (!backup) {
        m_dialogs.error(m_window,
            QStringLiteral("Die Datei wurde beim Öffnen nicht vollständig gelesen, und ihr ursprünglicher Inhalt "
                           "konnte nicht aufbewahrt werden. Es wurde nichts gespeichert."),
            messageTitle(WriteResult::CannotCreate));
        return false;
    }
    m_dialogs.message(m_window,
        QStringLiteral("Die Datei wurde beim Öffnen nicht vollständig gelesen. Ihr ursprünglicher Inhalt wurde "
                       "aufbewahrt in:\n%1")
            .arg(shownPath(*backup)),
        QStringLiteral("Sicherungskopie"), QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok);
    return true;
}

bool DocumentSafety::offerRecovery(const std::optional<QString>& documentPath)
{
    for (const LeftCopy& copy : RecoveryStore::leftCopies(documentPath)) {
        const std::optional<QByteArray> bytes = RecoveryStore::read(copy);
        if (!bytes)
            continue;
        // Read to its end before it is offered: a damaged copy would replace good lists with a part of them.
        if (!readsCompletely(*bytes)) {
            const QString aside = RecoveryStore::setAside(copy, RecoveryStore::Aside::Damaged);
            m_dialogs.message(m_window,
                QStringLiteral("Die Wiederherstellungskopie der letzten Änderungen ist beschädigt und wurde nicht "
                               "geladen. Sie wurde aufbewahrt in:\n%1")
                    .arg(shownPath(aside)),
                QStringLiteral("Wiederherstellen"), QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok);
            continue;
        }
        const QString list = copy.documentPath.isEmpty() ? QStringLiteral("Kein Name") : shownPath(copy.documentPath);
        const auto answer = m_dialogs.message(m_window,
            QStringLiteral("korbana wurde beendet, ohne die letzten Änderungen zu sichern.\n\nListe: %1\nStand: "
                           "%2\n\nWollen Sie die wiederhergestellten Listen laden?")
                .arg(list, QLocale(QLocale::German).toString(copy.written, QLocale::ShortFormat)),
            QStringLiteral("Wiederherstellen"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
            QMessageBox::Yes);
        if (answer != QMessageBox::Yes) {
            RecoveryStore::setAside(copy);
            continue;
        }
        // The title shows the name before a message about the file.
        const ReadResult result
            = copy.documentPath.isEmpty() ? ReadResult::Ok : m_document->open(copy.documentPath, true);
        if (copy.documentPath.isEmpty())
            m_document->clear();
        if (result != ReadResult::Ok)
            m_dialogs.error(m_window, messageText(result), messageTitle(result));
        m_document->applyRecoveryCopy(copy, *bytes);
        return true;
    }
    return false;
}

bool DocumentSafety::openAnyway(const QString& path)
{
    if (!m_document->isOpenElsewhere(path))
        return true;
    const auto answer = m_dialogs.labelledMessage(m_window,
        QStringLiteral("Die Liste „%1“ ist bereits in einem anderen korbana-Fenster geöffnet. Wenn Sie sie auch "
                       "hier bearbeiten, kann das eine Fenster beim Speichern die Änderungen des anderen "
                       "überschreiben.\n\nWollen Sie sie trotzdem öffnen?")
            .arg(shownPath(path)),
        QStringLiteral("Bereits geöffnet"), QMessageBox::Warning,
        { { QMessageBox::Open, QStringLiteral("&Trotzdem öffnen") },
            { QMessageBox::Cancel, QStringLiteral("Abbrechen") } },
        QMessageBox::Cancel);
    return answer == QMessageBox::Open;
}

void DocumentSafety::reloadChangedFile()
{
    if (m_document->reload() == ReadResult::Ok)
        Q_EMIT reloaded();
    else
        Q_EMIT reloadFailed();
}

void DocumentSafety::mergeChangedFile()
{
    Q_EMIT changedFileMerging();
    mergeFile(m_document->fileName(),
        QStringLiteral("Die anderswo geänderte Datei konnte nicht vollständig gelesen werden. Es wurde nichts "
                       "zusammengeführt."));
}

void DocumentSafety::mergeFile(const QString& path, const QString& failure)
{
    const std::optional<int> conflicts = m_document->mergeFile(path);
    if (!conflicts) {
        m_dialogs.error(m_window, failure, QStringLiteral("Zusammenführen"));
        return;
    }
    // The count stands in the bar above the lists, where the total cannot cut it off; "Anzeigen" lists them.
    Q_EMIT mergeReported(QStringLiteral("Zusammengeführt. Die Listen sind noch nicht gespeichert."));
    if (*conflicts > 0)
        Q_EMIT conflictsKept(*conflicts);
}

void DocumentSafety::showConflicts()
{
    MergeConflictsDialog dialog(m_document->lastMergeConflicts(), m_window);
    m_dialogs.exec(&dialog);
}

void DocumentSafety::offerKeptVersions()
{
    const QString list = m_document->fileName();
    const std::vector<KeptVersions::Kept> kept
        = list.isEmpty() ? std::vector<KeptVersions::Kept>() : KeptVersions().versionsOf(list);
    if (kept.empty()) {
        m_dialogs.message(m_window, QStringLiteral("Von dieser Liste ist keine frühere Fassung aufbewahrt."),
            QStringLiteral("Frühere Fassungen"), QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok);
        return;
    }
    KeptVersionsDialog dialog(kept, m_window);
    const int chosen = m_dialogs.exec(&dialog) == QDialog::Accepted ? dialog.chosen() : -1;
    if (chosen < 0 || chosen >= static_cast<int>(kept.size()))
        return;
    mergeFile(kept[static_cast<size_t>(chosen)].path,
        QStringLiteral(
            "Die frühere Fassung konnte nicht vollständig gelesen werden. Es wurde nichts zusammengeführt."));
}

void DocumentSafety::offerConflictCopies(const QStringList& paths)
{
    // A copy that is no whole list (another file of that name, a link, a copy still being written) would ask and
    // fail at every start: it is set aside once, told once, and left where it is.
    SetAsideCopies setAside(ListDocument::conflictCopyFolder() + QStringLiteral("/set-aside"));
    QStringList mergeable;
    QStringList unreadable;
    for (const QString& copy : paths) {
        if (setAside.contains(copy))
            continue;
        (readsAsWholeList(copy) ? mergeable : unreadable).append(copy);
    }
    if (!unreadable.isEmpty()) {
        setAside.add(unreadable);
        QStringList names;
        for (const QString& copy : std::as_const(unreadable))
            names.append(shownPath(copy));
        m_dialogs.message(m_window,
            (unreadable.size() == 1
                    ? QStringLiteral("Diese Datei neben der Liste sieht wie eine Konfliktkopie aus, ist aber keine "
                                     "vollständig lesbare Liste. Sie bleibt, wo sie ist, und wird nicht mehr "
                                     "angeboten:\n%1")
                    : QStringLiteral("Diese Dateien neben der Liste sehen wie Konfliktkopien aus, sind aber keine "
                                     "vollständig lesbaren Listen. Sie bleiben, wo sie sind, und werden nicht mehr "
                                     "angeboten:\n%1"))
                .arg(names.join(u'\n')),
            QStringLiteral("Konfliktkopie"), QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok);
    }
    for (const QString& copy : std::as_const(mergeable)) {
        const auto answer = m_dialogs.labelledMessage(m_window,
            QStringLiteral("Ein Synchronisierungsprogramm hat neben der Liste eine Konfliktkopie angelegt:\n%1\n\n"
                           "Wollen Sie sie mit der geöffneten Liste zusammenführen? Nach dem Speichern wird sie in "
                           "den Ordner von korbana verschoben.")
                .arg(shownPath(copy)),
            QStringLiteral("Konfliktkopie"), QMessageBox::Question,
            { { QMessageBox::Yes, QStringLiteral("Zusammenführen") }, { QMessageBox::No, QStringLiteral("Später") } },
            QMessageBox::Yes);
        if (answer == QMessageBox::Yes)
            mergeFile(copy,
                QStringLiteral("Die Konfliktkopie konnte nicht vollständig gelesen werden. Sie bleibt, wo sie ist."));
    }
}

} // namespace korbana
