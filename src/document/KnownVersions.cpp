#include "KnownVersions.h"

#include "DurableFile.h"
#include "ListFile.h"
#include "RecoveryStore.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <deque>

namespace korbana {

namespace {

constexpr quint32 kMagic = 0x4B425650; // "KBVP"
constexpr quint16 kFormat = 1;
const QString kSuffix = QStringLiteral(".prints");
// A history is followed this far back: far beyond what the store keeps.
constexpr int kMaxWalk = 1000;
// Prints past this many per list are not a list this program wrote.
constexpr quint32 kMaxPrints = 1u << 26;

// The magic, the format and the parents; false when the file is no version of ours. The parents are one array of
// bytes: a damaged length costs no more memory than the file holds.
bool readHead(QDataStream& in, QStringList& parents)
{
    quint32 magic = 0;
    quint16 format = 0;
    QByteArray names;
    in >> magic >> format >> names;
    if (in.status() != QDataStream::Ok || magic != kMagic || format != kFormat)
        return false;
    parents = QString::fromLatin1(names).split(u',', Qt::SkipEmptyParts);
    return std::all_of(parents.begin(), parents.end(), &KnownVersions::isValidId);
}

} // namespace

QString KnownVersions::defaultFolder()
{
    return RecoveryStore::folder() + QStringLiteral("/versions");
}

KnownVersions::KnownVersions(QString folder)
    : m_folder(std::move(folder))
{
}

QString KnownVersions::newId()
{
    return QStringLiteral("%1").arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
}

bool KnownVersions::isValidId(const QString& id)
{
    if (id.isEmpty() || id.size() > 64)
        return false;
    return std::all_of(id.begin(), id.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-'
            || c == u'_';
    });
}

QString KnownVersions::pathOf(const QString& id) const
{
    return m_folder + u'/' + id + kSuffix;
}

bool KnownVersions::keep(const QString& id, const QStringList& parents, const SectionPrints& prints)
{
    if (!isValidId(id))
        return false;
    const QString path = pathOf(id);
    if (contains(id)) {
        // Read or written again: it stays among the newest.
        QFile file(path);
        const bool renewed = file.open(QIODevice::ReadWrite)
            && file.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
        prune(id);
        return renewed;
    }
    if (!makeOwnerOnlyFolder(m_folder))
        return false;
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << kMagic << kFormat << parents.join(u',').toLatin1();
        for (const ListPrints& list : prints) {
            out << static_cast<quint32>(list.size());
            for (const RecordPrint& print : list)
                out << print.first << print.second;
        }
    }
    SaveFile file(path, SaveFile::Kind::Private);
    const bool written = saveWholeFile(file, bytes) == WriteResult::Ok;
    prune(id);
    return written;
}

std::optional<KnownVersions::Header> KnownVersions::headerOf(const QString& id) const
{
    if (!isValidId(id))
        return std::nullopt;
    QFile file(pathOf(id));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QDataStream in(&file);
    Header header;
    if (!readHead(in, header.parents))
        return std::nullopt;
    header.kept = QFileInfo(file).lastModified();
    return header;
}

bool KnownVersions::contains(const QString& id) const
{
    return headerOf(id).has_value();
}

QStringList KnownVersions::parentsOf(const QString& id) const
{
    const std::optional<Header> header = headerOf(id);
    return header ? header->parents : QStringList();
}

std::optional<SectionPrints> KnownVersions::printsOf(const QString& id) const
{
    if (!isValidId(id))
        return std::nullopt;
    QFile file(pathOf(id));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QDataStream in(&file);
    QStringList parents;
    if (!readHead(in, parents))
        return std::nullopt;
    SectionPrints prints;
    for (ListPrints& list : prints) {
        quint32 count = 0;
        in >> count;
        // Never more than the file can hold: a damaged count must not ask for memory.
        if (in.status() != QDataStream::Ok || count > kMaxPrints || qint64(count) * 16 > file.size())
            return std::nullopt;
        list.resize(count);
        for (RecordPrint& print : list)
            in >> print.first >> print.second;
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return prints;
}

QStringList KnownVersions::ancestry(const QStringList& heads) const
{
    QStringList order;
    QSet<QString> seen;
    std::deque<QString> queue(heads.begin(), heads.end());
    while (!queue.empty() && order.size() < kMaxWalk) {
        const QString id = queue.front();
        queue.pop_front();
        if (id.isEmpty() || seen.contains(id))
            continue;
        seen.insert(id);
        order.append(id);
        for (const QString& parent : parentsOf(id))
            queue.push_back(parent);
    }
    return order;
}

QString KnownVersions::newestCommon(const QStringList& ours, const QStringList& theirs) const
{
    const QStringList oursAll = ancestry(ours);
    const QSet<QString> oursSet(oursAll.begin(), oursAll.end());
    QString best;
    QDateTime bestTime;
    for (const QString& id : ancestry(theirs)) {
        if (!oursSet.contains(id))
            continue;
        const std::optional<Header> header = headerOf(id);
        if (header && (best.isEmpty() || header->kept > bestTime)) {
            best = id;
            bestTime = header->kept;
        }
    }
    return best;
}

void KnownVersions::prune(const QString& keptNow)
{
    QFileInfoList files = QDir(m_folder).entryInfoList({ u'*' + kSuffix }, QDir::Files | QDir::NoSymLinks, QDir::Time);
    const QDateTime oldest = QDateTime::currentDateTimeUtc().addDays(-kMaxAgeDays);
    qint64 total = 0;
    for (int i = 0; i < files.size(); ++i) {
        const QFileInfo& file = files[i];
        total += file.size();
        const bool newest = i < 2 || file.completeBaseName() == keptNow;
        const bool tooOld = file.lastModified() < oldest;
        // Only names the store gives: nothing else in the folder is ever removed.
        if (!newest && isValidId(file.completeBaseName()) && (i >= kMaxVersions || tooOld || total > kMaxBytes))
            QFile::remove(file.filePath());
    }
}

} // namespace korbana
