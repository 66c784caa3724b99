#include "device/CommandTransaction.h"
#include "device/DeviceIdentity.h"
#include "device/MemoryRules.h"

#include <QTest>

namespace {

// Answers each transaction with the next scripted reply; once the script is
// used up the instrument is silent and every transaction times out.
struct ScriptedInstrument
{
    QByteArrayList replies;
    QByteArrayList commands;

    RunCommand run()
    {
        return [this](const QByteArray &command) {
            commands.append(command);
            return replies.isEmpty() ? CommandTransaction::TimeoutResult(command)
                                     : replies.takeFirst();
        };
    }
};

} // namespace

class TestMemoryRules : public QObject
{
    Q_OBJECT

private slots:
    void readMemory_data();
    void readMemory();
    void writeMemory_data();
    void writeMemory();
    void identity_data();
    void identity();
};

void TestMemoryRules::readMemory_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArrayList>("replies");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("transactions");
    QTest::addColumn<bool>("confirmed");

    QTest::newRow("first reply accepted")
        << 0x2000 << QByteArrayList{"?125,2000,05"} << 5 << 1 << true;
    QTest::newRow("lower-case value")
        << 0x2000 << QByteArrayList{"?125,2000,fe"} << 0xFE << 1 << true;
    QTest::newRow("wrong echo repeated")
        << 0x2000 << QByteArrayList{"?125,2001,07", "?125,2000,05"} << 5 << 2 << true;
    QTest::newRow("right echo at the fourth attempt")
        << 0x1234 << QByteArrayList{"?125,1235,01", "?125,0000,02", "?125,FFFF,03", "?125,1234,04"}
        << 4 << 4 << true;
    QTest::newRow("never accepted: last parsable value")
        << 0x2000
        << QByteArrayList{"?125,2001,01", "?125,2001,02", "?125,2001,03", "?125,2001,04",
                          "?125,2001,zz"}
        << 4 << 5 << false;
    QTest::newRow("silent instrument reads 0 after five attempts")
        << 0x2000 << QByteArrayList{} << 0 << 5 << false;
    QTest::newRow("silent instrument at address 0 accepted at once")
        << 0 << QByteArrayList{} << 0 << 1 << false;
    QTest::newRow("silent after a wrong echo keeps the value from the timeout result")
        << 0x2000 << QByteArrayList{"?125,2001,07"} << 0 << 5 << false;
    QTest::newRow("accepted without a value keeps the earlier one")
        << 0x2000 << QByteArrayList{"?125,2001,07", "?125,2000,"} << 7 << 2 << false;
    QTest::newRow("accepted with garbage value")
        << 0x2000 << QByteArrayList{"?125,2000,0x"} << 0 << 1 << false;
    QTest::newRow("accepted value beyond a byte is not confirmed")
        << 0x2000 << QByteArrayList{"?125,2000,1FF"} << 0x1FF << 1 << false;
    QTest::newRow("overlong value does not parse")
        << 0x2000 << QByteArrayList{"?125,2000,FFFFFFFFFFFFFFFFFFFF"} << 0 << 1 << false;
    QTest::newRow("short reply fails the address check")
        << 0x2000 << QByteArrayList{"?125,20", "?125,2000,09"} << 9 << 2 << true;
    QTest::newRow("another command's reply echoing the address is not a confirmation")
        << 0x4173 << QByteArrayList{"?1F1,4173-528"} << 0x528 << 1 << false;
    QTest::newRow("address above 16 bits reads its low 16 bits")
        << 0x12000 << QByteArrayList{"?125,2000,05"} << 5 << 1 << true;
}

