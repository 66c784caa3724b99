#include "device/CommandTransaction.h"
#include "device/HexText.h"

#include <QTest>

// A step of a scripted exchange: "R" + bytes received, or "T" for one expiry
// of the reply timer.
using Steps = QByteArrayList;

class TestCommandTransaction : public QObject
{
    Q_OBJECT

private slots:
    void exchange_data();
    void exchange();
    void silentInstrument_sixSendsThenTimeoutResult();
    void newTransaction_getsItsOwnResends();
    void bytesOutsideTransaction_updateReplyTextAndEndNothing();
    void abandon_endsAsUnanswered();

    void hexText_data();
    void hexText();
    void parseHexNumber_data();
    void parseHexNumber();
};

void TestCommandTransaction::exchange_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<int>("completingStep"); // -1: no step completes the reply
    QTest::addColumn<QByteArrayList>("writes");
    QTest::addColumn<QByteArray>("replyText");

    const QByteArray read = "25,2000";
    const QByteArrayList once{"!125,2000\r"};

    QTest::newRow("reply and CR in one notification")
        << read << Steps{"R?125,2000,05\r"} << 0 << once << QByteArray("?125,2000,05");
    QTest::newRow("reply split across notifications")
        << read << Steps{"R?1", "R25,20", "R00,0", "R5", "R\r"} << 4 << once
        << QByteArray("?125,2000,05");
    QTest::newRow("noise before the reply is discarded by its ?")
        << read << Steps{"Rx#\r\n~", "R?125,2000,05\r"} << 1 << once << QByteArray("?125,2000,05");
    QTest::newRow("a second ? restarts the reply")
        << read << Steps{"R?125,20", "R?125,2000,05\r"} << 1 << once << QByteArray("?125,2000,05");
    QTest::newRow("echo of the request is stored, then discarded")
        << read << Steps{"R!125,2000\r", "R?125,2000,05\r"} << 1 << once
        << QByteArray("?125,2000,05");
    QTest::newRow("echo alone never completes")
        << read << Steps{"R!125,2000\r"} << -1 << once << QByteArray("!125,2000\r");
    QTest::newRow("LF anywhere is dropped") << read << Steps{"R\n?\n125,2\n000,05\n", "R\n\r\n"}
                                            << 1 << once << QByteArray("?125,2000,05");
    QTest::newRow("reply to another command keeps its CR and waits")
        << QByteArray("F1") << Steps{"R?1F2,4173-528\r"} << -1 << QByteArrayList{"!1F1\r"}
        << QByteArray("?1F2,4173-528\r");
    QTest::newRow("prefix comparison is case-sensitive")
        << QByteArray("f1") << Steps{"R?1F1,4173-528\r"} << -1 << QByteArrayList{"!1f1\r"}
        << QByteArray("?1F1,4173-528\r");
    QTest::newRow("reply to an earlier command completes after a ?")
        << QByteArray("F1") << Steps{"R?1F2\r", "R?1F1,4173-528\r"} << 1 << QByteArrayList{"!1F1\r"}
        << QByteArray("?1F1,4173-528");
    QTest::newRow("reply after two resends")
        << read << Steps{"T", "T", "R?125,2000,05\r"} << 2
        << QByteArrayList{"!125,2000\r", "!125,2000\r", "!125,2000\r"}
        << QByteArray("?125,2000,05");
    QTest::newRow("a resend clears the reply begun before it")
        << read << Steps{"R?125,20", "T", "R00,05\r"} << -1
        << QByteArrayList{"!125,2000\r", "!125,2000\r"} << QByteArray("00,05\r");
    QTest::newRow("one-character command completes on its exact prefix")
        << QByteArray("A") << Steps{"R?1A\r"} << 0 << QByteArrayList{"!1A\r"} << QByteArray("?1A");
    QTest::newRow("one-character command ignores a longer reply")
        << QByteArray("A") << Steps{"R?1AB\r"} << -1 << QByteArrayList{"!1A\r"}
        << QByteArray("?1AB\r");
    QTest::newRow("one-character command times out on a longer reply")
        << QByteArray("A") << Steps{"R?1AB\r", "T", "R?1AB\r", "T", "T", "T", "T", "T"} << -1
        << QByteArrayList(6, "!1A\r") << QByteArray("?1A00000000");
    QTest::newRow("empty command frames as !1 CR")
        << QByteArray() << Steps{"R?1\r"} << 0 << QByteArrayList{"!1\r"} << QByteArray("?1");
    QTest::newRow("bytes after the completing CR still count")
        << read << Steps{"R?125,2000,05\r\n?1x"} << 0 << once << QByteArray("?1x");
    QTest::newRow("late bytes after completion end nothing")
        << read << Steps{"R?125,2000,05\r", "R?125,2000,06\r", "T"} << 0 << once
        << QByteArray("?125,2000,06");
}

