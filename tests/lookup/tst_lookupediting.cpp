// The looked-up name and the editing logic: the name reaches the entry only through a
// later store, never through the lookup itself.
#include "editorlogic.h"
#include "hostlistmodel.h"
#include "lookup.h"

#include <QTest>

namespace
{

// Entry controls that hold exactly what the field buffer last showed; every value is valid.
class PlainDialog : public EditorDialogOps
{
public:
    EditorLogic* logic = nullptr;
    HostEntry controls;

    void TransferToControls() override { controls = logic->fields(); }
    bool TransferFromControls() override
    {
        logic->fields() = controls;
        return true;
    }
    void EnableControl(ControlId, bool) override {}
    void FocusControl(ControlId) override {}
    bool AskYesNo(const QString&) override { return false; }
};

class AnswerResolver : public NameResolver
{
public:
    bool Prepare() override { return true; }
    LookupResult ReverseLookup(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override
    {
        return {LookupStatus::Found, "looked.up"};
    }
};

HostEntry Entry(std::string hostname, std::int32_t last)
{
    HostEntry e;
    e.hostname = std::move(hostname);
    e.octet1 = 10;
    e.octet4 = last;
    return e;
}

} // namespace

class TestLookupEditing : public QObject
{
    Q_OBJECT

private slots:
    void nameReachesEntryOnlyThroughStore_data();
    void nameReachesEntryOnlyThroughStore();
};

void TestLookupEditing::nameReachesEntryOnlyThroughStore_data()
{
    QTest::addColumn<bool>("typeBefore");   // a comment typed before the lookup
    QTest::addColumn<QString>("afterward"); // "other row", "comment", "save"
    QTest::addColumn<QString>("expectedName");
    QTest::addColumn<QString>("expectedComment");

    QTest::newRow("unchanged entry, other row") << false << "other row"
                                                << "alpha"
                                                << "";
    QTest::newRow("unchanged entry, save") << false << "save"
                                           << "alpha"
                                           << "";
    QTest::newRow("unchanged entry, then comment") << false << "comment"
                                                   << "looked-up"
                                                   << "c";
    QTest::newRow("pending change, other row") << true << "other row"
                                               << "looked-up"
                                               << "b";
    QTest::newRow("pending change, save") << true << "save"
                                          << "looked-up"
                                          << "b";
}

void TestLookupEditing::nameReachesEntryOnlyThroughStore()
{
    QFETCH(bool, typeBefore);
    QFETCH(QString, afterward);
    QFETCH(QString, expectedName);
    QFETCH(QString, expectedComment);

    HostListControl list;
    PlainDialog dialog;
    EditorLogic logic(list, dialog);
    dialog.logic = &logic;
    QObject::connect(list.selectionModel(), &QItemSelectionModel::selectionChanged, list.model(),
                     [&] { logic.OnListEvent(); });
    const auto click = [&](int row) {
        list.selectionModel()->select(list.model()->index(row, 0),
                                      QItemSelectionModel::ClearAndSelect |
                                          QItemSelectionModel::Rows);
        logic.OnListEvent();
    };

    // The window opening on two entries, then the user picking "alpha".
    logic.InsertListColumns();
    logic.table().append(Entry("alpha", 1));
    logic.table().append(Entry("beta", 2));
    logic.ShowEntry(0);
    logic.RefillList();
    logic.setCurrent(-1, -1);
    click(0);
    QCOMPARE(logic.currentEntry(), 0);

    if (typeBefore) {
        dialog.controls.comment = "b";
        logic.OnFieldChanged();
    }
    const bool modifiedBefore = logic.modified();

    AnswerResolver resolver;
    RunLookup(dialog, logic.fields(), resolver,
              [](const QString& text) { QFAIL(qPrintable("unexpected message: " + text)); });
    QCOMPARE(dialog.controls.hostname, std::string("looked-up"));
    QCOMPARE(logic.modified(), modifiedBefore);
    QCOMPARE(logic.table().at(0).hostname, std::string("alpha"));
    QCOMPARE(list.model()->cellText(list.rowOfEntry(0), 0), QString("alpha"));

    if (afterward == "other row") {
        click(list.rowOfEntry(1));
    } else if (afterward == "comment") {
        dialog.controls.comment = "c";
        logic.OnFieldChanged();
    } else {
        logic.SyncSelection(); // what Save & Exit does before writing
    }

    QCOMPARE(QString::fromStdString(logic.table().at(0).hostname), expectedName);
    QCOMPARE(QString::fromStdString(logic.table().at(0).comment), expectedComment);
    QCOMPARE(logic.table().at(1).hostname, std::string("beta"));
}

QTEST_MAIN(TestLookupEditing)
#include "tst_lookupediting.moc"