void TestMemoryRules::readMemory()
{
    QFETCH(int, address);
    QFETCH(QByteArrayList, replies);
    QFETCH(int, value);
    QFETCH(int, transactions);
    QFETCH(bool, confirmed);

    ScriptedInstrument instrument{replies, {}};
    bool wasConfirmed = !confirmed;
    QCOMPARE(ReadMemory(instrument.run(), address, &wasConfirmed), value);
    QCOMPARE(wasConfirmed, confirmed);
    QCOMPARE(instrument.commands, QByteArrayList(transactions, ReadCommand(address)));
    QCOMPARE(ReadCommand(address),
             "25," + QByteArray::number(address & 0xFFFF, 16).toUpper().rightJustified(4, '0'));

    // The flag is optional.
    ScriptedInstrument again{replies, {}};
    QCOMPARE(ReadMemory(again.run(), address), value);
}

void TestMemoryRules::writeMemory_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArrayList>("replies");
    QTest::addColumn<int>("transactions");
    QTest::addColumn<bool>("confirmed");

    const QByteArray write = "26,2000,05";
    QTest::newRow("confirmed at once")
        << 0x2000 << 5 << write << QByteArrayList{"?126,2000,05"} << 1 << true;
    QTest::newRow("wrong address repeated")
        << 0x2000 << 5 << write << QByteArrayList{"?126,3000,05", "?126,2000,05"} << 2 << true;
    QTest::newRow("right address, other value repeated up to five times")
        << 0x2000 << 5 << write
        << QByteArrayList{"?126,2000,04", "?126,2000,04", "?126,2000,04", "?126,2000,04",
                          "?126,2000,04"}
        << 5 << false;
    QTest::newRow("value above 255 sends its low byte, never confirms")
        << 0x2000 << 300 << QByteArray("26,2000,2C") << QByteArrayList(5, "?126,2000,2C") << 5
        << false;
    QTest::newRow("negative value sends its low byte, never confirms")
        << 0x2000 << -1 << QByteArray("26,2000,FF") << QByteArrayList(5, "?126,2000,FF") << 5
        << false;
    QTest::newRow("silent instrument gets five attempts")
        << 0x2000 << 5 << write << QByteArrayList{} << 5 << false;
    QTest::newRow("silent instrument at address 0 with value 0 is no confirmation")
        << 0 << 0 << QByteArray("26,0000,00") << QByteArrayList{} << 5 << false;
    QTest::newRow("a value from an earlier reply does not confirm")
        << 0x2000 << 5 << write << QByteArrayList{"?126,2001,05", "?126,2000,", "?126,2000,05"} << 3
        << true;
    QTest::newRow("a missing value does not confirm a write of 0")
        << 0x2000 << 0 << QByteArray("26,2000,00") << QByteArrayList{"?126,2000,", "?126,2000,00"}
        << 2 << true;
    QTest::newRow("a read reply does not confirm a write")
        << 0x2000 << 5 << write << QByteArrayList{"?125,2000,05", "?126,2000,05"} << 2 << true;
}

void TestMemoryRules::writeMemory()
{
    QFETCH(int, address);
    QFETCH(int, value);
    QFETCH(QByteArray, command);
    QFETCH(QByteArrayList, replies);
    QFETCH(int, transactions);
    QFETCH(bool, confirmed);

    ScriptedInstrument instrument{replies, {}};
    bool wasConfirmed = !confirmed;
    WriteMemory(instrument.run(), address, value, &wasConfirmed);
    QCOMPARE(wasConfirmed, confirmed);
    QCOMPARE(instrument.commands, QByteArrayList(transactions, command));
}

void TestMemoryRules::identity_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("instrument");

    QTest::newRow("identity reply") << QByteArray("?1F1,4173-528") << true;
    QTest::newRow("any fifth character") << QByteArray("?1F1x4173-528") << true;
    QTest::newRow("a further character") << QByteArray("?1F1,4173-5280") << false;
    QTest::newRow("a trailing CR") << QByteArray("?1F1,4173-528\r") << false;
    QTest::newRow("another identity") << QByteArray("?1F1,4173-529") << false;
    QTest::newRow("timeout result") << QByteArray("?1F100000000") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestMemoryRules::identity()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, instrument);
    QCOMPARE(IsInstrumentReply(reply), instrument);
}

QTEST_GUILESS_MAIN(TestMemoryRules)
#include "tst_memoryrules.moc"
