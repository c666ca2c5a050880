#include "lists/ListModel.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QTest>

#include <numeric>
#include <random>

using namespace korbana;

namespace {

QStringList captions(const ListModel& model)
{
    QStringList result;
    for (int row = 0; row < model.count(); ++row)
        result << model.caption(row);
    return result;
}

} // namespace

class TestListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void appendKeepsFileOrder();
    void appendDropsSurplusSubItems();
    void appendAllAddsBehind();
    void deleteAtClosesUp();
    void clearEmpties();
    void applyOrderMovesSelection();
    void applyOrderPermutes_data();
    void applyOrderPermutes();
    void editsColumnZeroOnly();
    void setSubItemChangesOneCell();
    void headersAndColumns();
    void destroyedListLeavesRowsAtProcessEnd_data();
    void destroyedListLeavesRowsAtProcessEnd();

private:
    ListModel* m_model = nullptr;
    QAbstractItemModelTester* m_tester = nullptr;
};

void TestListModel::init()
{
    m_model = new ListModel({ "Menge", "Name", "Laden", "Preis" }, this);
    m_tester = new QAbstractItemModelTester(m_model, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
}

void TestListModel::cleanup()
{
    delete m_tester;
    delete m_model;
}

void TestListModel::appendKeepsFileOrder()
{
    QCOMPARE(m_model->append("1", { "Brot", "Bäcker", "1,99 EUR" }), 0);
    QCOMPARE(m_model->append("2", { "Milch" }), 1);
    QCOMPARE(m_model->append(""), 2);
    QCOMPARE(captions(*m_model), QStringList({ "1", "2", "" }));
    QCOMPARE(m_model->rowCount(), 3);
    QCOMPARE(m_model->subItem(0, 2), QString("1,99 EUR"));
    QCOMPARE(m_model->subItem(1, 1), QString());
    QCOMPARE(m_model->entryAt(2).imageIndex, 0);
    QCOMPARE(m_model->index(0, 1).data().toString(), QString("Brot"));
}

void TestListModel::appendDropsSurplusSubItems()
{
    ListModel products({ "Name", "Laden", "Preis" });
    QAbstractItemModelTester tester(&products, QAbstractItemModelTester::FailureReportingMode::QtTest);
    products.append("Brot", { "Bäcker", "1,99 EUR", "zu viel" });
    QCOMPARE(products.subItemCount(), 2);
    QCOMPARE(products.subItem(0, 1), QString("1,99 EUR"));
    QVERIFY(products.entryAt(0).subItems[2].isEmpty());
    QCOMPARE(products.subItem(0, 2), QString());
}

void TestListModel::appendAllAddsBehind()
{
    m_model->append("erst");
    QSignalSpy inserted(m_model, &QAbstractItemModel::rowsInserted);
    std::vector<Entry> more(3);
    more[0].caption = "a";
    more[2].caption = "c";
    m_model->appendAll(std::move(more));
    QCOMPARE(captions(*m_model), QStringList({ "erst", "a", "", "c" }));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 1);
    QCOMPARE(inserted.at(0).at(2).toInt(), 3);
    m_model->appendAll({});
    QCOMPARE(m_model->count(), 4);
}

void TestListModel::deleteAtClosesUp()
{
    for (const char* caption : { "a", "b", "c", "d" })
        m_model->append(caption);
    const QPersistentModelIndex last(m_model->index(3, 0));
    m_model->deleteAt(1);
    QCOMPARE(captions(*m_model), QStringList({ "a", "c", "d" }));
    QCOMPARE(last.row(), 2);
    m_model->deleteAt(0);
    m_model->deleteAt(1);
    QCOMPARE(captions(*m_model), QStringList({ "c" }));
    m_model->deleteAt(-1);
    m_model->deleteAt(1);
    QCOMPARE(captions(*m_model), QStringList({ "c" }));
}

