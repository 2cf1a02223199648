#include "editorlogic.h"
#include "hostlistcontrol.h"
#include "hostlistmodel.h"
#include "hosttable.h"
#include "lmhostsdocument.h"
#include "nulldialog.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace
{

HostTable TableOf(const QStringList& hostnames)
{
    HostTable table;
    for (const QString& name : hostnames) {
        HostEntry e;
        e.hostname = name.toStdString();
        table.append(e);
    }
    return table;
}

QList<int> EntriesInRowOrder(const HostListControl& list)
{
    QList<int> entries;
    for (int row = 0; row < list.rowCount(); ++row)
        entries.append(list.entryIndexOfRow(row));
    return entries;
}

} // namespace

class TestHostListModel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void warningsShowInTheRows();
    void cleanup();

    void columns();
    void cells_data();
    void cells();
    void sortOrder_data();
    void sortOrder();
    void largeTableOrderAgreesWithComparison();
    void insertRow_data();
    void insertRow();
    void showEntryInRowKeepsPosition();
    void emptyTableGivesEmptyList();
    void selection();
    void refillClearsSelectionSilently();

private:
    HostTable table_; // what the list shows
    std::unique_ptr<HostListControl> list_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

void TestHostListModel::init()
{
    table_ = HostTable();
    list_ = std::make_unique<HostListControl>(table_);
    tester_ = std::make_unique<QAbstractItemModelTester>(
        list_->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    NullDialog dialog;
    EditorLogic(table_, *list_, dialog).InsertListColumns();
}

void TestHostListModel::cleanup()
{
    tester_.reset();
    list_.reset();
}

void TestHostListModel::columns()
{
    const HostListModel& model = *list_->model();
    QCOMPARE(model.columnCount(), 5);
    const QStringList titles = {"Hostname", "Domain", "IP Adress", "Preload", "Comment"};
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), titles[c]);
        QCOMPARE(model.columnWidth(c), 100);
        const auto alignment =
            model.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
            Qt::AlignHorizontal_Mask;
        QCOMPARE(alignment, c == 3 ? Qt::AlignHCenter : Qt::AlignLeft);
    }
}

void TestHostListModel::cells_data()
{
    QTest::addColumn<HostEntry>("entry");
    QTest::addColumn<QStringList>("texts");

    HostEntry e;
    e.hostname = "server1";
    e.domain = "WORKGROUP";
    e.octet1 = 10;
    e.octet4 = 1;
    e.comment = "file server";
    QTest::newRow("plain") << e
                           << QStringList{"server1", "WORKGROUP", "10.0.0.1", "no", "file server"};
    e.preload = true;
    QTest::newRow("preload") << e
                             << QStringList{"server1", "WORKGROUP", "10.0.0.1", "yes",
                                            "file server"};
    e.octet1 = 300;
    e.octet2 = 1;
    e.octet3 = 1;
    QTest::newRow("octet beyond 255 as read")
        << e << QStringList{"server1", "WORKGROUP", "300.1.1.1", "yes", "file server"};
    e.octet1 = -1;
    e.octet4 = 2147483647;
    QTest::newRow("negative and largest")
        << e << QStringList{"server1", "WORKGROUP", "-1.1.1.2147483647", "yes", "file server"};
    QTest::newRow("empty entry") << HostEntry{} << QStringList{"", "", "0.0.0.0", "no", ""};
    HostEntry ansi;
    ansi.hostname = "caf\xE9";
    ansi.comment = "\x80 5";
    QTest::newRow("Windows-1252 bytes")
        << ansi << QStringList{u"caf\u00e9"_qs, "", "0.0.0.0", "no", u"\u20ac 5"_qs};
}

void TestHostListModel::cells()
{
    QFETCH(HostEntry, entry);
    QFETCH(QStringList, texts);
    HostTable& table = table_;
    table.append(HostEntry{});
    table.append(entry);
    list_->refill();
    const int row = list_->rowOfEntry(1);
    QVERIFY(row >= 0);
    const HostListModel& model = *list_->model();
    for (int c = 0; c < 5; ++c)
        QCOMPARE(model.data(model.index(row, c)).toString(), texts[c]);
    QCOMPARE(model.data(model.index(row, 2), Qt::UserRole).toInt(), 1);
}

