#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace korbana {

// What the command line asks for: korbana [DATEI], --help, --version.
struct CommandLine
{
    // The list file to open at start instead of the default list, as an absolute path; empty for the default list.
    QString listFile;
    // Set when the program is to end at once with this code (--help, --version, a wrong command line).
    std::optional<int> exitCode;
};

// Reads the arguments (the program's name first) and answers --help, --version and errors on standard output or
// standard error. Needs a QCoreApplication but no display, so it runs before the windows' application object.
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace korbana
