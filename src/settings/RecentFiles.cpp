#include "RecentFiles.h"

#include "SettingsStore.h"
#include "StoredNames.h"

#include <QDir>
#include <QFileInfo>

namespace korbana {

namespace {

QString section()
{
    return QString::fromUtf16(StoredNames::kRecentFilesSection);
}

QString valueName(int number)
{
    return QString::fromUtf16(StoredNames::kRecentFile) + QString::number(number);
}

// One file has one spelling in the list, whatever way it was reached.
QString normalised(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

Qt::CaseSensitivity fileNameCase()
{
#ifdef Q_OS_WIN
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

} // namespace

void RecentFiles::add(const QString& path)
{
    if (path.trimmed().isEmpty())
        return;
    const QString file = normalised(path);
    remove(file);
    m_files.prepend(file);
    while (m_files.size() > kMaxFiles)
        m_files.removeLast();
}

void RecentFiles::remove(const QString& path)
{
    const QString file = normalised(path);
    m_files.removeIf([&file](const QString& listed) { return listed.compare(file, fileNameCase()) == 0; });
}

void RecentFiles::read(const SettingsStore& store)
{
    m_files.clear();
    // Oldest first, so that each later add puts a newer file in front of it.
    for (int number = kMaxFiles; number >= 1; --number)
        add(store.readString(section(), valueName(number), QString()));
}

void RecentFiles::write(SettingsStore& store) const
{
    for (int number = 1; number <= kMaxFiles; ++number)
        store.writeString(section(), valueName(number), number <= m_files.size() ? m_files[number - 1] : QString());
}

} // namespace korbana