void TestHostListModel::sortOrder_data()
{
    QTest::addColumn<QStringList>("hostnames");
    QTest::addColumn<QList<int>>("rowEntries");

    QTest::newRow("reverse file order")
        << QStringList{"charlie", "bravo", "alpha"} << QList<int>{2, 1, 0};
    QTest::newRow("case-insensitive") << QStringList{"b", "A", "c", "B"} << QList<int>{1, 0, 3, 2};
    QTest::newRow("numbers by value")
        << QStringList{"host10", "host2", "host1", "HOST3"} << QList<int>{2, 1, 3, 0};
    QTest::newRow("equal keys keep table order")
        << QStringList{"x", "X", "a", "x"} << QList<int>{2, 0, 1, 3};
    QTest::newRow("empty name first") << QStringList{"b", "", "a"} << QList<int>{1, 2, 0};
    QTest::newRow("one entry") << QStringList{"only"} << QList<int>{0};
    QTest::newRow("already sorted") << QStringList{"a", "b", "c"} << QList<int>{0, 1, 2};
}

void TestHostListModel::sortOrder()
{
    QFETCH(QStringList, hostnames);
    QFETCH(QList<int>, rowEntries);
    table_ = TableOf(hostnames);
    list_->refill();
    QCOMPARE(EntriesInRowOrder(*list_), rowEntries);
    for (int row = 0; row < list_->rowCount(); ++row) {
        const int entry = list_->entryIndexOfRow(row);
        // Each row leads to its own entry, in both directions.
        QCOMPARE(list_->model()->cellText(row, 0), hostnames[entry]);
        QCOMPARE(list_->rowOfEntry(entry), row);
    }
}

// Large tables make their sort keys on two threads; the order they give must be
// the one that row insertion's text comparison sees.
void TestHostListModel::largeTableOrderAgreesWithComparison()
{
    QStringList names;
    const QStringList stems = {"host", "Host", "pc-", "PC_", "srv", "Zeta", "\u00e4rger", "a"};
    for (int i = 0; i < 30000; ++i)
        names.append(stems[(i * 7) % stems.size()] + QString::number((i * 7919) % 997));
    table_ = TableOf(names);
    list_->refill();
    QCOMPARE(list_->rowCount(), names.size());

    const HostCollator collator{QLocale()};
    for (int row = 1; row < list_->rowCount(); ++row) {
        const QString first = list_->model()->cellText(row - 1, 0);
        const QString second = list_->model()->cellText(row, 0);
        const int c = collator.compare(first, second);
        const bool tableOrder = list_->entryIndexOfRow(row - 1) < list_->entryIndexOfRow(row);
        if (c > 0 || (c == 0 && !tableOrder))
            QFAIL(qPrintable(QStringLiteral("rows %1 and %2 out of order: %3, %4")
                                 .arg(row - 1)
                                 .arg(row)
                                 .arg(first, second)));
    }
}

void TestHostListModel::insertRow_data()
{
    QTest::addColumn<QStringList>("hostnames");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");

    QTest::newRow("empty list") << QStringList{} << "?????" << 0;
    QTest::newRow("between") << QStringList{"c", "a"} << "b" << 1;
    QTest::newRow("at the end") << QStringList{"a", "b"} << "z" << 2;
    QTest::newRow("after equal keys") << QStringList{"b", "a", "B"} << "b" << 3;
    QTest::newRow("placeholder before letters") << QStringList{"a", "b"} << "?????" << 0;
    QTest::newRow("numbers by value") << QStringList{"h1", "h10"} << "h2" << 1;
}

void TestHostListModel::insertRow()
{
    QFETCH(QStringList, hostnames);
    QFETCH(QString, text);
    QFETCH(int, position);
    table_ = TableOf(hostnames);
    HostTable& table = table_;
    list_->refill();
    const int entry = table.append(HostEntry{});

    QCOMPARE(list_->insertRow(0, text, entry), position);
    QCOMPARE(list_->rowCount(), hostnames.size() + 1);
    QCOMPARE(list_->entryIndexOfRow(position), entry);
    const HostListModel& model = *list_->model();
    QCOMPARE(model.cellText(position, 0), text);
    for (int c = 1; c < 5; ++c)
        QVERIFY(model.cellText(position, c).isEmpty());
    // Rows pushed down still lead to their entries.
    for (int row = 0; row < list_->rowCount(); ++row)
        QCOMPARE(list_->rowOfEntry(list_->entryIndexOfRow(row)), row);
}

void TestHostListModel::showEntryInRowKeepsPosition()
{
    table_ = TableOf({"alpha", "bravo", "charlie"});
    HostTable& table = table_;
    list_->refill();
    QSignalSpy changed(list_->model(), &QAbstractItemModel::dataChanged);

    table.at(0).hostname = "zulu";
    table.at(0).preload = true;
    list_->showEntryInRow(0, 0);

    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].value<QModelIndex>(), list_->model()->index(0, 0));
    QCOMPARE(changed[0][1].value<QModelIndex>(), list_->model()->index(0, 4));
    QCOMPARE(list_->model()->cellText(0, 0), QString("zulu"));
    QCOMPARE(list_->model()->cellText(0, 3), QString("yes"));
    QCOMPARE(EntriesInRowOrder(*list_), (QList<int>{0, 1, 2}));

    list_->refill();
    QCOMPARE(EntriesInRowOrder(*list_), (QList<int>{1, 2, 0}));
}

