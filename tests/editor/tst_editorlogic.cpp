#include "editorlogic.h"
#include "fakedialog.h"
#include "hostlistcontrol.h"
#include "hostlistmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <functional>
#include <map>
#include <memory>

namespace
{

HostEntry Named(std::string hostname)
{
    HostEntry e;
    e.hostname = std::move(hostname);
    return e;
}

QString Text(const std::string& bytes)
{
    return QString::fromStdString(bytes);
}

// hostname, then the other fields only when one of them is set.
QString Describe(const HostEntry& e)
{
    if (e == Named(e.hostname))
        return Text(e.hostname);
    return QStringLiteral("%1|%2|%3.%4.%5.%6|%7|%8")
        .arg(Text(e.hostname), Text(e.domain))
        .arg(e.octet1)
        .arg(e.octet2)
        .arg(e.octet3)
        .arg(e.octet4)
        .arg(e.preload ? "pre" : "")
        .arg(Text(e.comment));
}

// A stand-in list with the control's own behaviour: rows keep the texts written
// into them, a row is placed when it is inserted (case-insensitive order, after
// equal texts), and every change of the selection calls back at once.
class FakeList : public HostList
{
public:
    explicit FakeList(const HostTable& table) : table_(table) {}

    struct Row {
        QString texts[5];
        int entry;
    };

    std::function<void()> itemChanged;
    std::vector<Row> rows;
    int selected = -1;
    int refills = 0;

    void insertColumn(int, const QString&, int, Qt::Alignment) override {}

    void refill() override
    {
        ++refills;
        rows.clear();
        selected = -1;
        for (int i = 0; i < table_.size(); ++i)
            showEntryInRow(insertRow(i, Text(table_.at(i).hostname), i), i);
    }

    int insertRow(int, const QString& text, int entryIndex) override
    {
        int pos = 0;
        while (pos < rowCount() &&
               QString::compare(rows[pos].texts[0], text, Qt::CaseInsensitive) <= 0)
            ++pos;
        rows.insert(rows.begin() + pos, Row{{text}, entryIndex});
        if (selected >= pos)
            ++selected;
        return pos;
    }

    void showEntryInRow(int row, int entryIndex) override
    {
        const HostEntry& e = table_.at(entryIndex);
        rows[row] = Row{
            {Text(e.hostname), Text(e.domain),
             QStringLiteral("%1.%2.%3.%4").arg(e.octet1).arg(e.octet2).arg(e.octet3).arg(e.octet4),
             e.preload ? "yes" : "no", Text(e.comment)},
            rows[row].entry};
    }

    int rowCount() const override { return static_cast<int>(rows.size()); }
    int entryIndexOfRow(int row) const override { return rows.at(row).entry; }
    int rowOfEntry(int entryIndex) const override
    {
        for (int r = 0; r < rowCount(); ++r) {
            if (rows[r].entry == entryIndex)
                return r;
        }
        return -1;
    }

    void setSelected(int row, bool select) override
    {
        if (row < 0 || row >= rowCount())
            return;
        if (select && selected != row)
            selected = row;
        else if (!select && selected == row)
            selected = -1;
        else
            return;
        itemChanged();
    }

