#pragma once

#include <QStringList>

namespace korbana {

class SettingsStore;

// The list files opened or saved last, newest first, as the File menu offers them again.
class RecentFiles final
{
public:
    static constexpr int kMaxFiles = 8;

    const QStringList& files() const { return m_files; }
    // Puts the file in front; the same file further down goes, and the oldest beyond the eighth drops off.
    void add(const QString& path);
    void remove(const QString& path);
    void clear() { m_files.clear(); }

    // Reads the list of its own section; blank, repeated and surplus values are skipped.
    void read(const SettingsStore& store);
    // Writes all eight values, the unused ones empty, so that no file of an older, longer list stays behind.
    void write(SettingsStore& store) const;

private:
    QStringList m_files;
};

} // namespace korbana