void TestListModel::clearEmpties()
{
    m_model->append("a");
    m_model->append("b");
    m_model->clear();
    QCOMPARE(m_model->count(), 0);
    m_model->clear();
    m_model->append("neu");
    QCOMPARE(captions(*m_model), QStringList({ "neu" }));
}

void TestListModel::applyOrderMovesSelection()
{
    for (const char* caption : { "a", "b", "c", "d" })
        m_model->append(caption, { QString(caption).toUpper() });
    const QPersistentModelIndex selected(m_model->index(1, 1));
    m_model->applyOrder({ 3, 1, 0, 2 });
    QCOMPARE(captions(*m_model), QStringList({ "d", "b", "a", "c" }));
    QCOMPARE(m_model->subItem(0, 0), QString("D"));
    QCOMPARE(selected.row(), 1);
    m_model->applyOrder({ 1, 2, 3, 0 });
    QCOMPARE(captions(*m_model), QStringList({ "b", "a", "c", "d" }));
    QCOMPARE(selected.row(), 0);
    QCOMPARE(selected.column(), 1);
    QCOMPARE(selected.data().toString(), QString("B"));
}

void TestListModel::applyOrderPermutes_data()
{
    QTest::addColumn<std::vector<int>>("order");
    QTest::newRow("empty") << std::vector<int>();
    QTest::newRow("one") << std::vector<int> { 0 };
    QTest::newRow("unchanged") << std::vector<int> { 0, 1, 2, 3, 4 };
    QTest::newRow("one swap") << std::vector<int> { 0, 3, 2, 1, 4 };
    QTest::newRow("one long cycle") << std::vector<int> { 1, 2, 3, 4, 5, 6, 0 };
    QTest::newRow("reversed") << std::vector<int> { 5, 4, 3, 2, 1, 0 };
    QTest::newRow("cycles and fixed rows") << std::vector<int> { 2, 0, 1, 3, 6, 7, 4, 5, 8 };
    // Long enough that the move runs far ahead of itself, with cycles of every length.
    std::vector<int> shuffled(100);
    std::iota(shuffled.begin(), shuffled.end(), 0);
    std::shuffle(shuffled.begin() + 10, shuffled.end(), std::mt19937(7));
    QTest::newRow("a hundred, shuffled") << shuffled;
}

// Every row ends where the order puts it, with all its texts, and every kept index follows its row.
void TestListModel::applyOrderPermutes()
{
    QFETCH(std::vector<int>, order);
    for (size_t i = 0; i < order.size(); ++i) {
        const QString n = QString::number(i);
        m_model->append(
            n, { QStringLiteral("Name ") + n, QStringLiteral("Laden ") + n, n + QStringLiteral(",00 EUR") });
    }
    std::vector<QPersistentModelIndex> kept;
    for (int row = 0; row < m_model->count(); ++row)
        kept.emplace_back(m_model->index(row, row % 4));

    m_model->applyOrder(order);

    QCOMPARE(m_model->count(), static_cast<int>(order.size()));
    for (size_t row = 0; row < order.size(); ++row) {
        const QString n = QString::number(order[row]);
        const int r = static_cast<int>(row);
        QCOMPARE(m_model->caption(r), n);
        QCOMPARE(m_model->subItem(r, 0), QString(QStringLiteral("Name ") + n));
        QCOMPARE(m_model->subItem(r, 2), QString(n + QStringLiteral(",00 EUR")));
        const QPersistentModelIndex& index = kept[static_cast<size_t>(order[row])];
        QCOMPARE(index.row(), r);
        QCOMPARE(index.column(), order[row] % 4);
    }
}

