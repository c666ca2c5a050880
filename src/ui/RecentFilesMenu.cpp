#include "RecentFilesMenu.h"

#include "ShownNames.h"

#include "settings/SettingsStore.h"

#include <QAction>

namespace korbana {

namespace {

// A store that cannot be read or written leaves the list as it is for this run; the window's own settings report a
// broken store when they are saved.
template<typename Use> void useSettings(Use use)
{
    try {
        SettingsStore settings;
        settings.open();
        use(settings);
        settings.close();
    } catch (const SettingsError&) {
    }
}

} // namespace

RecentFilesMenu::RecentFilesMenu(QWidget* parent)
    : QMenu(QStringLiteral("&Zuletzt geöffnet"), parent)
{
    setObjectName(QStringLiteral("recentFilesMenu"));
    useSettings([this](const SettingsStore& settings) { m_files.read(settings); });
    showFiles();
}

void RecentFilesMenu::add(const QString& path)
{
    const QStringList before = m_files.files();
    m_files.add(path);
    // The start file is usually in front already: no write at every start.
    if (m_files.files() != before)
        store();
}

void RecentFilesMenu::remove(const QString& path)
{
    m_files.remove(path);
    store();
}

void RecentFilesMenu::clearFiles()
{
    m_files.clear();
    store();
}

void RecentFilesMenu::showFiles()
{
    clear();
    const QStringList& files = m_files.files();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        // The Alt digit, then the path as the system writes it; an "&" in it is a plain character.
        QString shown = shownPath(path);
        shown.replace(u'&', QStringLiteral("&&"));
        QAction* item = addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        connect(item, &QAction::triggered, this, [this, path] { Q_EMIT fileChosen(path); });
    }
    addSeparator();
    // "L", since the digits 1 to 8 belong to the files.
    QAction* clearing = addAction(QStringLiteral("&Liste leeren"));
    clearing->setObjectName(QStringLiteral("clearRecentFilesAction"));
    clearing->setEnabled(!files.isEmpty());
    connect(clearing, &QAction::triggered, this, &RecentFilesMenu::clearFiles);
}

void RecentFilesMenu::store()
{
    showFiles();
    useSettings([this](SettingsStore& settings) { m_files.write(settings); });
}

} // namespace korbana
