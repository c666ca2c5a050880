#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace korbana {

// The list a window opens when it starts.
struct StartList
{
    // The environment variable with which a window hands recovery copies to a window it starts, the copies'
    // owners separated by commas.
    static constexpr char kHandOverVariable[] = "KORBANA_RECOVER";

    // The list file; empty for korbana.kbl in the program folder.
    QString path;
    // Named on the command line: a file that does not exist yet starts empty under its name, as a text editor
    // opens a new document. The default list missing is an error the user must hear of.
    bool named = false;
    // Recovery copies that another window offered and handed over: they are taken over without asking again,
    // and no other copy is offered.
    std::optional<QStringList> handedOver;

    // The command line's file, else the default list; the copies handed over by the window that started this one
    // (taken out of the environment, so that no later program inherits them).
    static StartList atStart(const QString& commandLineFile, const QString& defaultListPath);
};

} // namespace korbana
