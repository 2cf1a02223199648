// The Lookup button in the editing logic: what it reads from the controls, what it shows,
// and that the name reaches the entry only through a later store, never through the
// lookup itself.
#include "editorlogic.h"
#include "fakedialog.h"
#include "fakeresolver.h"
#include "hostlistcontrol.h"
#include "hostlistmodel.h"
#include "lookup.h"
#include "stringtable.h"

#include <QTest>

namespace
{

HostEntry Entry(std::string hostname, std::int32_t last)
{
    HostEntry e;
    e.hostname = std::move(hostname);
    e.octet1 = 10;
    e.octet4 = last;
    return e;
}

// The window's lookup step without its cursor and box; the messages it would show.
std::optional<std::string> LookUp(const HostEntry& fields, NameResolver& resolver,
                                  QList<int>& messages)
{
    LookupOutcome outcome =
        LookUpName({fields.octet1, fields.octet2, fields.octet3, fields.octet4}, resolver);
    if (outcome.found())
        return std::move(outcome.hostname);
    messages << outcome.messageId;
    return std::nullopt;
}

// The window opened on two entries, "alpha" picked.
struct Editing {
    HostTable table;
    HostListControl list{table};
    FakeDialog dialog;
    EditorLogic logic{table, list, dialog};

    Editing()
    {
        dialog.logic = &logic;
        QObject::connect(list.selectionModel(), &QItemSelectionModel::selectionChanged,
                         list.model(), [this] { logic.OnListEvent(); });
        logic.InsertListColumns();
        logic.table().append(Entry("alpha", 1));
        logic.table().append(Entry("beta", 2));
        logic.ShowLoadedTable();
        click(0);
    }

    void click(int row)
    {
        list.selectionModel()->select(list.model()->index(row, 0),
                                      QItemSelectionModel::ClearAndSelect |
                                          QItemSelectionModel::Rows);
        logic.OnListEvent();
    }
};

} // namespace

Q_DECLARE_METATYPE(LookupStatus)

class TestLookupEditing : public QObject
{
    Q_OBJECT

private slots:
    void shownInTheControls_data();
    void shownInTheControls();
    void failedCheckStillLooksUp();
    void nameReachesEntryOnlyThroughStore_data();
    void nameReachesEntryOnlyThroughStore();
};

void TestLookupEditing::shownInTheControls_data()
{
    QTest::addColumn<LookupStatus>("status");
    QTest::addColumn<QString>("shownName");
    QTest::addColumn<int>("messageId"); // 0: none

    QTest::newRow("found") << LookupStatus::Found << "looked-up" << 0;
    QTest::newRow("not found") << LookupStatus::HostNotFound << "alpha"
                               << int(StrLookupHostNotFound);
    QTest::newRow("network down") << LookupStatus::NetworkDown << "alpha"
                                  << int(StrLookupNetworkDown);
}

void TestLookupEditing::shownInTheControls()
{
    QFETCH(LookupStatus, status);
    QFETCH(QString, shownName);
    QFETCH(int, messageId);
    Editing e;
    // Typed, not yet read: the lookup asks about what the controls show.
    e.dialog.controls.octet2 = "7";
    e.dialog.controls.comment = "typed";
    FakeDialog::Controls expected = e.dialog.controls;
    expected.hostname = shownName;
    FakeResolver resolver({status, status == LookupStatus::Found ? "looked.up" : ""});
    QList<int> messages;

    e.logic.OnLookup([&](const HostEntry& f) { return LookUp(f, resolver, messages); });

    QCOMPARE(resolver.asked, QStringList{"10.7.0.1"});
    QCOMPARE(messages, messageId ? QList<int>{messageId} : QList<int>());
    // Only the hostname changes, in the controls and the fields alike.
    const FakeDialog::Controls& shown = e.dialog.controls;
    QCOMPARE(shown.hostname, expected.hostname);
    QCOMPARE(shown.octet2, expected.octet2);
    QCOMPARE(shown.comment, expected.comment);
    QCOMPARE(e.logic.fields().hostname, shownName.toStdString());
    QCOMPARE(e.logic.fields().octet2, 7);
    QCOMPARE(e.logic.fields().comment, std::string("typed"));
}

void TestLookupEditing::failedCheckStillLooksUp()
{
    // The check stored the last octet and then failed on a later control (a domain
    // over the limit): the user has been told, and the lookup goes on with what was
    // stored.
    Editing e;
    e.dialog.controls.octet4 = "77";
    e.dialog.controls.domain = QString(kMaxNameLength + 1, u'd');
    FakeResolver resolver({LookupStatus::Found, "looked.up"});
    QList<int> messages;

    e.logic.OnLookup([&](const HostEntry& f) { return LookUp(f, resolver, messages); });

    QCOMPARE(resolver.asked, QStringList{"10.0.0.77"});
    QCOMPARE(e.dialog.controls.hostname, QString("looked-up"));
    QCOMPARE(messages, QList<int>());
}

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

    Editing e;
    QCOMPARE(e.logic.currentEntry(), 0);

    if (typeBefore) {
        e.dialog.controls.comment = "b";
        e.logic.OnFieldChanged();
    }
    const bool modifiedBefore = e.logic.modified();

    FakeResolver resolver({LookupStatus::Found, "looked.up"});
    QList<int> messages;
    e.logic.OnLookup([&](const HostEntry& f) { return LookUp(f, resolver, messages); });
    QCOMPARE(messages, QList<int>());
    QCOMPARE(e.dialog.controls.hostname, QString("looked-up"));
    QCOMPARE(e.logic.modified(), modifiedBefore);
    QCOMPARE(e.logic.table().at(0).hostname, std::string("alpha"));
    QCOMPARE(e.list.model()->cellText(e.list.rowOfEntry(0), 0), QString("alpha"));

    if (afterward == "other row") {
        e.click(e.list.rowOfEntry(1));
    } else if (afterward == "comment") {
        e.dialog.controls.comment = "c";
        e.logic.OnFieldChanged();
    } else {
        e.logic.SyncSelection(); // what Save & Exit does before writing
    }

    QCOMPARE(QString::fromStdString(e.logic.table().at(0).hostname), expectedName);
    QCOMPARE(QString::fromStdString(e.logic.table().at(0).comment), expectedComment);
    QCOMPARE(e.logic.table().at(1).hostname, std::string("beta"));
}

QTEST_MAIN(TestLookupEditing)
#include "tst_lookupediting.moc"
