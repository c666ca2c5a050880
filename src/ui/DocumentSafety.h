#pragma once

#include <QObject>

#include <optional>

class QWidget;

namespace korbana {

class Dialogs;
class ListDocument;

// Keeping the document safe: the questions about changes made to its file elsewhere (merging them, or reloading),
// files that did not load completely, recovery copies of unsaved lists and a list open in another window. It asks
// through the dialogs and acts on the document; the window decides when.
class DocumentSafety final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DocumentSafety)

public:
    DocumentSafety(Dialogs& dialogs, ListDocument* document, QWidget* window);

    // Asks before overwriting a file changed elsewhere (offering to merge it instead; "Überschreiben" keeps the
    // replaced version first) and keeps a file that did not load completely; false stops the save.
    bool prepareOverwrite(const QString& path);
    // Offers the recovery copies left by windows that are gone (with documentPath only those of that list),
    // newest first, one question each; the first one the user wants is opened and true returned.
    bool offerRecovery(const std::optional<QString>& documentPath);
    // False when another window has the list at path open and the user does not want it here too.
    bool openAnyway(const QString& path);
    // The document's file changed elsewhere while the lists hold no change: loads it at once, without a box, and
    // tells by reloaded() or reloadFailed().
    void reloadChangedFile();
    // Merges the document's file as changed elsewhere into the lists and tells the outcome.
    void mergeChangedFile();
    // "Frühere Fassungen...": lists the versions of the list that saves replaced, and merges the chosen one back.
    void offerKeptVersions();
    // Lists side by side what the last merge kept in both forms.
    void showConflicts();

Q_SIGNALS:
    // A merge of the document's file as changed elsewhere begins.
    void changedFileMerging();
    // What a merge did, for the status bar.
    void mergeReported(const QString& text);
    // A merge kept count entries in both forms (changed differently on both sides, or removed on one side and
    // changed on the other).
    void conflictsKept(int count);
    // The file changed elsewhere was loaded in place of the lists, one step of the history.
    void reloaded();
    // The file changed elsewhere could not be loaded whole; the lists stay.
    void reloadFailed();

private:
    void mergeFile(const QString& path, const QString& failure);
    // Offers to merge each conflict copy that a sync program left beside the list.
    void offerConflictCopies(const QStringList& paths);

    Dialogs& m_dialogs;
    ListDocument* m_document;
    QWidget* m_window;
};

} // namespace korbana
