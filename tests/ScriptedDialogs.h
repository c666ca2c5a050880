#pragma once

#include "ui/Dialogs.h"

#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QPrintPreviewWidget>
#include <QStringList>

#include <functional>

using namespace korbana;

// Answers every modal interaction from a script and records what was asked. An unscripted message is
// answered with its default button, an unscripted file choice with "cancelled".
class ScriptedDialogs final : public Dialogs
{
public:
    struct Message
    {
        QString text;
        QString title;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
    };

    QList<Message> messages;
    QList<QMessageBox::StandardButton> answers; // taken front first
    QStringList fileAnswers; // "" answers "cancelled"
    QList<FileDialogOptions> fileRequests;
    QList<bool> printAnswers;
    int printRequests = 0;
    QList<bool> setupAnswers;
    int setupRequests = 0;
    // Pages of each preview shown, drawn by Qt's own preview.
    QList<int> previewPages;
    QList<std::function<bool(QFont&)>> fontAnswers;
    int fontRequests = 0;
    // Called with the dialog before its result is returned; may fill its fields.
    std::function<int(QDialog*)> execAnswer;
    QList<QDialog*> executed;
    QStringList openedUrls;
    // The windows started: their list and the recovery copies handed to them.
    QList<std::pair<QString, QStringList>> startedWindows;

    QMessageBox::StandardButton message(QWidget*, const QString& text, const QString& title, QMessageBox::Icon icon,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) override
    {
        messages.append({ text, title, icon, buttons, defaultButton });
        return answers.isEmpty() ? defaultButton : answers.takeFirst();
    }

    QString chooseFile(QWidget*, FileDialogOptions& options) override
    {
        fileRequests.append(options);
        const QString answer = fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
        if (!answer.isEmpty())
            options.fileName = answer;
        return answer;
    }

    bool print(QWidget*, QPrinter*) override
    {
        ++printRequests;
        return !printAnswers.isEmpty() && printAnswers.takeFirst();
    }

    bool printerSetup(QWidget*, QPrinter*) override
    {
        ++setupRequests;
        return !setupAnswers.isEmpty() && setupAnswers.takeFirst();
    }

    void showPrintPreview(QWidget*, QPrinter& printer, const std::function<void(QPrinter*)>& paint) override
    {
        QPrintPreviewWidget preview(&printer);
        QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, &preview, paint);
        preview.updatePreview();
        previewPages.append(preview.pageCount());
    }

    bool chooseFont(QWidget*, QFont& font) override
    {
        ++fontRequests;
        return !fontAnswers.isEmpty() && fontAnswers.takeFirst()(font);
    }

    int exec(QDialog* dialog) override
    {
        executed.append(dialog);
        return execAnswer ? execAnswer(dialog) : int(QDialog::Rejected);
    }

    void openUrl(const QString& fileOrUrl) override { openedUrls.append(fileOrUrl); }
    void startWindow(const QString& path, const QStringList& recoveryOwners) override
    {
        startedWindows.append({ path, recoveryOwners });
    }

    QStringList texts() const
    {
        QStringList list;
        for (const Message& m : messages)
            list.append(m.text);
        return list;
    }
};
