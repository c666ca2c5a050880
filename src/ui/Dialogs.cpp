#include "Dialogs.h"

#include "StartList.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QFontInfo>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace korbana {

namespace {

// Qt's own file dialog writes sizes and dates in the system's language; the program speaks German throughout.
// Only these two columns are rewritten: the numbers the program reads keep following the system.
class GermanFileDetails final : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QLocale german(QLocale::German, QLocale::Germany);
        switch (index.column()) {
        case kSizeColumn:
            if (files->isDir(source))
                break;
            return german.formattedDataSize(files->size(source));
        case kDateColumn:
            return german.toString(files->lastModified(source), QLocale::ShortFormat);
        default:
            break;
        }
        return QIdentityProxyModel::data(index, role);
    }

private:
    // The columns of QFileSystemModel: name, size, type, date modified.
    static constexpr int kSizeColumn = 1;
    static constexpr int kDateColumn = 3;
};

} // namespace

void centreOnScreen(QWidget* window)
{
    if (const QScreen* screen = window->screen()) {
        const QRect frame = window->frameGeometry();
        window->move(screen->availableGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
    }
}

void Dialogs::error(QWidget* parent, const QString& text, const QString& title)
{
    message(parent, text, title, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok);
}

QMessageBox::StandardButton Dialogs::question(
    QWidget* parent, const QString& text, const QString& title, QMessageBox::StandardButtons buttons)
{
    return message(parent, text, title, QMessageBox::Question, buttons, QMessageBox::Yes);
}

QMessageBox::StandardButton QtDialogs::message(QWidget* parent, const QString& text, const QString& title,
    QMessageBox::Icon icon, QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton Dialogs::labelledMessage(QWidget* parent, const QString& text, const QString& title,
    QMessageBox::Icon icon, const LabelledButtons& buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox::StandardButtons all;
    for (const auto& button : buttons)
        all |= button.first;
    return message(parent, text, title, icon, all, defaultButton);
}

QMessageBox::StandardButton QtDialogs::labelledMessage(QWidget* parent, const QString& text, const QString& title,
    QMessageBox::Icon icon, const LabelledButtons& buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    for (const auto& [button, label] : buttons)
        box.addButton(button)->setText(label);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString QtDialogs::chooseFile(QWidget* parent, FileDialogOptions& options)
{
    QFileDialog dialog(parent);
    const bool save = options.mode == FileDialogOptions::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(options.filter);
    dialog.setDefaultSuffix(options.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setProxyModel(new GermanFileDetails(&dialog));
    if (!options.fileName.isEmpty())
        dialog.selectFile(options.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    options.fileName = dialog.selectedFiles().constFirst();
    return options.fileName;
}

bool QtDialogs::print(QWidget* parent, QPrinter* printer)
{
    QPrintDialog dialog(printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    // Printing to a PDF file stays available: most households print that way.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

void QtDialogs::showPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter*)>& paint)
{
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Seitenansicht"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
    dialog.exec();
}

bool QtDialogs::printerSetup(QWidget* parent, QPrinter* printer)
{
    QPageSetupDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogs::chooseFont(QWidget* parent, QFont& font)
{
    // A face that is not installed (Arial on most Linux systems) would open the dialog on some default face,
    // and OK would change the printout: open it on the face that prints in its place instead, and keep the
    // font's own name when that face is kept.
    const QString standIn = QFontInfo(font).family();
    QFont offered = font;
    offered.setFamily(standIn);
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, offered, parent);
    if (!ok)
        return false;
    if (chosen.family() == standIn)
        chosen.setFamily(font.family());
    font = chosen;
    return true;
}

int QtDialogs::exec(QDialog* dialog)
{
    return dialog->exec();
}

void QtDialogs::openUrl(const QString& fileOrUrl)
{
    // An address has a scheme ("https:", also "mailto:" without "//"); a path has none, or a drive letter.
    QUrl url(fileOrUrl);
    if (url.scheme().size() < 2)
        url = QUrl::fromLocalFile(fileOrUrl);
    QDesktopServices::openUrl(url);
}

void QtDialogs::startWindow(const QString& path, const QStringList& recoveryOwners)
{
    QProcess program;
    program.setProgram(QCoreApplication::applicationFilePath());
    // "--": a list whose name starts with a dash is no option.
    program.setArguments(path.isEmpty() ? QStringList() : QStringList { QStringLiteral("--"), path });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(StartList::kHandOverVariable), recoveryOwners.join(u','));
    program.setProcessEnvironment(environment);
    program.startDetached();
}

} // namespace korbana
