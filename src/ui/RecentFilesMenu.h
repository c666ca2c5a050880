#pragma once

#include "settings/RecentFiles.h"

#include <QMenu>

namespace korbana {

// "Zuletzt geöffnet": the list files opened or saved last, newest first, kept in the settings between runs.
class RecentFilesMenu final : public QMenu
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecentFilesMenu)

public:
    // Reads the files from the settings; a store that cannot be read leaves the menu empty.
    explicit RecentFilesMenu(QWidget* parent = nullptr);

    QStringList files() const { return m_files.files(); }
    // Puts the file in front; the settings are written only when that changes the list.
    void add(const QString& path);
    void remove(const QString& path);
    void clearFiles();

Q_SIGNALS:
    void fileChosen(const QString& path);

private:
    void showFiles();
    // Shows the list and writes it to the settings.
    void store();

    RecentFiles m_files;
};

} // namespace korbana
