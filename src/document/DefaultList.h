#pragma once

#include <QString>

namespace korbana {

// Where the list file opened at start lives.
// Portable (always on Windows, on Linux when a korbana.kbl stands beside the program): beside the program.
// Installed: korbana.kbl in the user's data folder, which the very first start fills with the sample list.
class DefaultList
{
public:
    static constexpr char16_t kFileName[] = u"korbana.kbl";

    // programDir: the folder of the program file; dataDir: the user's data folder of korbana.
    DefaultList(const QString& programDir, const QString& dataDir);

    // $XDG_DATA_HOME/korbana (~/.local/share/korbana) on Linux.
    static QString userDataDir();

    bool isPortable() const { return m_portable; }
    QString filePath() const;
    QString dataDir() const { return m_dataDir; }

    enum class FirstStart {
        NotFirst, // portable, or the data folder exists already (with or without the list)
        Created, // the data folder was made and holds the sample list
        Failed, // the data folder or its list could not be made
    };
    // On the very first start makes the data folder and writes the sample list into it. Never writes over a file
    // and does nothing once the folder exists: a list the user deleted stays deleted.
    FirstStart prepare(const QString& samplePath = QStringLiteral(":/sample/korbana.kbl")) const;

private:
    QString m_programDir;
    QString m_dataDir;
    bool m_portable = true;
};

} // namespace korbana
