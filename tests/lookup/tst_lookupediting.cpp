// The Lookup button in the editing logic: what it reads from the controls, what it shows,
// and that the name reaches the entry only through a later store, never through the
// lookup itself.
#include "editorlogic.h"
#include "hostlistmodel.h"
#include "lookup.h"
#include "stringtable.h"

#include <QTest>

namespace
{

// Entry controls that hold exactly what the field buffer last showed. A failing check
// plays one that stops after the octets were stored.
class PlainDialog : public EditorDialogOps
{
public:
    EditorLogic* logic = nullptr;
    HostEntry controls;
    bool failAfterOctets = false;

    void TransferToControls() override { controls = logic->fields(); }
    bool TransferFromControls() override
    {
        HostEntry& f = logic->fields();
        if (failAfterOctets) {
            f.hostname = controls.hostname;
            f.octet1 = controls.octet1;
            f.octet2 = controls.octet2;
            f.octet3 = controls.octet3;
            f.octet4 = controls.octet4;
            return false;
        }
        f = controls;
        return true;
    }
    void EnableControl(ControlId, bool) override {}
    void FocusControl(ControlId) override {}
    bool AskYesNo(const QString&) override { return false; }
};

class AnswerResolver : public NameResolver
{
public:
    LookupResult answer{LookupStatus::Found, "looked.up"};
    QStringList asked;

    bool Prepare() override { return true; }
    LookupResult ReverseLookup(std::uint8_t a, std::uint8_t b, std::uint8_t c,
                               std::uint8_t d) override
    {
        asked << QStringLiteral("%1.%2.%3.%4").arg(a).arg(b).arg(c).arg(d);
        return answer;
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
    HostListControl list;
    PlainDialog dialog;
    EditorLogic logic{list, dialog};

    Editing()
    {
        dialog.logic = &logic;
        QObject::connect(list.selectionModel(), &QItemSelectionModel::selectionChanged,
                         list.model(), [this] { logic.OnListEvent(); });
        logic.InsertListColumns();
        logic.table().append(Entry("alpha", 1));
        logic.table().append(Entry("beta", 2));
        logic.ShowEntry(0);
        logic.RefillList();
        logic.setCurrent(-1, -1);
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
    e.dialog.controls.octet2 = 7;
    e.dialog.controls.comment = "typed";
    HostEntry expected = e.dialog.controls;
    expected.hostname = shownName.toStdString();
    AnswerResolver resolver;
    resolver.answer = {status, status == LookupStatus::Found ? "looked.up" : ""};
    QList<int> messages;

    e.logic.OnLookup([&](const HostEntry& f) { return LookUp(f, resolver, messages); });

    QCOMPARE(resolver.asked, QStringList{"10.7.0.1"});
    QCOMPARE(messages, messageId ? QList<int>{messageId} : QList<int>());
    // Only the hostname changes, in the controls and the fields alike.
    QCOMPARE(e.dialog.controls, expected);
    QCOMPARE(e.logic.fields(), expected);
}

void TestLookupEditing::failedCheckStillLooksUp()
{
    // The check stored the last octet and then failed on a later control: the user
    // has been told, and the lookup goes on with what was stored.
    Editing e;
    e.dialog.controls.octet4 = 77;
    e.dialog.failAfterOctets = true;
    AnswerResolver resolver;
    QList<int> messages;

    e.logic.OnLookup([&](const HostEntry& f) { return LookUp(f, resolver, messages); });

    QCOMPARE(resolver.asked, QStringList{"10.0.0.77"});
    QCOMPARE(e.dialog.controls.hostname, std::string("looked-up"));
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

    AnswerResolver resolver;
    QList<int> messages;
    e.logic.OnLookup([&](const HostEntry& f) { return LookUp(f, resolver, messages); });
    QCOMPARE(messages, QList<int>());
    QCOMPARE(e.dialog.controls.hostname, std::string("looked-up"));
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
