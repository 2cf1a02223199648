#include "fieldrules.h"
#include "hosttable.h"
#include "stringtable.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(OctetReading::Verdict)

namespace
{

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

HostEntry Names(qsizetype hostnameLength, qsizetype domainLength)
{
    HostEntry e;
    e.hostname.assign(std::size_t(hostnameLength), 'h');
    e.domain.assign(std::size_t(domainLength), 'd');
    return e;
}

} // namespace

class TestFieldRules : public QObject
{
    Q_OBJECT
private slots:
    void parseDecimal_data();
    void parseDecimal();
    void readOctet_data();
    void readOctet();
    void nameLimits_data();
    void nameLimits();
    void nameLimitsNotedOnce();
};

void TestFieldRules::parseDecimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");

    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("blanks around") << " \t12 " << true << 12;
    QTest::newRow("plus sign") << "+7" << true << 7;
    QTest::newRow("minus sign") << "-5" << true << -5;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("largest") << "2147483647" << true << kMax;
    QTest::newRow("smallest") << "-2147483648" << true << kMin;
    QTest::newRow("one beyond saturates") << "2147483648" << true << kMax;
    QTest::newRow("far beyond saturates") << "99999999999999999999" << true << kMax;
    QTest::newRow("far below saturates") << "-99999999999999999999" << true << kMin;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blanks only") << "  " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("two signs") << "+-1" << false << 0;
    QTest::newRow("blank inside") << "1 2" << false << 0;
    QTest::newRow("blank after sign") << "- 1" << false << 0;
    QTest::newRow("fraction") << "1.5" << false << 0;
    QTest::newRow("hex") << "0x10" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("full-width digits")
        << QString::fromUtf8("\xEF\xBC\x91\xEF\xBC\x92") << false << 0;
    QTest::newRow("Arabic-Indic digit") << QString::fromUtf8("\xD9\xA3") << false << 0;
}

void TestFieldRules::parseDecimal()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const std::optional<std::int32_t> parsed = ParseDecimal(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TestFieldRules::readOctet_data()
{
    using V = OctetReading::Verdict;
    QTest::addColumn<QString>("text");
    QTest::addColumn<V>("verdict");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<int>("messageId");

    QTest::newRow("0") << "0" << V::Octet << 0 << true << 0;
    QTest::newRow("255") << "255" << V::Octet << 255 << true << 0;
    QTest::newRow("signed, blanks") << " +255 " << V::Octet << 255 << true << 0;
    QTest::newRow("256 stored, still refused")
        << "256" << V::OutOfRange << 256 << true << int(StrEnterOctet);
    QTest::newRow("-1") << "-1" << V::OutOfRange << -1 << true << int(StrEnterOctet);
    QTest::newRow("999, three characters")
        << "999" << V::OutOfRange << 999 << true << int(StrEnterOctet);
    QTest::newRow("-99, three characters")
        << "-99" << V::OutOfRange << -99 << true << int(StrEnterOctet);
    QTest::newRow("1000 not stored") << "1000" << V::TooLong << 1000 << false << int(StrEnterOctet);
    QTest::newRow("-100 not stored") << "-100" << V::TooLong << -100 << false << int(StrEnterOctet);
    QTest::newRow("saturated") << "99999999999" << V::TooLong << kMax << false
                               << int(StrEnterOctet);
    QTest::newRow("no integer") << "x" << V::NotInteger << 0 << false << int(StrEnterInteger);
    QTest::newRow("empty") << "" << V::NotInteger << 0 << false << int(StrEnterInteger);
}

void TestFieldRules::readOctet()
{
    QFETCH(QString, text);
    const OctetReading reading = ReadOctet(text);
    QTEST(reading.verdict, "verdict");
    QFETCH(bool, stored);
    if (reading.verdict != OctetReading::Verdict::NotInteger)
        QTEST(int(reading.value), "value");
    QCOMPARE(reading.stored(), stored);
    QTEST(reading.messageId(), "messageId");
}

void TestFieldRules::nameLimits_data()
{
    QTest::addColumn<int>("removed"); // entry deleted after noting; -1: none
    QTest::addColumn<QList<int>>("hostnameLimits");
    QTest::addColumn<QList<int>>("domainLimits");

    // Entries: short names; a 600-character hostname; a 700-character domain; short.
    QTest::newRow("as noted") << -1 << QList<int>{512, 600, 512, 512, 512}
                              << QList<int>{512, 512, 700, 512, 512};
    QTest::newRow("an earlier entry gone")
        << 0 << QList<int>{600, 512, 512, 512, 512} << QList<int>{512, 700, 512, 512, 512};
    QTest::newRow("the long hostname's entry gone")
        << 1 << QList<int>{512, 512, 512, 512, 512} << QList<int>{512, 700, 512, 512, 512};
    QTest::newRow("a later entry gone")
        << 3 << QList<int>{512, 600, 512, 512, 512} << QList<int>{512, 512, 700, 512, 512};
}

void TestFieldRules::nameLimits()
{
    QFETCH(int, removed);
    QFETCH(QList<int>, hostnameLimits);
    QFETCH(QList<int>, domainLimits);

    HostTable table;
    table.append(Names(5, 5));
    table.append(Names(600, 3));
    table.append(Names(3, 700));
    table.append(Names(512, 512)); // at the limit: nothing to note
    NameLimits limits;
    limits.Note(table);
    if (removed != -1)
        limits.EntryRemoved(removed);

    // The last index has no entry: a new one gets the typing limit.
    for (int entry = 0; entry < hostnameLimits.size(); ++entry) {
        QCOMPARE(limits.hostnameLimit(entry), qsizetype(hostnameLimits[entry]));
        QCOMPARE(limits.domainLimit(entry), qsizetype(domainLimits[entry]));
    }
    QCOMPARE(limits.hostnameLimit(-1), kMaxNameLength);
}

void TestFieldRules::nameLimitsNotedOnce()
{
    // What the user typed into the table later is no name from the file.
    HostTable table;
    table.append(Names(3, 3));
    NameLimits limits;
    limits.Note(table);
    table.at(0) = Names(900, 900);
    limits.Note(table);
    QCOMPARE(limits.hostnameLimit(0), kMaxNameLength);
    QCOMPARE(limits.domainLimit(0), kMaxNameLength);
}

QTEST_GUILESS_MAIN(TestFieldRules)
#include "tst_fieldrules.moc"
