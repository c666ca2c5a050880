// Keeping the document safe: the questions about changes made to its file elsewhere, files that did not load
// completely, recovery copies of unsaved lists.
#include "MainWindow.h"
#include "document/RecoveryStore.h"

#include "lists/ListTexts.h"

#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStatusBar>

namespace korbana {

bool MainWindow::prepareOverwrite(const QString& path)
{
    if (m_document->isChangedOnDisk(path)) {
        const auto answer = m_dialogs.labelledMessage(this,
            QStringLiteral("Die Datei wurde seit dem letzten Öffnen oder Speichern von einem anderen Programm "
                           "geändert.\n\n„Zusammenführen“ übernimmt die Änderungen beider Seiten in die Listen; "
                           "gespeichert wird erst, wenn Sie speichern. „Überschreiben“ ersetzt die Datei durch "
                           "diese Listen."),
            QStringLiteral("Datei geändert"), QMessageBox::Question,
            { { QMessageBox::Yes, QStringLiteral("Zusammenführen") },
                { QMessageBox::Save, QStringLiteral("Überschreiben") },
                { QMessageBox::Cancel, QStringLiteral("Abbrechen") } },
            QMessageBox::Yes);
        if (answer == QMessageBox::Yes)
            mergeChangedFile();
        if (answer != QMessageBox::Save)
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

QFrame* MainWindow::buildMergeBar(QWidget* parent)
{
    m_mergeBar = new QFrame(parent);
    m_mergeBar->setObjectName(QStringLiteral("mergeBar"));
    m_mergeBar->setFrameShape(QFrame::StyledPanel);
    m_mergeBar->setAutoFillBackground(true);
    m_mergeBar->setBackgroundRole(QPalette::ToolTipBase);
    auto* layout = new QHBoxLayout(m_mergeBar);
    layout->setContentsMargins(8, 4, 8, 4);
    auto* text = new QLabel(QStringLiteral("Die Liste wurde anderswo geändert."), m_mergeBar);
    text->setForegroundRole(QPalette::ToolTipText);
    layout->addWidget(text, 1);
    auto* merge = new QPushButton(QStringLiteral("Zusammenführen"), m_mergeBar);
    merge->setObjectName(QStringLiteral("mergeButton"));
    auto* later = new QPushButton(QStringLiteral("Später"), m_mergeBar);
    later->setObjectName(QStringLiteral("laterButton"));
    layout->addWidget(merge);
    layout->addWidget(later);
    connect(merge, &QPushButton::clicked, this, &MainWindow::mergeChangedFile);
    connect(later, &QPushButton::clicked, m_mergeBar, &QWidget::hide);
    m_mergeBar->hide();
    return m_mergeBar;
}

void MainWindow::connectMerging()
{
    // Told at once but not in a box: the user may be typing.
    connect(m_document, &ListDocument::changedOnDiskWhileModified, m_mergeBar, &QWidget::show);
    connect(m_document, &ListDocument::modifiedChanged, m_mergeBar, [this](bool modified) {
        if (!modified)
            m_mergeBar->hide();
    });
    connect(m_document, &ListDocument::conflictCopiesFound, this, &MainWindow::offerConflictCopies);
    connect(m_document, &ListDocument::conflictCopiesKept, this, [this](const QString& folder, int count) {
        statusBar()->showMessage(QStringLiteral("%1 zusammengeführte Konfliktkopie(n) verschoben nach: %2")
                                     .arg(count)
                                     .arg(QDir::toNativeSeparators(folder)));
    });
}

void MainWindow::mergeChangedFile()
{
    m_mergeBar->hide();
    mergeFile(documentName(),
        QStringLiteral("Die anderswo geänderte Datei konnte nicht vollständig gelesen werden. Es wurde nichts "
                       "zusammengeführt."));
}

void MainWindow::mergeFile(const QString& path, const QString& failure)
{
    // A name still being typed takes part as the user sees it.
    commitEdits();
    const std::optional<int> conflicts = m_document->mergeFile(path);
    if (!conflicts) {
        m_dialogs.error(this, failure, QStringLiteral("Zusammenführen"));
        return;
    }
    if (*conflicts > 0)
        statusBar()->showMessage(
            QStringLiteral("Zusammengeführt: %1 auf beiden Seiten verschieden geänderte Einträge stehen in beiden "
                           "Fassungen in der Liste.")
                .arg(*conflicts));
    else
        statusBar()->showMessage(QStringLiteral("Zusammengeführt. Die Listen sind noch nicht gespeichert."));
}

void MainWindow::offerConflictCopies(const QStringList& paths)
{
    for (const QString& copy : paths) {
        const auto answer = m_dialogs.labelledMessage(this,
            QStringLiteral("Ein Synchronisierungsprogramm hat neben der Liste eine Konfliktkopie angelegt:\n%1\n\n"
                           "Wollen Sie sie mit der geöffneten Liste zusammenführen? Nach dem Speichern wird sie in "
                           "den Ordner von korbana verschoben.")
                .arg(QDir::toNativeSeparators(copy)),
            QStringLiteral("Konfliktkopie"), QMessageBox::Question,
            { { QMessageBox::Yes, QStringLiteral("Zusammenführen") }, { QMessageBox::No, QStringLiteral("Später") } },
            QMessageBox::Yes);
        if (answer == QMessageBox::Yes)
            mergeFile(copy,
                QStringLiteral("Die Konfliktkopie konnte nicht vollständig gelesen werden. Sie bleibt, wo sie ist."));
    }
}

} // namespace korbana