void TestCommandTransaction::exchange()
{
    QFETCH(QByteArray, command);
    QFETCH(Steps, steps);
    QFETCH(int, completingStep);
    QFETCH(QByteArrayList, writes);
    QFETCH(QByteArray, replyText);

    CommandTransaction transaction;
    QByteArrayList written{transaction.start(command)};
    QVERIFY(transaction.isWaiting());
    QCOMPARE(transaction.replyPrefix(), CommandTransaction::ReplyPrefixOf(command));

    int completedAt = -1;
    for (int i = 0; i < steps.size(); ++i) {
        const bool wasWaiting = transaction.isWaiting();
        if (steps[i] == "T") {
            const QByteArray line = transaction.tick();
            if (!line.isEmpty())
                written.append(line);
        } else if (transaction.received(steps[i].sliced(1))) {
            QVERIFY2(completedAt < 0, "completed twice");
            QVERIFY(wasWaiting);
            completedAt = i;
        }
        if (completedAt >= 0)
            QVERIFY(!transaction.isWaiting());
    }
    QCOMPARE(completedAt, completingStep);
    QCOMPARE(written, writes);
    QCOMPARE(transaction.replyText(), replyText);
}

void TestCommandTransaction::silentInstrument_sixSendsThenTimeoutResult()
{
    CommandTransaction transaction;
    const QByteArray line = transaction.start("25,2000");
    QCOMPARE(line, QByteArray("!125,2000\r"));
    for (int resend = 1; resend <= CommandTransaction::MaxResends; ++resend) {
        QCOMPARE(transaction.tick(), line);
        QVERIFY(transaction.isWaiting());
        QCOMPARE(transaction.replyText(), QByteArray());
        QCOMPARE(transaction.resendCount(), resend);
    }
    QCOMPARE(transaction.tick(), QByteArray());
    QVERIFY(!transaction.isWaiting());
    QCOMPARE(transaction.replyText(), QByteArray("?12500000000"));
    QCOMPARE(transaction.replyText(), CommandTransaction::TimeoutResult("25,2000"));
    QCOMPARE(transaction.tick(), QByteArray());
    QCOMPARE(transaction.replyText(), QByteArray("?12500000000"));
}

void TestCommandTransaction::newTransaction_getsItsOwnResends()
{
    CommandTransaction transaction;
    transaction.start("F1");
    for (int i = 0; i < 6; ++i)
        transaction.tick();
    QVERIFY(!transaction.isWaiting());

    QCOMPARE(transaction.start("26,2000,05"), QByteArray("!126,2000,05\r"));
    QCOMPARE(transaction.resendCount(), 0);
    QCOMPARE(transaction.replyText(), QByteArray());
    for (int i = 0; i < 5; ++i)
        QCOMPARE(transaction.tick(), QByteArray("!126,2000,05\r"));
    QVERIFY(transaction.isWaiting());
    QVERIFY(transaction.received("?126,2000,05\r"));
    QCOMPARE(transaction.replyText(), QByteArray("?126,2000,05"));
}

void TestCommandTransaction::bytesOutsideTransaction_updateReplyTextAndEndNothing()
{
    CommandTransaction transaction;
    QVERIFY(!transaction.received("noise\n?1F1,4173"));
    QCOMPARE(transaction.replyText(), QByteArray("?1F1,4173"));
    QCOMPARE(transaction.tick(), QByteArray());
    QVERIFY(!transaction.isWaiting());

    transaction.start("F1");
    QVERIFY(transaction.received("?1F1,4173-528\r"));
    QVERIFY(!transaction.received("?1F1,other\r"));
    QVERIFY(!transaction.isWaiting());
    QCOMPARE(transaction.replyText(), QByteArray("?1F1,other"));
}

