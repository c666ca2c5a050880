#include "DefaultList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace korbana {

namespace {

QString withoutTrailingSlash(const QString& dir)
{
    QString clean = QDir::cleanPath(dir);
    return clean.isEmpty() ? QStringLiteral(".") : clean;
}

} // namespace

DefaultList::DefaultList(const QString& programDir, const QString& dataDir)
    : m_programDir(withoutTrailingSlash(programDir))
    , m_dataDir(withoutTrailingSlash(dataDir))
{
#ifndef Q_OS_WIN
    // A list beside the program makes a portable copy (a build folder, an unpacked archive); an installed
    // program's folder (/usr/bin) is no place for the user's data.
    m_portable = QFileInfo::exists(m_programDir + u'/' + QString::fromUtf16(kFileName));
#endif
}

QString DefaultList::userDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/korbana");
}

QString DefaultList::filePath() const
{
    return (m_portable ? m_programDir : m_dataDir) + u'/' + QString::fromUtf16(kFileName);
}

DefaultList::FirstStart DefaultList::prepare(const QString& samplePath) const
{
    if (m_portable || QFileInfo::exists(m_dataDir))
        return FirstStart::NotFirst;
    if (!QDir().mkpath(m_dataDir))
        return FirstStart::Failed;

    QFile sample(samplePath);
    if (!sample.open(QIODevice::ReadOnly))
        return FirstStart::Failed;
    const QByteArray bytes = sample.readAll();
    // Written, not copied: a copy would keep the resource's read-only mode, and the user saves into this file.
    QFile list(filePath());
    if (!list.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return FirstStart::Failed;
    if (list.write(bytes) != bytes.size() || !list.flush()) {
        list.close();
        list.remove();
        return FirstStart::Failed;
    }
    return FirstStart::Created;
}

} // namespace korbana
