#pragma once

#include "ListMerge.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace korbana {

// The versions of lists that this computer has read or written, each kept as the prints of its entries with the
// versions it was made from, so that a merge can start from the newest version both sides come from rather than
// guess. Each version is one file "<id>.prints" in a folder that is the owner's alone; the store stays small:
// the newest kMaxVersions, none older than kMaxAgeDays, at most kMaxBytes in all (the newest two are always kept).
class KnownVersions final
{
public:
    static constexpr int kMaxVersions = 50;
    static constexpr int kMaxAgeDays = 30;
    static constexpr qint64 kMaxBytes = qint64(8) << 20;

    // Where this computer keeps them: beside the recovery copies.
    static QString defaultFolder();
    explicit KnownVersions(QString folder = defaultFolder());

    // A new name for a version about to be written: 16 hex digits, random.
    static QString newId();
    // Whether the text can name a version: 1 to 64 letters, digits, '-' or '_' (so that it is a safe file name).
    static bool isValidId(const QString& id);

    // Keeps the prints of the version id, made from parents, and prunes the store. An id already kept is left as
    // it is (its time is renewed). False when it could not be written.
    bool keep(const QString& id, const QStringList& parents, const SectionPrints& prints);
    bool contains(const QString& id) const;
    QStringList parentsOf(const QString& id) const;
    std::optional<SectionPrints> printsOf(const QString& id) const;

    // The newest version kept here that both sides come from. A side is given by the versions it was made from
    // directly (its id, or the parents its file names); the ancestors known here are followed. Empty when none is
    // known.
    QString newestCommon(const QStringList& ours, const QStringList& theirs) const;

    // Drops what is too old, too many or too much; never the newest two, nor keptNow.
    void prune(const QString& keptNow = {});

private:
    struct Header
    {
        QStringList parents;
        QDateTime kept;
    };
    QString pathOf(const QString& id) const;
    std::optional<Header> headerOf(const QString& id) const;
    // The side's versions and all their ancestors known here.
    QStringList ancestry(const QStringList& heads) const;

    QString m_folder;
};

} // namespace korbana
