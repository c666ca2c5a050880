#pragma once

#include <QFont>
#include <QList>
#include <QMessageBox>
#include <QString>

#include <functional>
#include <utility>

class QDialog;
class QPrinter;
class QWidget;

namespace korbana {

// What a file dialog is asked for. The caller keeps it, so the last chosen name is offered again.
struct FileDialogOptions
{
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString filter; // "Einkaufslisten (*.kbl)"
    QString defaultSuffix; // "kbl", without the dot
    bool confirmOverwrite = false;
    QString fileName; // last chosen full path, empty at start
};

// Moves a window to the middle of its screen (the program's dialogs open there, not over the main window).
void centreOnScreen(QWidget* window);

// Every modal interaction of the program goes through here, so that tests can answer it.
class Dialogs
{
public:
    Dialogs() = default;
    virtual ~Dialogs() = default;
    Q_DISABLE_COPY_MOVE(Dialogs)

    virtual QMessageBox::StandardButton message(QWidget* parent, const QString& text, const QString& title,
        QMessageBox::Icon icon, QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
        = 0;
    // The chosen full path, or an empty text when cancelled. On a confirm options.fileName is updated.
    virtual QString chooseFile(QWidget* parent, FileDialogOptions& options) = 0;
    // Print dialog (no page range, no selection): true on OK.
    virtual bool print(QWidget* parent, QPrinter* printer) = 0;
    // Printer set-up (printer, paper, orientation): true on OK.
    virtual bool printerSetup(QWidget* parent, QPrinter* printer) = 0;
    // Shows the pages that paint draws on the printer, from which the user may print them (paint runs again).
    virtual void showPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter*)>& paint) = 0;
    // Font dialog opened on font; on OK font takes the choice and true is returned.
    virtual bool chooseFont(QWidget* parent, QFont& font) = 0;
    // Runs a dialog of the program modally and returns its result (QDialog::Accepted / Rejected).
    virtual int exec(QDialog* dialog) = 0;
    // Hands a file or address to the desktop ("open"); the result is not looked at.
    virtual void openUrl(const QString& fileOrUrl) = 0;
    // Starts another window of the program on the list at path (empty: a list without a name), which takes over
    // the recovery copies of these owners.
    virtual void startWindow(const QString& path, const QStringList& recoveryOwners) = 0;

    // A message whose buttons say what they do ("Trotzdem öffnen"): each standard button with its own text.
    // Without a text of their own the buttons are those of message(), which it calls.
    using LabelledButtons = QList<std::pair<QMessageBox::StandardButton, QString>>;
    virtual QMessageBox::StandardButton labelledMessage(QWidget* parent, const QString& text, const QString& title,
        QMessageBox::Icon icon, const LabelledButtons& buttons, QMessageBox::StandardButton defaultButton);

    // Shorthands for the two kinds of message box the program shows.
    void error(QWidget* parent, const QString& text, const QString& title);
    QMessageBox::StandardButton question(QWidget* parent, const QString& text, const QString& title,
        QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No);
};

// The real dialogs of Qt.
class QtDialogs final : public Dialogs
{
public:
    QtDialogs() = default;
    QMessageBox::StandardButton message(QWidget* parent, const QString& text, const QString& title,
        QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton) override;
    QMessageBox::StandardButton labelledMessage(QWidget* parent, const QString& text, const QString& title,
        QMessageBox::Icon icon, const LabelledButtons& buttons, QMessageBox::StandardButton defaultButton) override;
    QString chooseFile(QWidget* parent, FileDialogOptions& options) override;
    bool print(QWidget* parent, QPrinter* printer) override;
    bool printerSetup(QWidget* parent, QPrinter* printer) override;
    void showPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter*)>& paint) override;
    bool chooseFont(QWidget* parent, QFont& font) override;
    int exec(QDialog* dialog) override;
    void openUrl(const QString& fileOrUrl) override;
    void startWindow(const QString& path, const QStringList& recoveryOwners) override;
};

} // namespace korbana
