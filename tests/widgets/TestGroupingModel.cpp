// The grouping model: groups, sums, formats and sorting, without any window.
#include "tests/support/TestEnv.h"
#include "widgets/GridTableModel.h"
#include "widgets/GroupingModel.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <functional>
#include <QDate>
#include <QtTest>

namespace {

enum Field { fId, fShop, fDogNo, fArt, fDateGet, fDlv, fPayed, fSale, fSaled, fieldCount };

QList<GridColumn> columns() {
    using K = GridColumn::Kind;
    QList<GridColumn> c;
    c.append({"gridShop", "Магазин", fShop, K::Text, false, true, false, "sums"});
    c.append({"gridDogNo", "№ договор", fDogNo, K::Integer, true, false});
    c.append({"gridArt", "Артикул", fArt, K::Text, true, false});
    c.append({"gridDateGet", "Приемане", fDateGet, K::Date, true, false});
    c.append({"gridDPrice", "Изк.цена", fDlv, K::Money, true, false, true});
    c.append({"gridPayed", "Изплатен", fPayed, K::Check});
    c.append({"gridSPrice", "Прод.цена", fSale, K::Money, true, false, true});
    c.append({"gridSaled", "Продаден", fSaled, K::Check});
    return c;
}

struct Row {
    int id;
    QVariant shop;
    int dogNo;
    QString art;
    QVariant dateGet;
    double dlv;
    QVariant payed;
    double sale;
    QVariant saled;
};

void fill(GridTableModel& table, const QList<Row>& rows) {
    QVector<QVariant> v;
    for (const Row& r : rows)
        v << r.id << r.shop << r.dogNo << r.art << r.dateGet << r.dlv << r.payed << r.sale << r.saled;
    table.reset({"Id", "Shop", "DogNo", "Art", "DateGet", "DlvPrice", "Payed", "SalePrice", "Saled"}, v);
}

QList<Row> sample() {
    return {
        {1, "Център", 5, "Пералня", QDate(2005, 3, 1), 100.10, 0, 150.0, 0},
        {2, "Бояна", 7, "хладилник", QString("2005-03-31"), 1234.5, 1, 2000.0, 1},
        {3, QVariant(), 1, "Фурна", QDate(2005, 2, 1), 0.1, 0, 0.2, 0},
        {4, "Център", 2, "Миксер", QDate(2005, 3, 2), 0.2, 1, 0.3, 0},
        {5, "бояна", 9, "Ютия", QDate(2005, 1, 9), 1000000, 0, 1000000.05, 1},
    };
}

QStringList topGroups(GroupingModel& m) {
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.index(r, 0).data(GroupingModel::GroupValueRole).toString();
    return out;
}

QList<int> idsInOrder(GroupingModel& m, const QModelIndex& parent = QModelIndex()) {
    QList<int> ids;
    for (int r = 0; r < m.rowCount(parent); ++r) {
        const QModelIndex idx = m.index(r, 0, parent);
        if (m.isGroup(idx))
            ids << idsInOrder(m, idx);
        else
            ids << qobject_cast<GridTableModel*>(m.sourceModel())->value(m.sourceRow(idx), fId).toInt();
    }
    return ids;
}

} // namespace

class TestGroupingModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testenv::isolateSettings(); }

    void modelIsConsistent() {
        GridTableModel table;
        fill(table, sample());
        GroupingModel m;
        m.setColumns(columns());
        m.setSourceModel(&table);
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.setGroupColumns({0, 5});
        m.setSortKeys({{2, Qt::DescendingOrder}});
        m.setGroupColumns({});
        m.setGroupColumns({7});
        fill(table, {});
        fill(table, sample());
    }

    void groupsSortedByNameUnknownShopEmpty() {
        GridTableModel table;
        fill(table, sample());
        GroupingModel m;
        m.setColumns(columns());
        m.setSourceModel(&table);
        m.setGroupColumns({0});
        QCOMPARE(m.dataRowCount(), 5);
        // The item of no known shop groups under an empty name; letter case
        // does not part "Бояна" from "бояна" in the order, but they stay apart.
        QCOMPARE(topGroups(m), QStringList({"", "Бояна", "бояна", "Център"}));
        QCOMPARE(m.rowCount(m.index(3, 0)), 2);
        QVERIFY(m.isGroup(m.index(0, 0)));
        QVERIFY(!m.isGroup(m.index(0, 0, m.index(0, 0))));
        QCOMPARE(m.index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(),
                 QGuiApplication::palette().color(QPalette::ToolTipBase));
    }

    void formats_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::newRow("money with thousands") << 2 << 4 << "1 234.50";
        QTest::newRow("money millions") << 5 << 6 << "1 000 000.05";
        QTest::newRow("money small") << 3 << 4 << "0.10";
        QTest::newRow("true check") << 2 << 5 << "Да";
        QTest::newRow("false check") << 1 << 5 << "Не";
        QTest::newRow("date value") << 1 << 3 << "01.03.2005";
        QTest::newRow("date as ISO text") << 2 << 3 << "31.03.2005";
        QTest::newRow("integer") << 2 << 1 << "7";
        QTest::newRow("unknown shop") << 3 << 0 << "";
    }
    void formats() {
        QFETCH(int, id);
        QFETCH(int, column);
        QFETCH(QString, text);
        GridTableModel table;
        fill(table, sample());
        GroupingModel m;
        m.setColumns(columns());
        m.setSourceModel(&table);
        const QModelIndex idx = m.indexForSourceRow(id - 1, column);
        QCOMPARE(m.sourceRow(idx), id - 1);
        QCOMPARE(idx.data().toString(), text);
    }

    void sumsInWholeStotinki() {
        GridTableModel table;
        fill(table, sample());
        GroupingModel m;
        m.setColumns(columns());
        m.setSourceModel(&table);
        QList<GroupingModel::GroupSummary> seen;
        m.setSummaryText([&seen](const GroupingModel::GroupSummary& s) {
            seen << s;
            if (s.summaryGroup != QLatin1String("sums"))
                return QString();
            return QStringLiteral("изк %1, прод %2").arg(s.sums[4]).arg(s.sums[6]);
        });
        m.setGroupColumns({0});
        // 100.10 + 1234.50 + 0.10 + 0.20 + 1000000.00
        QCOMPARE(m.footerSum(4), qint64(100133490));
        QCOMPARE(m.footerText(4), QStringLiteral("1 001 334.90"));
        QCOMPARE(m.footerText(6), QStringLiteral("1 002 150.55"));
        QCOMPARE(m.footerText(1), QString()); // no footer sum there
        const QModelIndex centre = m.index(3, 0);
        QCOMPARE(centre.data(GroupingModel::GroupSummaryRole).toString(), QStringLiteral("изк 10030, прод 15030"));
        QCOMPARE(m.groupText(centre), QStringLiteral("Магазин: Център   (изк 10030, прод 15030)"));
        QCOMPARE(m.index(0, 0).data(GroupingModel::GroupSummaryRole).toString(), QStringLiteral("изк 10, прод 20"));

        // Detached: the group rows keep their names and lose their sums.
        m.setColumnSummaryGroup(0, QString());
        QCOMPARE(m.groupText(m.index(3, 0)), QStringLiteral("Магазин: Център"));
        m.setColumnSummaryGroup(0, QStringLiteral("sums"));
        QCOMPARE(m.groupText(m.index(3, 0)), QStringLiteral("Магазин: Център   (изк 10030, прод 15030)"));
    }

    void onlyGroupableColumnsGroup() {
        GridTableModel table;
        fill(table, sample());
        GroupingModel m;
        m.setColumns(columns());
        m.setSourceModel(&table);
        QVERIFY(m.canGroupBy(0));
        QVERIFY(!m.canGroupBy(4));
        QVERIFY(!m.canGroupBy(42));
        m.setGroupColumns({4, 1, 7});
        QCOMPARE(m.groupColumns(), QList<int>({7}));
    }

    void nestedGroups() {
        GridTableModel table;
        fill(table, sample());
        GroupingModel m;
        m.setColumns(columns());
        m.setSourceModel(&table);
        m.setGroupColumns({0, 5});
        const QModelIndex centre = m.index(3, 0);
        QCOMPARE(m.rowCount(centre), 2);
        QCOMPARE(m.index(0, 0, centre).data(GroupingModel::GroupValueRole).toString(), QStringLiteral("Не"));
        QCOMPARE(m.index(0, 0, centre).data(GroupingModel::GroupLevelRole).toInt(), 1);
        QCOMPARE(m.groupCount(), 4 + 5);
        // Every source row is reachable and comes back to itself.
        for (int r = 0; r < 5; ++r)
            QCOMPARE(m.sourceRow(m.indexForSourceRow(r)), r);
        QCOMPARE(m.indexForSourceRow(0).parent().parent(), centre);
    }

    void sorting_data() {
        QTest::addColumn<QList<int>>("groups");
        QTest::addColumn<QList<int>>("keys"); // column, +1 ascending / -1 descending, ...
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("source order") << QList<int>{} << QList<int>{} << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("contract ascending") << QList<int>{} << QList<int>{1, 1} << QList<int>{3, 4, 1, 2, 5};
        QTest::newRow("contract descending") << QList<int>{} << QList<int>{1, -1} << QList<int>{5, 2, 1, 4, 3};
        QTest::newRow("date, as dates") << QList<int>{} << QList<int>{3, 1} << QList<int>{5, 3, 1, 4, 2};
        QTest::newRow("text ignores case") << QList<int>{} << QList<int>{2, 1} << QList<int>{4, 1, 3, 2, 5};
        QTest::newRow("paid then sale price") << QList<int>{} << QList<int>{5, 1, 6, -1} << QList<int>{5, 1, 3, 2, 4};
        QTest::newRow("inside shop groups") << QList<int>{0} << QList<int>{1, 1} << QList<int>{3, 2, 5, 4, 1};
        QTest::newRow("groups descending") << QList<int>{0} << QList<int>{0, -1} << QList<int>{1, 4, 5, 2, 3};
    }
    void sorting() {
        QFETCH(QList<int>, groups);
        QFETCH(QList<int>, keys);
        QFETCH(QList<int>, ids);
        GridTableModel table;
        fill(table, sample());
        GroupingModel m;
        m.setColumns(columns());
        m.setSourceModel(&table);
        m.setGroupColumns(groups);
        QList<GroupingModel::SortKey> sk;
        for (int i = 0; i + 1 < keys.size(); i += 2)
            sk.append({keys[i], keys[i + 1] > 0 ? Qt::AscendingOrder : Qt::DescendingOrder});
        m.setSortKeys(sk);
        QCOMPARE(idsInOrder(m), ids);
    }

    void followsItsSource() {
        GridTableModel table;
        GroupingModel m;
        m.setColumns(columns());
        m.setSourceModel(&table);
        m.setGroupColumns({0});
        QCOMPARE(m.rowCount(), 0);
        QCOMPARE(m.footerText(4), QStringLiteral("0.00"));
        fill(table, sample());
        QCOMPARE(m.rowCount(), 4);
        table.clear();
        QCOMPARE(m.rowCount(), 0);
        QCOMPARE(m.dataRowCount(), 0);
    }

    // Rows inserted, changed and removed one at a time change the tree in
    // place (no reset), and it then equals the tree built anew from the same
    // rows: groups made and dropped, rows moved between groups and within
    // their sort, sums; nested groups and a sort key with ties.
    void changesInPlaceEqualARebuild_data() {
        QTest::addColumn<QList<int>>("groups");
        QTest::addColumn<int>("sortColumn");
        QTest::newRow("by shop") << QList<int>{0} << -1;
        QTest::newRow("by shop, then paid; by sale price") << QList<int>{0, 5} << 6;
        QTest::newRow("ungrouped, by paid") << QList<int>{} << 5;
        QTest::newRow("by paid, descending art") << QList<int>{5} << -2;
    }
    void changesInPlaceEqualARebuild() {
        QFETCH(QList<int>, groups);
        QFETCH(int, sortColumn);
        GridTableModel table;
        GroupingModel live;
        live.setColumns(columns());
        live.setKeyField(fId);
        live.setSourceModel(&table);
        live.setGroupColumns(groups);
        if (sortColumn != -1)
            live.setSortKeys({{qAbs(sortColumn), sortColumn < 0 ? Qt::DescendingOrder : Qt::AscendingOrder}});
        fill(table, sample());
        QAbstractItemModelTester tester(&live, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&live, &QAbstractItemModel::modelReset);

        auto describe = [](GroupingModel& m) {
            QStringList out;
            std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
                for (int r = 0; r < m.rowCount(parent); ++r) {
                    const QModelIndex idx = m.index(r, 0, parent);
                    if (m.isGroup(idx)) {
                        out << QStringLiteral("group ") + m.groupText(idx) +
                                   QStringLiteral(" %1").arg(idx.data(GroupingModel::GroupSummaryRole).toString());
                        walk(idx);
                    } else {
                        QStringList cells;
                        for (int c = 0; c < m.columnCount(); ++c)
                            cells << m.data(idx.siblingAtColumn(c)).toString();
                        out << cells.join(QLatin1Char('|'));
                        if (m.indexForSourceRow(m.sourceRow(idx)) != idx)
                            out << QStringLiteral("index for the source row differs");
                    }
                }
            };
            walk(QModelIndex());
            out << m.footerText(4) + QLatin1Char('|') + m.footerText(6);
            return out;
        };
        const QStringList shops = {"Център", "Бояна", "Младост", QString()};
        QRandomGenerator rng(7);
        int nextId = 100;
        auto randomRow = [&](int id) {
            return QVector<QVariant>{id,
                                     shops[rng.bounded(int(shops.size()))],
                                     rng.bounded(20),
                                     QStringLiteral("Уред %1").arg(rng.bounded(5)),
                                     QDate(2005, 3, 1 + rng.bounded(28)),
                                     rng.bounded(1000) / 10.0,
                                     rng.bounded(2),
                                     rng.bounded(3000) / 10.0,
                                     rng.bounded(2)};
        };
        for (int step = 0; step < 300; ++step) {
            const int kind = rng.bounded(3);
            if (kind == 0 || table.rowCount() < 2)
                table.appendRow(randomRow(nextId++));
            else if (kind == 1) {
                const int r = rng.bounded(table.rowCount());
                table.setRow(r, randomRow(table.value(r, fId).toInt()));
            } else {
                table.removeRow(rng.bounded(table.rowCount()));
            }
            QVector<QVariant> values;
            for (int r = 0; r < table.rowCount(); ++r)
                for (int c = 0; c < table.columnCount(); ++c)
                    values << table.value(r, c);
            // The same rows in the other order: the key field orders ties alike.
            QVector<QVariant> reversed;
            for (int r = table.rowCount() - 1; r >= 0; --r)
                reversed << values.mid(qsizetype(r) * table.columnCount(), table.columnCount());
            GridTableModel copy;
            copy.reset(table.columnNames(), reversed);
            GroupingModel anew;
            anew.setColumns(columns());
            anew.setKeyField(fId);
            anew.setSourceModel(&copy);
            anew.setGroupColumns(groups);
            if (sortColumn != -1)
                anew.setSortKeys({{qAbs(sortColumn), sortColumn < 0 ? Qt::DescendingOrder : Qt::AscendingOrder}});
            const QStringList a = describe(live), b = describe(anew);
            if (a != b)
                qWarning() << "step" << step << a << b;
            QCOMPARE(a, b);
            QCOMPARE(live.dataRowCount(), table.rowCount());
        }
        QCOMPARE(resets.count(), 0);
    }
};

QTEST_MAIN(TestGroupingModel)
#include "TestGroupingModel.moc"