void TestCommandTransaction::abandon_endsAsUnanswered()
{
    CommandTransaction transaction;
    transaction.start("25,2000");
    transaction.received("?125,20");
    transaction.abandon();
    QVERIFY(!transaction.isWaiting());
    QCOMPARE(transaction.replyText(), QByteArray("?12500000000"));
    QCOMPARE(transaction.tick(), QByteArray());

    // Without a waiting transaction it changes nothing.
    transaction.received("?1F1,x");
    transaction.abandon();
    QCOMPARE(transaction.replyText(), QByteArray("?1F1,x"));
}

void TestCommandTransaction::hexText_data()
{
    QTest::addColumn<int>("digits");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("Hex2 pads") << 2 << qint64(5) << QByteArray("05");
    QTest::newRow("Hex2 zero") << 2 << qint64(0) << QByteArray("00");
    QTest::newRow("Hex2 keeps the low byte") << 2 << qint64(300) << QByteArray("2C");
    QTest::newRow("Hex2 of -1") << 2 << qint64(-1) << QByteArray("FF");
    QTest::newRow("Hex2 upper case") << 2 << qint64(0xab) << QByteArray("AB");
    QTest::newRow("Hex4 8192") << 4 << qint64(8192) << QByteArray("2000");
    QTest::newRow("Hex4 pads") << 4 << qint64(0x1F) << QByteArray("001F");
    QTest::newRow("Hex4 keeps 16 bits") << 4 << qint64(0x12345) << QByteArray("2345");
    QTest::newRow("Hex4 of -2") << 4 << qint64(-2) << QByteArray("FFFE");
    QTest::newRow("Hex8 255") << 8 << qint64(255) << QByteArray("000000FF");
    QTest::newRow("Hex8 of -1") << 8 << qint64(-1) << QByteArray("FFFFFFFF");
    QTest::newRow("Hex8 of int min")
        << 8 << qint64(std::numeric_limits<qint32>::min()) << QByteArray("80000000");
    QTest::newRow("Hex8 keeps 32 bits") << 8 << qint64(0x1DEADBEEF) << QByteArray("DEADBEEF");
}

void TestCommandTransaction::hexText()
{
    QFETCH(int, digits);
    QFETCH(qint64, value);
    QFETCH(QByteArray, text);
    const QByteArray result = digits == 2 ? Hex2(value) : digits == 4 ? Hex4(value) : Hex8(value);
    QCOMPARE(result, text);
}

void TestCommandTransaction::parseHexNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");

    QTest::newRow("two digits") << QByteArray("05") << true << 5;
    QTest::newRow("upper case") << QByteArray("FF") << true << 255;
    QTest::newRow("lower case") << QByteArray("ff") << true << 255;
    QTest::newRow("one digit") << QByteArray("A") << true << 10;
    QTest::newRow("more than a byte") << QByteArray("1FF") << true << 511;
    QTest::newRow("many leading zeros") << QByteArray("0000000000000000FF") << true << 255;
    QTest::newRow("largest") << QByteArray("7FFFFFFF") << true << 0x7FFFFFFF;
    QTest::newRow("beyond 31 bits") << QByteArray("80000000") << false << 0;
    QTest::newRow("overlong") << QByteArray("123456789ABCDEF0123456789") << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("garbage digit") << QByteArray("1G") << false << 0;
    QTest::newRow("leading space") << QByteArray(" 5") << false << 0;
    QTest::newRow("trailing CR") << QByteArray("05\r") << false << 0;
    QTest::newRow("sign") << QByteArray("-1") << false << 0;
    QTest::newRow("prefix") << QByteArray("&H5") << false << 0;
}

void TestCommandTransaction::parseHexNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    int parsed = -12345;
    QCOMPARE(ParseHexNumber(text, parsed), ok);
    QCOMPARE(parsed, ok ? value : -12345);
}

QTEST_GUILESS_MAIN(TestCommandTransaction)
#include "tst_commandtransaction.moc"
