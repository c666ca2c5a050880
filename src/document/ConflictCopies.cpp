#include "ConflictCopies.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace korbana {

namespace {

// One expression for every engine's way of naming the copy of the list.
QRegularExpression conflictPattern(const QString& listFileName)
{
    const QFileInfo list(listFileName);
    const QString stem = QRegularExpression::escape(list.completeBaseName());
    const QString suffix = list.suffix().isEmpty() ? QString() : QRegularExpression::escape(u'.' + list.suffix());
    const QString engines = QStringLiteral(
        R"((?:\.sync-conflict-\d{8}-\d{6}-[0-9A-Za-z]+)" // Syncthing
        R"(|_conflict-[^/]+)" // Nextcloud, older clients
        R"(| \((?:[^/]* )?conflicted copy(?: [^/]*)?\)))"); // Nextcloud, Dropbox ("Anna's conflicted copy ...")
    return QRegularExpression(u'^' + stem + engines + suffix + u'$');
}

} // namespace

bool isConflictCopyName(const QString& listFileName, const QString& fileName)
{
    if (fileName == listFileName)
        return false;
    return conflictPattern(listFileName).match(fileName).hasMatch();
}

QStringList findConflictCopies(const QString& listPath)
{
    const QFileInfo list(listPath);
    const QRegularExpression pattern = conflictPattern(list.fileName());
    QFileInfoList copies;
    const QFileInfoList files = list.dir().entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& file : files) {
        if (file.fileName() != list.fileName() && pattern.match(file.fileName()).hasMatch())
            copies.append(file);
    }
    std::sort(copies.begin(), copies.end(), [](const QFileInfo& a, const QFileInfo& b) {
        const QDateTime timeA = a.lastModified();
        const QDateTime timeB = b.lastModified();
        return timeA != timeB ? timeA > timeB : a.fileName() < b.fileName();
    });
    QStringList paths;
    for (const QFileInfo& copy : copies)
        paths.append(copy.absoluteFilePath());
    return paths;
}

} // namespace korbana
