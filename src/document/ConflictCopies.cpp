#include "ConflictCopies.h"

#include "DurableFile.h"
#include "ListFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
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

bool readsAsWholeList(const QString& path)
{
    try {
        const ListContent content = readListContent(path);
        return content.result == ReadResult::Ok && content.facts.isWholeVersion();
    } catch (const std::bad_alloc&) {
        return false;
    }
}

SetAsideCopies::SetAsideCopies(const QString& registerPath)
    : m_registerPath(registerPath)
{
}

QString SetAsideCopies::keyOf(const QString& copyPath)
{
    // The link itself, not what it points to: a link is set aside as a link.
    const QFileInfo info(copyPath);
    return QStringLiteral("%1\t%2\t%3")
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch())
        .arg(QString::fromLatin1(
            info.absoluteFilePath().toUtf8().toPercentEncoding("/"))); // one line, whatever the name
}

QStringList SetAsideCopies::read() const
{
    QFile file(m_registerPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

bool SetAsideCopies::contains(const QString& copyPath) const
{
    return read().contains(keyOf(copyPath));
}

bool SetAsideCopies::add(const QStringList& copyPaths)
{
    QStringList keys = read();
    for (const QString& copy : copyPaths)
        keys.append(keyOf(copy));
    if (keys.size() > kMaxSetAside)
        keys = keys.mid(keys.size() - kMaxSetAside);
    makeOwnerOnlyFolder(QFileInfo(m_registerPath).absolutePath());
    SaveFile file(m_registerPath, SaveFile::Kind::Private);
    return saveWholeFile(file, (keys.join(u'\n') + u'\n').toUtf8()) == WriteResult::Ok;
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