    int firstSelectedRow() const override { return selected; }

private:
    const HostTable& table_;
};

// One editor (logic + fake dialog) over either list, as the window wires it.
class Editor
{
public:
    explicit Editor(bool realList)
    {
        if (realList) {
            real_ = std::make_unique<HostListControl>(table_);
            list_ = real_.get();
            tester_ = std::make_unique<QAbstractItemModelTester>(
                real_->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        } else {
            fake_ = std::make_unique<FakeList>(table_);
            list_ = fake_.get();
        }
        logic_ = std::make_unique<EditorLogic>(table_, *list_, dialog);
        dialog.logic = logic_.get();
        if (real_) {
            QObject::connect(real_->selectionModel(), &QItemSelectionModel::selectionChanged,
                             real_->model(), [this] { logic_->OnListEvent(); });
            QObject::connect(real_->model(), &QAbstractItemModel::modelReset, real_->model(),
                             [this] { ++realRefills_; });
        } else {
            fake_->itemChanged = [this] {
                logic_->OnListEvent();
            };
        }
    }

    EditorLogic& logic() { return *logic_; }
    HostList& list() { return *list_; }

    // What the window does when it opens on a file with these entries.
    void open(const QStringList& hostnames)
    {
        logic_->InsertListColumns();
        for (const QString& name : hostnames)
            logic_->table().append(Named(name.toStdString()));
        logic_->ShowLoadedTable();
        refillsAtStart_ = refills();
    }

    // A user click: on a row (selecting it) or on the empty part of the list.
    void click(int row)
    {
        if (row >= 0) {
            if (real_)
                real_->selectionModel()->select(real_->model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
            else
                fake_->setSelected(row, true);
        }
        logic_->OnListEvent(); // the click notification itself
    }

    void type(const QString& control, const QString& value)
    {
        auto& c = dialog.controls;
        const std::map<QString, QString*> texts = {
            {"host", &c.hostname}, {"o1", &c.octet1},     {"o2", &c.octet2},      {"o3", &c.octet3},
            {"o4", &c.octet4},     {"domain", &c.domain}, {"comment", &c.comment}};
        if (control == "preload")
            c.preload = value == "1";
        else
            *texts.at(control) = value;
        logic_->OnFieldChanged();
    }

    // Runs "click 1; type host abc; new; delete yes; sync" style scripts.
    void run(const QString& script)
    {
        for (const QString& step : script.split(';', Qt::SkipEmptyParts)) {
            const QStringList words = step.trimmed().split(' ');
            const QString& verb = words[0];
            if (verb == "click")
                click(words.size() > 1 ? words[1].toInt() : -1);
            else if (verb == "type")
                type(words[1], words.mid(2).join(' '));
            else if (verb == "new")
                logic_->OnNewEntry();
            else if (verb == "delete") {
                dialog.answer = words[1] == "yes";
                logic_->OnDeleteEntry();
            } else if (verb == "sync")
                logic_->SyncSelection();
            else
                QFAIL(qPrintable("unknown step " + step));
        }
    }

    int refills() const { return (real_ ? realRefills_ : fake_->refills) - refillsAtStart_; }

    QString cell(int row, int column) const
    {
        return real_ ? real_->model()->cellText(row, column) : fake_->rows.at(row).texts[column];
    }

    // "first column text:entry index" per row.
    QStringList rows() const
    {
        QStringList result;
        for (int row = 0; row < list_->rowCount(); ++row)
            result << cell(row, 0) + ':' + QString::number(list_->entryIndexOfRow(row));
        return result;
    }

    QStringList tableEntries()
    {
        QStringList result;
        for (int i = 0; i < logic_->table().size(); ++i)
            result << Describe(logic_->table().at(i));
        return result;
    }

    FakeDialog dialog;

private:
    HostTable table_;
    std::unique_ptr<FakeList> fake_;
    std::unique_ptr<HostListControl> real_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
    HostList* list_ = nullptr;
    std::unique_ptr<EditorLogic> logic_;
    int realRefills_ = 0;
    int refillsAtStart_ = 0;
};

const ControlId kEntryControls[] = {IdHostname, IdDomain,  IdOctet1,  IdOctet2, IdOctet3,
                                    IdOctet4,   IdPreload, IdComment, IdDelete, IdLookup};

// The ids of the enabled controls, in id order.
QStringList Enabled(const std::map<ControlId, bool>& enabled)
{
    QStringList result;
    for (const auto& [id, on] : enabled) {
        if (on)
            result << QString::number(id);
    }
    return result;
}

QStringList EntryControlIds()
{
    QStringList result;
    std::map<ControlId, bool> all;
    for (ControlId id : kEntryControls)
        all[id] = true;
    return Enabled(all);
}

} // namespace

class TestEditorLogic : public QObject
{
    Q_OBJECT
private slots:
    void scenarios_data();
    void scenarios();
    void editRewritesWholeRowInPlace_data();
    void editRewritesWholeRowInPlace();
    void enableEntryControls();
    void newEntryIsReadyToType();
    void deleteYesClearsTheEditing();
    void deleteAsksWithHostname();
    void showEntryOutOfRangeKeepsTheFields();
    void listNeverBuiltIsBuiltOnSync();
};

void TestEditorLogic::scenarios_data()
{
    QTest::addColumn<bool>("realList");
    QTest::addColumn<QStringList>("file");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("table"); // entries in table order
    QTest::addColumn<QStringList>("rows");  // "text:entry" in row order
    QTest::addColumn<QString>("current");   // "row,entry"
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("refills");
    QTest::addColumn<QString>("fields");
    QTest::addColumn<bool>("controlsEnabled");

    struct Scenario {
        const char* name;
        QStringList file;
        const char* script;
        QStringList table;
        QStringList rows;
        const char* current;
        bool modified;
        int selected;
        int refills;
        const char* fields;
        bool controlsEnabled;
    };
    // clang-format off
    // name,
    //     file, script,
    //     table, rows, current, modified, selected, refills, fields, controls enabled
    const Scenario scenarios[] = {
        {"nothing done",
            {"b", "a"}, "",
            {"b", "a"}, {"a:1", "b:0"}, "-1,-1", false, -1, 0, "b", false},
        {"empty table: click enables controls, no entry",
            {}, "click",
            {}, {}, "-1,-1", false, -1, 0, "", true},
        {"empty table: typing touches no entry or row",
            {}, "click; type host abc; click",
            {}, {}, "-1,-1", true, -1, 0, "abc", true},
        {"sync with no selection selects row 0 itself",
            {"b", "a"}, "sync",
            {"b", "a"}, {"a:1", "b:0"}, "0,1", false, 0, 0, "a", true},
        {"select, change nothing, select another: no rebuild",
            {"b", "a", "c"}, "click 0; click 2",
            {"b", "a", "c"}, {"a:1", "b:0", "c:2"}, "2,2", false, 2, 0, "c", true},
        {"edit rewrites the row in place",
            {"b", "a", "c"}, "click 0; type host zz",
            {"b", "zz", "c"}, {"zz:1", "b:0", "c:2"}, "0,1", true, 0, 0, "zz", true},
        {"edited row moves at the next sync",
            {"b", "a", "c"}, "click 0; type host zz; click 1",
            {"b", "zz", "c"}, {"b:0", "c:2", "zz:1"}, "0,0", false, 0, 1, "b", true},
        {"every keystroke goes into the same entry",
            {"b", "a"}, "click 1; type host x; type host xy; type host xyz",
            {"xyz", "a"}, {"a:1", "xyz:0"}, "1,0", true, 1, 0, "xyz", true},
        {"New on one entry",
            {"a"}, "new",
            {"a", ""}, {"?????:1", "a:0"}, "0,1", true, 0, 0, "", true},
        {"New twice: the first is committed empty",
            {"a"}, "new; new",
            {"a", "", ""}, {":1", "?????:2", "a:0"}, "1,2", true, 1, 1, "", true},
        {"New twice, then Save & Exit's sync keeps both",
            {"a"}, "new; new; sync",
            {"a", "", ""}, {":1", ":2", "a:0"}, "1,2", false, 1, 2, "", true},
        {"New while a row is selected",
            {"b", "a"}, "click 1; new",
            {"b", "a", ""}, {"?????:2", "a:1", "b:0"}, "0,2", true, 0, 0, "", true},
        {"New commits pending changes first",
            {"a"}, "click 0; type host q; new",
            {"q", ""}, {"?????:1", "q:0"}, "0,1", true, 0, 1, "", true},
        // The rebuild keeps the clicked entry selected, so the click notification
        // that follows does not fall back to row 0.
        {"New, typing, then a click on another row",
            {"b"}, "new; type host a; click 1",
            {"b", "a"}, {"a:1", "b:0"}, "1,0", false, 1, 1, "b", true},
        {"New on an empty table",
            {}, "new",
            {""}, {"?????:0"}, "0,0", true, 0, 0, "", true},
        {"New on an empty table after typing adds one entry",
            {}, "click; type host abc; new",
            {""}, {"?????:0"}, "0,0", true, 0, 0, "", true},
        {"Delete with an empty table does nothing",
            {}, "click; delete yes",
            {}, {}, "-1,-1", false, -1, 0, "", true},
        {"Delete answered No still commits pending changes",
            {"b", "a"}, "click 0; type host z; delete no",
            {"b", "z"}, {"b:0", "z:1"}, "1,1", false, 1, 1, "z", true},
        {"after Delete-No a keystroke stays on its entry",
            {"b", "a"}, "click 0; type host z; delete no; type host y",
            {"b", "y"}, {"b:0", "y:1"}, "1,1", true, 1, 1, "y", true},
        {"Delete Yes of the first entry",
            {"a", "b", "c"}, "click 0; delete yes",
            {"b", "c"}, {"b:0", "c:1"}, "-1,-1", false, -1, 1, "a", false},
        {"Delete Yes: later indices drop by one",
            {"c", "a", "b"}, "click 0; delete yes",
            {"c", "b"}, {"b:1", "c:0"}, "-1,-1", false, -1, 1, "a", false},
        {"Delete with no selection deletes row 0's entry",
            {"b", "a"}, "delete yes",
            {"b"}, {"b:0"}, "-1,-1", false, -1, 1, "a", false},
        {"Delete the last entry",
            {"a"}, "click 0; delete yes; click",
            {}, {}, "-1,-1", false, -1, 1, "a", true},
        {"octet that is no integer: the fields before it still go in",
            {"a"}, "click 0; type o1 x; type domain d; type host h",
            {"h"}, {"h:0"}, "0,0", true, 0, 0, "h", true},
        {"octet out of range is stored, later fields are not",
            {"a"}, "click 0; type o1 300; type domain d",
            {"a||300.0.0.0||"}, {"a:0"}, "0,0", true, 0, 0, "a||300.0.0.0||", true},
        {"preload and comment",
            {"a"}, "click 0; type preload 1; type comment c c",
            {"a||0.0.0.0|pre|c c"}, {"a:0"}, "0,0", true, 0, 0, "a||0.0.0.0|pre|c c", true},
    };
    // clang-format on
    for (bool realList : {false, true}) {
        for (const Scenario& s : scenarios) {
            QTest::addRow("%s: %s", realList ? "list" : "fake", s.name)
                << realList << s.file << QString(s.script) << s.table << s.rows
                << QString(s.current) << s.modified << s.selected << s.refills << QString(s.fields)
                << s.controlsEnabled;
        }
    }
}

void TestEditorLogic::scenarios()
{
    QFETCH(bool, realList);
    QFETCH(QStringList, file);
    QFETCH(QString, script);

    Editor editor(realList);
    editor.open(file);
    editor.run(script);

    EditorLogic& logic = editor.logic();
    QTEST(editor.tableEntries(), "table");
    QTEST(editor.rows(), "rows");
    QTEST(QStringLiteral("%1,%2").arg(logic.currentRow()).arg(logic.currentEntry()), "current");
    QTEST(logic.modified(), "modified");
    QTEST(editor.list().firstSelectedRow(), "selected");
    QTEST(editor.refills(), "refills");
    QTEST(Describe(logic.fields()), "fields");
    QTEST(editor.dialog.enabled[IdHostname], "controlsEnabled");
    // Whatever happened, the current row (when there is one) carries the current entry.
    if (logic.currentRow() != -1)
        QCOMPARE(editor.list().entryIndexOfRow(logic.currentRow()), logic.currentEntry());
}

void TestEditorLogic::editRewritesWholeRowInPlace_data()
{
    QTest::addColumn<bool>("realList");
    QTest::newRow("fake") << false;
    QTest::newRow("list") << true;
}

void TestEditorLogic::editRewritesWholeRowInPlace()
{
    QFETCH(bool, realList);
    Editor editor(realList);
    editor.open({"m", "a", "z"});
    editor.run("click 1; type host zzz; type o1 10; type o4 7; type domain D; type preload 1; "
               "type comment note");
    QCOMPARE(editor.rows(), (QStringList{"a:1", "zzz:0", "z:2"}));
    const QStringList expected = {"zzz", "D", "10.0.0.7", "yes", "note"};
    for (int c = 0; c < 5; ++c)
        QCOMPARE(editor.cell(1, c), expected[c]);
    // The neighbours are untouched.
    QCOMPARE(editor.cell(0, 0), QString("a"));
    QCOMPARE(editor.cell(2, 0), QString("z"));
}

void TestEditorLogic::enableEntryControls()
{
    // The entry fields, Delete and Lookup go together; New and the ways out stay as
    // they are.
    Editor editor(false);
    editor.logic().EnableEntryControls(true);
    QCOMPARE(Enabled(editor.dialog.enabled), EntryControlIds());
    QCOMPARE(editor.dialog.enabled.size(), std::size(kEntryControls));
    editor.logic().EnableEntryControls(false);
    QCOMPARE(Enabled(editor.dialog.enabled), QStringList());
    QCOMPARE(editor.dialog.enabled.size(), std::size(kEntryControls));
}

void TestEditorLogic::newEntryIsReadyToType()
{
    Editor editor(false);
    editor.open({"a"});
    editor.run("click 0; type host typed");
    editor.logic().OnNewEntry();
    // Empty fields on screen, open for typing, the cursor in the hostname.
    QCOMPARE(editor.dialog.controls.hostname, QString());
    QCOMPARE(editor.dialog.controls.octet1, QString("0"));
    QCOMPARE(Enabled(editor.dialog.enabled), EntryControlIds());
    QCOMPARE(editor.dialog.focused, IdHostname);
    QCOMPARE(editor.tableEntries(), (QStringList{"typed", ""}));
    QCOMPARE(editor.dialog.questions, QStringList());
}

void TestEditorLogic::deleteYesClearsTheEditing()
{
    Editor editor(false);
    editor.open({"a", "b"});
    editor.run("click 1; delete yes");
    QCOMPARE(editor.dialog.questions,
             QStringList{"Do you realy want to delete b from your LMHOST file?"});
    QCOMPARE(editor.tableEntries(), QStringList{"a"});
    QCOMPARE(editor.rows(), QStringList{"a:0"});
    // Nothing is being edited: no field is open, and there is nothing to delete.
    QCOMPARE(Enabled(editor.dialog.enabled), QStringList());
    QCOMPARE(editor.dialog.enabled[IdDelete], false);
    QCOMPARE(editor.logic().currentEntry(), -1);
    QCOMPARE(editor.logic().currentRow(), -1);
}

void TestEditorLogic::deleteAsksWithHostname()
{
    Editor editor(true);
    editor.open({"b", "a"});
    editor.run("click 0; type host %1 x; delete no");
    QCOMPARE(editor.dialog.questions,
             QStringList{"Do you realy want to delete %1 x from your LMHOST file?"});
}

void TestEditorLogic::showEntryOutOfRangeKeepsTheFields()
{
    Editor editor(false);
    editor.open({"a"});
    editor.logic().fields().hostname = "kept";
    for (int index : {-1, 1, 100}) {
        editor.dialog.controls.hostname = "stale";
        editor.logic().ShowEntry(index);
        // The fields stay, and the controls show them.
        QCOMPARE(Describe(editor.logic().fields()), QString("kept"));
        QCOMPARE(editor.dialog.controls.hostname, QString("kept"));
    }
}

void TestEditorLogic::listNeverBuiltIsBuiltOnSync()
{
    // A load that fails half-way leaves entries in the table and none in the list.
    Editor editor(true);
    editor.open({});
    editor.logic().table().append(Named("b"));
    editor.logic().table().append(Named("a"));
    editor.run("click");
    QCOMPARE(editor.rows(), (QStringList{"a:1", "b:0"}));
    QCOMPARE(editor.logic().currentEntry(), 1);
    QCOMPARE(Describe(editor.logic().fields()), QString("a"));
}

QTEST_GUILESS_MAIN(TestEditorLogic)
#include "tst_editorlogic.moc"
