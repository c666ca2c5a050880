#include "document/ConflictCopies.h"
#include "document/KnownVersions.h"
#include "document/ListMerge.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace korbana;

namespace {

// "A B|2 C": one entry per word, the caption before the bar, the first sub-item after it.
std::vector<Entry> entries(const QString& words)
{
    std::vector<Entry> out;
    for (const QString& word : words.split(u' ', Qt::SkipEmptyParts)) {
        Entry e;
        e.caption = word.section(u'|', 0, 0);
        e.subItems[0] = word.section(u'|', 1, 1);
        out.push_back(e);
    }
    return out;
}

QString words(const std::vector<Entry>& list)
{
    QStringList out;
    for (const Entry& e : list)
        out.append(e.subItems[0].isEmpty() ? e.caption : e.caption + u'|' + e.subItems[0]);
    return out.join(u' ');
}

// A few random removals, changes and additions; new entries are named from the counter so that they are new.
std::vector<Entry> edited(std::vector<Entry> list, QRandomGenerator& random, int& counter)
{
    const int edits = random.bounded(4);
    for (int n = 0; n < edits; ++n) {
        const auto at = list.begin() + random.bounded(static_cast<int>(list.size()) + 1);
        const int kind = list.empty() || at == list.end() ? 2 : random.bounded(3);
        if (kind == 0)
            at->caption = QString::number(++counter);
        else if (kind == 1)
            list.erase(at);
        else
            list.insert(at, entries(QString::number(++counter)).front());
    }
    return list;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

class TestListMerge : public QObject
{
    Q_OBJECT

private slots:
    // Each row: base; ours; theirs; the merged list.
    void merge_data()
    {
        QTest::addColumn<QString>("versions");
        QTest::addColumn<int>("conflicts");
        QTest::newRow("unchanged") << "A B C; A B C; A B C; A B C" << 0;
        QTest::newRow("both sides equal") << "A B C; A X C D; A X C D; A X C D" << 0;
        QTest::newRow("add/add") << "A B; A X B; A B Y; A X B Y" << 0;
        QTest::newRow("add/add in one gap") << "A B; A X B; A Y B; A X Y B" << 0;
        QTest::newRow("add/add at the end") << "A; A X; A Y; A X Y" << 0;
        QTest::newRow("add/add at the start") << "A; X A; Y A; X Y A" << 0;
        QTest::newRow("the same added on both") << "A; A X; X A; A X" << 0;
        QTest::newRow("add/remove") << "A B C; A B C X; A C; A C X" << 0;
        QTest::newRow("remove/add") << "A B C; B C; A B Y C; B Y C" << 0;
        QTest::newRow("everything removed") << "A B; ; A B; " << 0;
        QTest::newRow("change/unchanged") << "A B C; A B2 C; A B C; A B2 C" << 0;
        QTest::newRow("remove/change") << "A B C; A C; A B2 C; A B2 C" << 1;
        QTest::newRow("change/remove") << "A B C; A B2 C; A C; A B2 C" << 1;
        QTest::newRow("change/change") << "A B C; A B1 C; A B2 C; A B1 B2 C" << 1;
        QTest::newRow("change/change alike") << "A B C; A B1 C; A B1 C; A B1 C" << 0;
        QTest::newRow("change/change of a sub-item") << "A|1 B|1; A|2 B|1; A|3 B|1; A|2 A|3 B|1" << 1;
        QTest::newRow("change/change, two entries") << "A B C; A1 B1 C; A2 B2 C; A1 B1 A2 B2 C" << 2;
        QTest::newRow("change/change of the only entry") << "A; A1; A2; A1 A2" << 1;
        QTest::newRow("sort on ours, add on theirs") << "C A B; A B C; C A X B; A X B C" << 0;
        QTest::newRow("sort on ours, remove and change on theirs") << "D C B A; A B C D; D C2 A; C2 A D" << 0;
        QTest::newRow("sort on theirs, add on ours") << "C A B; C A X B; A B C; C A X B" << 0;
        QTest::newRow("sort on theirs, remove on ours") << "C A B; C B; A B C; C B" << 0;
        QTest::newRow("sort with duplicates") << "B A B A; A A B B; B A B A X; A A B B X" << 0;
        QTest::newRow("empty base") << "; A B; B C; A B C" << 0;
        QTest::newRow("empty base, duplicates") << "; A A B; A B B; A A B B" << 0;
        QTest::newRow("empty base, ours empty") << "; ; A B; A B" << 0;
        QTest::newRow("one duplicate removed") << "A B A; A B; A B A; A B" << 0;
        QTest::newRow("duplicate added and removed") << "A A; A A A; A; A A" << 0;
        QTest::newRow("one of two duplicates changed on both") << "A A; A A1; A A2; A A1 A2" << 1;
    }

    void merge()
    {
        QFETCH(QString, versions);
        QFETCH(int, conflicts);
        const QStringList v = versions.split(u';');
        const QString base = v[0], ours = v[1], theirs = v[2], merged = v[3].trimmed();
        const ListMergeResult result = mergeList(entries(base), entries(ours), entries(theirs));
        QCOMPARE(words(result.entries), merged);
        QCOMPARE(result.conflicts, conflicts);
        // The sides swapped: the same entries and conflicts, only the order may differ.
        ListMergeResult swapped = mergeList(entries(base), entries(theirs), entries(ours));
        QCOMPARE(swapped.conflicts, result.conflicts);
        QCOMPARE(sorted(words(swapped.entries).split(u' ')), sorted(words(result.entries).split(u' ')));
    }

    // What one side alone did comes out as it did it (in its order where records are unique, else as a multiset),
    // and both sides doing the same thing gives that, with no conflict.
    void mergeOneSided_data()
    {
        QTest::addColumn<QString>("alphabet");
        QTest::newRow("unique records") << "A B C D E F G H";
        QTest::newRow("duplicates") << "A A B A C";
    }

    void mergeOneSided()
    {
        QFETCH(QString, alphabet);
        const bool unique = !alphabet.contains(QStringLiteral("A A"));
        QRandomGenerator random(7);
        int counter = 0;
        for (int round = 0; round < 500; ++round) {
            QStringList letters = alphabet.split(u' ');
            std::shuffle(letters.begin(), letters.end(), random);
            const std::vector<Entry> base = entries(letters.mid(0, random.bounded(letters.size() + 1)).join(u' '));
            const std::vector<Entry> side = edited(base, random, counter);
            const QString expected = words(side);
            const ListMergeResult ours = mergeList(base, side, base);
            const ListMergeResult theirs = mergeList(base, base, side);
            const ListMergeResult both = mergeList(base, side, side);
            QCOMPARE(words(ours.entries), expected);
            QCOMPARE(words(both.entries), expected);
            if (unique)
                QCOMPARE(words(theirs.entries), expected);
            QCOMPARE(sorted(words(theirs.entries).split(u' ')), sorted(expected.split(u' ')));
            QCOMPARE(ours.conflicts + theirs.conflicts + both.conflicts, 0);
        }
    }

    // The lists merge each on its own, and the conflicts add up.
    void mergeLists()
    {
        const ListSections base { entries("L1 L2"), entries("P"), entries("E") };
        const ListSections ours { entries("L1 L2"), entries("P1"), entries("E1 X") };
        const ListSections theirs { entries("L2 L3"), entries("P2"), entries("E2") };
        const MergeResult result = korbana::mergeLists(base, ours, theirs);
        QCOMPARE(words(result.sections[0]), QStringLiteral("L2 L3"));
        QCOMPARE(words(result.sections[1]), QStringLiteral("P1 P2"));
        QCOMPARE(words(result.sections[2]), QStringLiteral("E1 X E2"));
        QCOMPARE(result.conflicts, (std::array<int, 3> { 0, 1, 1 }));
        QCOMPARE(result.totalConflicts(), 2);
    }

    // Two computers went apart from a version V that both read; each saved its own version from it (A here, B in
    // the conflict copy). Each row: V; A; B; merged; conflicts; merged by the rule for an unknown start.
    void mergeFromNamedVersion_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("ours");
        QTest::addColumn<QString>("theirs");
        QTest::addColumn<QString>("merged");
        QTest::addColumn<int>("conflicts");
        QTest::addColumn<QString>("guessed");
        QTest::addColumn<QString>("sideBySide"); // each conflict "ours>theirs", "-" for removed

        QTest::newRow("a deletion and an addition") << "1|Brot 2|Milch"
                                                    << "1|Brot 2|Milch 3|Eier"
                                                    << "2|Milch"
                                                    << "2|Milch 3|Eier" << 0 << "1|Brot 2|Milch 3|Eier"
                                                    << "";
        QTest::newRow("deleted against changed: the change stays, counted") << "1|Brot 2|Milch"
                                                                            << "2|Milch"
                                                                            << "4|Brot 2|Milch"
                                                                            << "4|Brot 2|Milch" << 1 << "4|Brot 2|Milch"
                                                                            << "->4|Brot";
        QTest::newRow("changed differently: both forms, counted") << "1|Milch"
                                                                  << "2|Milch"
                                                                  << "3|Milch"
                                                                  << "2|Milch 3|Milch" << 1 << "2|Milch 3|Milch"
                                                                  << "2|Milch>3|Milch";
        QTest::newRow("both deleted the same") << "1|Brot 2|Milch"
                                               << "2|Milch"
                                               << "2|Milch 5|Kaffee"
                                               << "2|Milch 5|Kaffee" << 0 << "2|Milch 5|Kaffee"
                                               << "";
    }

    void mergeFromNamedVersion()
    {
        QFETCH(QString, start);
        QFETCH(QString, ours);
        QFETCH(QString, theirs);
        QFETCH(QString, merged);
        QFETCH(int, conflicts);
        QFETCH(QString, guessed);
        QFETCH(QString, sideBySide);
        QTemporaryDir dir;
        KnownVersions known(dir.path());
        const auto shopping = [](const QString& list) {
            ListSections sections;
            sections[2] = entries(list);
            return sections;
        };
        // This computer read V and wrote A; B names itself and V in its file, and is not known here.
        const QString v = KnownVersions::newId();
        const QString a = KnownVersions::newId();
        QVERIFY(known.keep(v, {}, printsOf(shopping(start))));
        QVERIFY(known.keep(a, { v }, printsOf(shopping(ours))));
        const QString common = known.newestCommon({ a }, { KnownVersions::newId(), v });
        QCOMPARE(common, v);
        const std::optional<SectionPrints> base = known.printsOf(common);
        QVERIFY(base);
        MergeResult result = korbana::mergeLists(*base, shopping(ours), shopping(theirs));
        QCOMPARE(words(result.sections[2]), merged);
        QCOMPARE(result.totalConflicts(), conflicts);
        QStringList pairs;
        for (const MergeConflict& conflict : result.conflictLists[2]) {
            const auto shown = [](const std::optional<Entry>& e) { return e ? words({ *e }) : QStringLiteral("-"); };
            pairs.append(shown(conflict.ours) + u'>' + shown(conflict.theirs));
        }
        QCOMPARE(pairs.join(u' '), sideBySide);
        // Either side merging the other ends with the same entries.
        result = korbana::mergeLists(*base, shopping(theirs), shopping(ours));
        QCOMPARE(sorted(words(result.sections[2]).split(u' ')), sorted(merged.split(u' ')));

        // Without a known start, only what both hold counts as common: nothing is lost, but deletions come back.
        QVERIFY(known.newestCommon({ a }, { KnownVersions::newId() }).isEmpty());
        const ListSections guessedBase = shopping(ours);
        result = korbana::mergeLists(
            commonEntries(printsOf(guessedBase), shopping(theirs)), shopping(ours), shopping(theirs));
        QCOMPARE(words(result.sections[2]), guessed);
    }

    // The newest common version is found through parents known here, also after a merge with two parents.
    void newestCommonVersion()
    {
        QTemporaryDir dir;
        KnownVersions known(dir.path());
        const SectionPrints none;
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const auto keepAged = [&](const QString& id, const QStringList& parents, int ageSeconds) {
            QVERIFY(known.keep(id, parents, none));
            QFile file(dir.filePath(id + ".prints"));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(now.addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        };
        keepAged("v0", {}, 50);
        keepAged("v1", { "v0" }, 40);
        keepAged("x1", { "v0" }, 30);
        keepAged("m2", { "v1", "x1" }, 20);
        QCOMPARE(known.newestCommon({ "m2" }, { "y3", "x1" }), QStringLiteral("x1"));
        QCOMPARE(known.newestCommon({ "v1" }, { "y3", "x1" }), QStringLiteral("v0"));
        QCOMPARE(known.newestCommon({ "m2" }, { "m2" }), QStringLiteral("m2"));
        QCOMPARE(known.newestCommon({ "v1" }, { "unbekannt" }), QString());
        // A cycle in damaged records ends the walk.
        keepAged("c1", { "c2" }, 10);
        keepAged("c2", { "c1" }, 10);
        QVERIFY(QStringList({ "c1", "c2" }).contains(known.newestCommon({ "c1" }, { "c2" })));
    }

    // The store stays small and refuses what is no version of its own.
    void knownVersionsStayBounded()
    {
        QTemporaryDir dir;
        KnownVersions known(dir.path());
        const ListSections list { entries("A B"), entries("P|L"), entries("") };
        for (int i = 0; i < KnownVersions::kMaxVersions + 5; ++i)
            QVERIFY(known.keep(QStringLiteral("v%1").arg(i), {}, printsOf(list)));
        QCOMPARE(QDir(dir.path()).entryList({ "*.prints" }).size(), KnownVersions::kMaxVersions);
        QVERIFY(known.contains(QStringLiteral("v%1").arg(KnownVersions::kMaxVersions + 4)));
        const std::optional<SectionPrints> back
            = known.printsOf(QStringLiteral("v%1").arg(KnownVersions::kMaxVersions));
        QVERIFY(back);
        QVERIFY(*back == printsOf(list));
        QCOMPARE(QFileInfo(dir.path()).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
            QFileDevice::Permissions());

        // Too large in all: only the newest two stay.
        ListSections large;
        large[2] = std::vector<Entry>(KnownVersions::kMaxBytes / 16 / 2 + 1, entries("X").front());
        QVERIFY(known.keep(QStringLiteral("gross1"), {}, printsOf(large)));
        QVERIFY(known.keep(QStringLiteral("gross2"), {}, printsOf(large)));
        QCOMPARE(QDir(dir.path()).entryList({ "*.prints" }).size(), 2);

        // Names that are no file name of ours, and damaged files, give nothing.
        for (const QString& id : { QStringLiteral("../x"), QString(), QStringLiteral("a b"), QString(65, u'a') })
            QVERIFY(!known.keep(id, {}, printsOf(list)));
        QFile damaged(dir.filePath("kaputt.prints"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray("KBVP\0\1\x7F\xFF\xFF\xFF", 10));
        damaged.close();
        QVERIFY(!known.printsOf("kaputt"));
        QVERIFY(known.parentsOf("kaputt").isEmpty());
    }

    void conflictCopyName_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("copy");
        const QString list = QStringLiteral("woche.kbl");
        QTest::newRow("Syncthing") << list << "woche.sync-conflict-20261208-112107-HNLTJCB.kbl" << true;
        QTest::newRow("Nextcloud, older") << list << "woche_conflict-20261208-112107.kbl" << true;
        QTest::newRow("Nextcloud") << list << "woche (conflicted copy 2026-12-08 112107).kbl" << true;
        QTest::newRow("Dropbox") << list << "woche (Anna's conflicted copy 2026-12-08).kbl" << true;
        QTest::newRow("Dropbox, numbered") << list << "woche (Anna's conflicted copy 2026-12-08 (1)).kbl" << true;
        QTest::newRow("extension in capitals") << "Woche.KBL"
                                               << "Woche.sync-conflict-20261208-112107-HNLTJCB.KBL" << true;
        QTest::newRow("dots in the name") << "woche.2026.kbl"
                                          << "woche.2026.sync-conflict-20261208-112107-HNLTJCB.kbl" << true;
        QTest::newRow("no extension") << "woche"
                                      << "woche.sync-conflict-20261208-112107-HNLTJCB" << true;
        QTest::newRow("signs in the name") << "a+b (1).kbl"
                                           << "a+b (1) (conflicted copy 2026-12-08 112107).kbl" << true;
        QTest::newRow("signs taken as signs") << "a+b (1).kbl"
                                              << "aab (1) (conflicted copy 2026-12-08 112107).kbl" << false;
        QTest::newRow("the list itself") << list << "woche.kbl" << false;
        QTest::newRow("its backup") << list << "woche.kbl.bak" << false;
        QTest::newRow("its second backup") << list << "woche.kbl.bak2" << false;
        QTest::newRow("a temporary file") << list << "woche.kbl.aBcD12" << false;
        QTest::newRow("a copy's backup") << list << "woche.sync-conflict-20261208-112107-HNLTJCB.kbl.bak" << false;
        QTest::newRow("another list") << list << "wochen.sync-conflict-20261208-112107-HNLTJCB.kbl" << false;
        QTest::newRow("a list ending alike") << list << "alte woche (Anna's conflicted copy 2026-12-08).kbl" << false;
        QTest::newRow("another extension") << list << "woche.sync-conflict-20261208-112107-HNLTJCB.txt" << false;
        QTest::newRow("extension in another case")
            << list << "woche.sync-conflict-20261208-112107-HNLTJCB.KBL" << false;
        QTest::newRow("no date") << list << "woche.sync-conflict-HNLTJCB.kbl" << false;
        QTest::newRow("a copy by hand") << list << "woche (Kopie).kbl" << false;
    }

    void conflictCopyName()
    {
        QFETCH(QString, list);
        QFETCH(QString, name);
        QFETCH(bool, copy);
        QCOMPARE(isConflictCopyName(list, name), copy);
    }

    void conflictCopiesNewestFirst()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QDateTime now = QDateTime::currentDateTime();
        const auto make = [&](const QString& name, int ageSeconds) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.setFileTime(now.addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        };
        make(QStringLiteral("woche.kbl"), 0);
        make(QStringLiteral("woche.kbl.bak"), 0);
        make(QStringLiteral("woche.sync-conflict-20261208-112107-HNLTJCB.kbl"), 300);
        make(QStringLiteral("woche (Anna's conflicted copy 2026-12-08).kbl"), 100);
        make(QStringLiteral("woche_conflict-1.kbl"), 200);
        make(QStringLiteral("woche_conflict-2.kbl"), 200);
        make(QStringLiteral("monat.sync-conflict-20261208-112107-HNLTJCB.kbl"), 0);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("woche_conflict-ordner.kbl")));
        QStringList names;
        for (const QString& path : findConflictCopies(dir.filePath(QStringLiteral("woche.kbl"))))
            names.append(QFileInfo(path).fileName());
        QCOMPARE(names,
            QStringList({ QStringLiteral("woche (Anna's conflicted copy 2026-12-08).kbl"),
                QStringLiteral("woche_conflict-1.kbl"), QStringLiteral("woche_conflict-2.kbl"),
                QStringLiteral("woche.sync-conflict-20261208-112107-HNLTJCB.kbl") }));
        QVERIFY(findConflictCopies(dir.filePath(QStringLiteral("nirgends/woche.kbl"))).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestListMerge)
#include "tst_listmerge.moc"
