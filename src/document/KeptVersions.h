#pragma once

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace korbana {

// Versions of a list that a save replaced without this window having read them ("Überschreiben"): each is copied
// into a folder of the owner's alone before the save, with the list's own permission bits, so that nothing is
// overwritten for good. "Frühere Fassungen..." lists them and merges one back. The folder keeps the newest
// kMaxKept, none older than kMaxAgeDays.
class KeptVersions final
{
public:
    static constexpr int kMaxKept = 30;
    static constexpr int kMaxAgeDays = 60;

    struct Kept
    {
        QString path;
        QDateTime time; // when it was replaced
        std::array<int, 3> counts {}; // its shops, products and shopping entries; -1 each when it does not read
    };

    // Beside the recovery copies.
    static QString defaultFolder();
    explicit KeptVersions(QString folder = defaultFolder());

    // Copies the file at listPath before it is replaced; the copy's path, or nullopt when it could not be made.
    std::optional<QString> keep(const QString& listPath);
    // The versions kept of the list at listPath, newest first.
    std::vector<Kept> versionsOf(const QString& listPath) const;
    // Drops the oldest beyond kMaxKept and those older than kMaxAgeDays.
    void prune();

private:
    QString m_folder;
};

} // namespace korbana
