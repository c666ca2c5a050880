#include "KeptVersions.h"

#include "DurableFile.h"
#include "ListFile.h"
#include "RecoveryStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace korbana {

namespace {

const QString kSuffix = QStringLiteral(".kbl");
constexpr int kMaxListedReads = 64;

// The name of a kept version: a tag of the list's full path (so that two lists of the same name stay apart), the
// time, and the list's own name for the reader of the folder.
QString tagOf(const QString& listPath)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(QFileInfo(listPath).absoluteFilePath().toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(12));
}

} // namespace

QString KeptVersions::defaultFolder()
{
    return RecoveryStore::folder() + QStringLiteral("/kept");
}

KeptVersions::KeptVersions(QString folder)
    : m_folder(std::move(folder))
{
}

std::optional<QString> KeptVersions::keep(const QString& listPath)
{
    if (!makeOwnerOnlyFolder(m_folder))
        return std::nullopt;
    const std::optional<QByteArray> bytes = readWholeFile(listPath);
    if (!bytes)
        return std::nullopt;
    const QString stem = m_folder + u'/' + tagOf(listPath) + u'-'
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + u'-'
        + QFileInfo(listPath).completeBaseName();
    QString target = stem + kSuffix;
    for (int number = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++number)
        target = stem + u'-' + QString::number(number) + kSuffix;
    // The list's own permission bits, never more readable.
    SaveFile file(target);
    file.setReadersLike(listPath);
    if (saveWholeFile(file, *bytes) != WriteResult::Ok)
        return std::nullopt;
    prune();
    return target;
}

std::vector<KeptVersions::Kept> KeptVersions::versionsOf(const QString& listPath) const
{
    std::vector<Kept> kept;
    const QFileInfoList files = QDir(m_folder).entryInfoList(
        { tagOf(listPath) + u'*' + kSuffix }, QDir::Files | QDir::NoSymLinks, QDir::Time);
    for (const QFileInfo& file : files) {
        Kept version { file.absoluteFilePath(), file.lastModified(), { -1, -1, -1 } };
        if (static_cast<int>(kept.size()) < kMaxListedReads) {
            const ListContent content = readListContent(version.path);
            if (content.result == ReadResult::Ok) {
                for (size_t i = 0; i < version.counts.size(); ++i)
                    version.counts[i] = static_cast<int>(content.sections[i].size());
            }
        }
        kept.push_back(version);
    }
    return kept;
}

void KeptVersions::prune()
{
    const QFileInfoList files
        = QDir(m_folder).entryInfoList({ u'*' + kSuffix }, QDir::Files | QDir::NoSymLinks, QDir::Time);
    const QDateTime oldest = QDateTime::currentDateTime().addDays(-kMaxAgeDays);
    for (int i = 0; i < files.size(); ++i) {
        if (i >= kMaxKept || files[i].lastModified() < oldest)
            QFile::remove(files[i].absoluteFilePath());
    }
}

} // namespace korbana