void TestListModel::editsColumnZeroOnly()
{
    m_model->append("1", { "Brot", "Bäcker", "1,99 EUR" });
    QVERIFY(m_model->flags(m_model->index(0, 0)) & Qt::ItemIsEditable);
    for (int column = 1; column < 4; ++column)
        QVERIFY(!(m_model->flags(m_model->index(0, column)) & Qt::ItemIsEditable));

    QSignalSpy changed(m_model, &QAbstractItemModel::dataChanged);
    QVERIFY(m_model->setData(m_model->index(0, 0), QString("")));
    QCOMPARE(m_model->caption(0), QString(""));
    QVERIFY(m_model->setData(m_model->index(0, 0), QString(" 2 Stück ")));
    QCOMPARE(m_model->caption(0), QString(" 2 Stück "));
    QCOMPARE(changed.count(), 2);

    QVERIFY(!m_model->setData(m_model->index(0, 1), QString("Käse")));
    QVERIFY(!m_model->setData(m_model->index(0, 0), QString("x"), Qt::DisplayRole));
    QVERIFY(!m_model->setData(QModelIndex(), QString("x")));
    QCOMPARE(m_model->subItem(0, 0), QString("Brot"));
    QCOMPARE(m_model->caption(0), QString(" 2 Stück "));
    QCOMPARE(changed.count(), 2);

    // A pasted line end or byte 26 would break the list file: CR becomes a blank, byte 26 goes; LF is kept.
    QVERIFY(m_model->setData(m_model->index(0, 0), QString("2\r\nSt\x1a\u00fcck\r!\nx")));
    QCOMPARE(m_model->caption(0), QString("2 St\u00fcck !\nx"));
    m_model->setSubItem(0, 2, QString("1,99\rEUR"));
    QCOMPARE(m_model->subItem(0, 2), QString("1,99 EUR"));
}

void TestListModel::setSubItemChangesOneCell()
{
    m_model->append("1", { "Brot", "Bäcker", "1,99 EUR" });
    QSignalSpy changed(m_model, &QAbstractItemModel::dataChanged);
    m_model->setSubItem(0, 2, "ca. 3 EUR");
    QCOMPARE(m_model->index(0, 3).data().toString(), QString("ca. 3 EUR"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), m_model->index(0, 3));
    m_model->setSubItem(0, 3, "außerhalb");
    m_model->setSubItem(1, 0, "außerhalb");
    QCOMPARE(changed.count(), 1);
    m_model->setCaption(0, "3");
    QCOMPARE(m_model->index(0, 0).data(Qt::EditRole).toString(), QString("3"));
}

void TestListModel::headersAndColumns()
{
    QCOMPARE(m_model->columnCount(), 4);
    QCOMPARE(m_model->subItemCount(), 3);
    QCOMPARE(m_model->headerData(0, Qt::Horizontal).toString(), QString("Menge"));
    QCOMPARE(m_model->headerData(3, Qt::Horizontal).toString(), QString("Preis"));
    m_model->append("x");
    QCOMPARE(m_model->rowCount(m_model->index(0, 0)), 0);
    QCOMPARE(m_model->columnCount(m_model->index(0, 0)), 0);
}

void TestListModel::destroyedListLeavesRowsAtProcessEnd_data()
{
    QTest::addColumn<bool>("processEnding");
    QTest::newRow("while the program runs") << false;
    QTest::newRow("after the event loop") << true;
}

void TestListModel::destroyedListLeavesRowsAtProcessEnd()
{
    QFETCH(bool, processEnding);
    const QString text = QString::fromUtf8("Äpfel Elstar");
    ListModel::leaveRowsToProcessEnd(processEnding);
    {
        ListModel list({ "Name", "Laden" });
        Entry entry;
        entry.caption = text;
        entry.subItems[0] = text;
        std::vector<Entry> rows { entry, entry };
        list.appendAll(std::move(rows));
    }
    // The text is still shared exactly when the destroyed list's rows were left alive.
    QCOMPARE(!text.isDetached(), processEnding);
    ListModel::freeRowsLeft();
    ListModel::leaveRowsToProcessEnd(false);
    QVERIFY(text.isDetached());
}

QTEST_GUILESS_MAIN(TestListModel)
#include "tst_listmodel.moc"
