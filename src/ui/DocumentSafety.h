#pragma once

#include <QObject>

#include <optional>

class QWidget;

namespace korbana {

class Dialogs;
class ListDocument;
struct LeftList;

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
    // Offers the list at documentPath back as windows that are gone left it, all their copies of it merged with its
    // file; true when the user wanted it and it opened.
    bool offerRecovery(const QString& documentPath);
    // At start: offers every list that gone windows left copies of, the newest first, one question each. The list
    // named on the command line (ownList), else the first one wanted, opens here; every further one in a window of
    // its own. True when one opened here.
    bool offerRecoveryAtStart(const std::optional<QString>& ownList);
    // A window started for copies that another window offered: they are taken over without asking again. True
    // when they opened here.
    bool takeHandedOver(const QStringList& owners);
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
    // Tells where damaged copies were set aside.
    void tellDamaged(const QStringList& asides);
    bool askToRecover(const LeftList& list);
    // Opens the list (after the question about another window) and merges the copies in; false when the user did
    // not want it opened here after all, and then the copies stay for the next start.
    bool recoverHere(const LeftList& list);
    void mergeFile(const QString& path, const QString& failure);
    // Offers to merge each conflict copy that a sync program left beside the list.
    void offerConflictCopies(const QStringList& paths);

    Dialogs& m_dialogs;
    ListDocument* m_document;
    QWidget* m_window;
};

} // namespace korbana
