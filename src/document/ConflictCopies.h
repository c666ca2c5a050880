#pragma once

#include <QString>
#include <QStringList>

// The copies that sync engines leave beside a file when two computers changed it at once.
namespace korbana {

// True when fileName (a name without folder) is such a copy of the list named listFileName:
//   Syncthing   woche.sync-conflict-20261208-112107-HNLTJCB.kbl
//   Nextcloud   woche_conflict-20261208-112107.kbl, woche (conflicted copy 2026-12-08 112107).kbl
//   Dropbox     woche (Anna's conflicted copy 2026-12-08).kbl
// The name and its extension must be the list's own, in the same case; the list itself, its backups and the
// program's temporary files never match.
bool isConflictCopyName(const QString& listFileName, const QString& fileName);

// Whether the copy reads as a whole list: only then can it be merged.
bool readsAsWholeList(const QString& path);

// Copies that are no whole list are set aside once: remembered in registerPath with their size and time, so that
// they are not offered again unless they change. The register keeps the last kMaxSetAside of them.
class SetAsideCopies final
{
public:
    static constexpr int kMaxSetAside = 200;

    explicit SetAsideCopies(const QString& registerPath);
    bool contains(const QString& copyPath) const;
    // False when the register could not be written.
    bool add(const QStringList& copyPaths);

private:
    static QString keyOf(const QString& copyPath);
    QStringList read() const;

    QString m_registerPath;
};

// The paths of the conflict copies of the list in its folder, newest first (by the time their content was last
// changed; the same time by name).
QStringList findConflictCopies(const QString& listPath);

} // namespace korbana