void TestHostListModel::emptyTableGivesEmptyList()
{
    table_ = TableOf({"a", "b"});
    list_->refill();
    list_->setSelected(1, true);
    table_ = HostTable();
    list_->refill();
    QCOMPARE(list_->rowCount(), 0);
    QCOMPARE(list_->firstSelectedRow(), -1);
    QCOMPARE(list_->rowOfEntry(0), -1);
    QCOMPARE(list_->entryIndexOfRow(0), -1);
}

void TestHostListModel::selection()
{
    table_ = TableOf({"a", "b", "c"});
    list_->refill();
    QItemSelectionModel* selection = list_->selectionModel();
    int events = 0;
    int selectedDuringEvent = -2;
    QObject::connect(selection, &QItemSelectionModel::selectionChanged, selection, [&] {
        ++events;
        selectedDuringEvent = list_->firstSelectedRow();
    });

    struct Step {
        int row;
        bool select;
        int events;        // notifications raised by the step
        int firstSelected; // afterwards
    };
    const Step steps[] = {
        {1, true, 1, 1},   // select
        {1, true, 0, 1},   // already selected: no change, no notification
        {2, true, 1, 2},   // single selection: row 1 loses it in the same notification
        {0, false, 0, 2},  // deselecting an unselected row changes nothing
        {2, false, 1, -1}, // deselect
        {5, true, 0, -1},  // no such row
    };
    for (const Step& step : steps) {
        const int before = events;
        list_->setSelected(step.row, step.select);
        QCOMPARE(events - before, step.events);
        const int expected = step.firstSelected;
        QCOMPARE(list_->firstSelectedRow(), expected);
        if (step.events > 0)
            QCOMPARE(selectedDuringEvent, expected);
        QCOMPARE(selection->selectedRows().size(), expected == -1 ? 0 : 1);
    }
}

void TestHostListModel::refillClearsSelectionSilently()
{
    table_ = TableOf({"a", "b"});
    list_->refill();
    list_->setSelected(1, true);
    QSignalSpy spy(list_->selectionModel(), &QItemSelectionModel::selectionChanged);
    list_->refill();
    QCOMPARE(list_->firstSelectedRow(), -1);
    QCOMPARE(spy.size(), 0);
}

// The icon role and the tooltip follow the warnings, also for the other entry
// of a name when one of the two is edited.
void TestHostListModel::warningsShowInTheRows()
{
    HostTable& table = table_;
    ReadHostTable(std::string_view("10.0.0.1 alpha #MH #first\r\n"
                                   "10.0.0.2 bravo #DOM:WORK\r\n"
                                   "10.0.0.3 charlie\r\n"),
                  table);
    list_->refill();
    const HostListModel& model = *list_->model();
    auto warned = [&](int entry) {
        return model.data(model.index(list_->rowOfEntry(entry), 0), HostListModel::kWarningRole)
            .toBool();
    };
    auto tip = [&](int entry) {
        return model.data(model.index(list_->rowOfEntry(entry), 2), Qt::ToolTipRole).toString();
    };
    QCOMPARE(warned(0), false);
    QCOMPARE(tip(0), QString("Also on its line: #MH #first"));
    QCOMPARE(warned(1), true);
    QVERIFY(tip(1).contains("#DOM: needs #PRE"));
    QCOMPARE(warned(2), false);
    QCOMPARE(tip(2), QString());

    // charlie becomes a second alpha: both rows change, though only one is rewritten.
    QSignalSpy changed(list_->model(), &QAbstractItemModel::dataChanged);
    table.at(2).hostname = "ALPHA";
    list_->showEntryInRow(list_->rowOfEntry(2), 2);
    QCOMPARE(warned(0), true);
    QCOMPARE(warned(2), true);
    QVERIFY(tip(2).contains("Windows never uses this entry"));
    QVERIFY(tip(0).startsWith("The entry with the address 10.0.0.3"));
    QVERIFY(tip(0).endsWith("Also on its line: #MH #first"));
    QCOMPARE(changed.size(), 2);
    QCOMPARE(changed[1][0].value<QModelIndex>().row(), list_->rowOfEntry(0));
}

QTEST_GUILESS_MAIN(TestHostListModel)
#include "tst_hostlistmodel.moc"
