#include "PortFixture.h"

#include "device/CommandTransaction.h"
#include "device/DeviceMemory.h"
#include "device/SerialLink.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <utility>

namespace {

constexpr int Period = 20; // ms: the resend rules run in a fraction of a second
// Tests that expect an answer at the first send: no resend even on a busy machine.
constexpr int Patient = 5000;

} // namespace

class TestSerialLink : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void components_namedAndConfigured();
    void portName_defaultsAndSetting_data();
    void portName_defaultsAndSetting();
    void openPort_missingPathFails();

    void sendCommand_identifies();
    void sendCommand_survivesLineFaults_data();
    void sendCommand_survivesLineFaults();
    void sendCommand_replyAfterResends();
    void sendCommand_silentInstrument_sixSendsThenTimeoutResult();
    void sendCommand_closedPort_endsAsSilent();
    void sendCommand_portOpenedDuringWait_getsNoLine();
    void closePort_duringWait_endsAtOnceAndNothingGoesToTheNextPort();
    void sendCommand_portVanishesMidTransaction_endsAtOnce();
    void sendCommand_secondRequestDuringWait_runsAfterFirst();

    void sendCommand_applicationExit_endsWaitAtOnce();

    void memory_readsAndWrites();
    void memory_wrongEchoesRepeated();
    void memory_silentInstrument_fiveAttemptsUnconfirmed();

private:
    bool connectTo(SerialLink &link, EmulatedInstrument &instrument, int port = 1);

    QTemporaryDir m_dir;
};

void TestSerialLink::init()
{
    QVERIFY(m_dir.isValid());
    IsolatePorts(m_dir);
}

bool TestSerialLink::connectTo(SerialLink &link, EmulatedInstrument &instrument, int port)
{
    if (!instrument.open())
        return false;
    MapPort(port, instrument.path());
    link.ApplyLineSettings();
    link.setPortNumber(port);
    return link.OpenPort();
}

void TestSerialLink::components_namedAndConfigured()
{
    SerialLink link(Period);
    auto *timer = link.findChild<QTimer *>(QStringLiteral("tmTimeOut"));
    QVERIFY(timer);
    QCOMPARE(timer->timerType(), Qt::PreciseTimer);
    QCOMPARE(timer->interval(), Period);
    QVERIFY(!timer->isActive());

    EmulatedInstrument instrument;
    QVERIFY(connectTo(link, instrument));
    auto *port = link.findChild<QSerialPort *>(QStringLiteral("cmQuenor"));
    QVERIFY(port);
    QCOMPARE(port->baudRate(), 9600);
    QCOMPARE(port->dataBits(), QSerialPort::Data8);
    QCOMPARE(port->parity(), QSerialPort::NoParity);
    QCOMPARE(port->stopBits(), QSerialPort::OneStop);
    QCOMPARE(port->flowControl(), QSerialPort::NoFlowControl);
    QVERIFY(link.isOpen());
    link.ClosePort();
    QVERIFY(!link.isOpen());
    link.ClosePort(); // closing twice is harmless
}

void TestSerialLink::portName_defaultsAndSetting_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("name");
#ifdef Q_OS_WIN
    QTest::newRow("COM1") << 1 << QStringLiteral("COM1");
    QTest::newRow("COM16") << 16 << QStringLiteral("COM16");
#else
    QTest::newRow("COM1") << 1 << QStringLiteral("/dev/ttyS0");
    QTest::newRow("COM4") << 4 << QStringLiteral("/dev/ttyS3");
    QTest::newRow("COM5") << 5 << QStringLiteral("/dev/ttyUSB0");
    QTest::newRow("COM12") << 12 << QStringLiteral("/dev/ttyUSB7");
    QTest::newRow("COM13") << 13 << QStringLiteral("/dev/ttyACM0");
    QTest::newRow("COM16") << 16 << QStringLiteral("/dev/ttyACM3");
#endif
}

void TestSerialLink::portName_defaultsAndSetting()
{
    QFETCH(int, port);
    QFETCH(QString, name);
    AppSettings::Open().remove(AppSettings::PortKey(port));
    QCOMPARE(SerialLink::PortName(port), name);
#ifndef Q_OS_WIN
    const QString path = QStringLiteral("/dev/serial/by-id/usb-adapter-%1").arg(port);
    MapPort(port, path);
    QCOMPARE(SerialLink::PortName(port), path);
#endif
}

void TestSerialLink::openPort_missingPathFails()
{
    SerialLink link(Period);
    link.ApplyLineSettings();
    link.setPortNumber(7);
    QVERIFY(!link.OpenPort());
    QVERIFY(!link.isOpen());
}

void TestSerialLink::sendCommand_identifies()
{
    SerialLink link(Patient);
    EmulatedInstrument instrument;
    QVERIFY(connectTo(link, instrument, 3));
    link.SendCommand("F1");
    QCOMPARE(link.ReplyText(), QByteArray("?1F1,4173-528"));
    QVERIFY(!link.isWaiting());
    QCOMPARE(instrument.model.requests().size(), 1);
}

void TestSerialLink::sendCommand_survivesLineFaults_data()
{
    QTest::addColumn<bool>("echo");
    QTest::addColumn<bool>("garbage");
    QTest::addColumn<int>("split");

    QTest::newRow("echo of the request") << true << false << 0;
    QTest::newRow("noise before the reply") << false << true << 0;
    QTest::newRow("reply in pieces of 3") << false << false << 3;
    QTest::newRow("reply in single bytes after echo and noise") << true << true << 1;
}

void TestSerialLink::sendCommand_survivesLineFaults()
{
    QFETCH(bool, echo);
    QFETCH(bool, garbage);
    QFETCH(int, split);

    SerialLink link(Patient);
    EmulatedInstrument instrument;
    instrument.model.faults.echoRequest = echo;
    instrument.model.faults.garbageBeforeReply = garbage;
    instrument.pty.setSplitReplies(split);
    instrument.pty.setSplitGap(1);
    instrument.model.setByteAt(0x2000, 0xA5);
    QVERIFY(connectTo(link, instrument));

    link.SendCommand("25,2000");
    QCOMPARE(link.ReplyText(), QByteArray("?125,2000,A5"));
    QCOMPARE(instrument.model.requests().size(), 1);
}

void TestSerialLink::sendCommand_replyAfterResends()
{
    // Long enough that each answer comes back within its period on a busy machine.
    SerialLink link(100);
    EmulatedInstrument instrument;
    instrument.model.faults.answerFromArrival = 3;
    QVERIFY(connectTo(link, instrument));
    link.SendCommand("F1");
    QCOMPARE(link.ReplyText(), QByteArray("?1F1,4173-528"));
    // A slow answer may cross one more resend; the transaction ends all the same.
    QVERIFY(instrument.model.requests().size() >= 3);
}

void TestSerialLink::sendCommand_silentInstrument_sixSendsThenTimeoutResult()
{
    SerialLink link(Period);
    EmulatedInstrument instrument;
    instrument.model.faults.silent = true;
    QVERIFY(connectTo(link, instrument));

    QElapsedTimer clock;
    clock.start();
    link.SendCommand("25,2000");
    QCOMPARE(link.ReplyText(), QByteArray("?12500000000"));
    QVERIFY(clock.elapsed() >= 6 * Period - 5);
    QTRY_COMPARE(instrument.model.requests().size(), 6);
    QCOMPARE(instrument.model.requests(), QByteArrayList(6, instrument.model.requests().first()));

    // The next transaction gets its own resends.
    instrument.model.clearRequests();
    link.SendCommand("F1");
    QCOMPARE(link.ReplyText(), QByteArray("?1F100000000"));
    QTRY_COMPARE(instrument.model.requests().size(), 6);
}

void TestSerialLink::sendCommand_closedPort_endsAsSilent()
{
    SerialLink link(Period);
    link.ApplyLineSettings();
    link.SendCommand("F1");
    QCOMPARE(link.ReplyText(), QByteArray("?1F100000000"));
    QVERIFY(!link.isWaiting());

    link.setPortNumber(2);
    QVERIFY(!link.OpenPort());
    link.SendCommand("25,0000");
    QCOMPARE(link.ReplyText(), QByteArray("?12500000000"));
}

void TestSerialLink::sendCommand_portOpenedDuringWait_getsNoLine()
{
    SerialLink link(Period);
    link.ApplyLineSettings();
    EmulatedInstrument instrument;
    QVERIFY(instrument.open());
    MapPort(1, instrument.path());
    link.setPortNumber(1);

    // The port opens at the first expiry; four resends are still to come.
    auto *timer = link.findChild<QTimer *>(QStringLiteral("tmTimeOut"));
    QVERIFY(timer);
    bool opened = false;
    connect(timer, &QTimer::timeout, &link, [&] {
        if (!link.isOpen())
            opened = link.OpenPort();
    });
    link.SendCommand("F1");
    QVERIFY(opened);
    QCOMPARE(link.ReplyText(), QByteArray("?1F100000000"));
    QTest::qWait(2 * Period);
    QVERIFY(instrument.model.requests().isEmpty());
}

void TestSerialLink::closePort_duringWait_endsAtOnceAndNothingGoesToTheNextPort()
{
    SerialLink link(Patient);
    EmulatedInstrument silent;
    silent.model.faults.silent = true;
    EmulatedInstrument next;
    QVERIFY(next.open());
    MapPort(2, next.path());
    QVERIFY(connectTo(link, silent, 1));

    // What a search started during the wait does: close, then open another port.
    bool reopened = false;
    connect(&silent.pty, &PtyInstrument::requestReceived, &link, [&] {
        link.ClosePort();
        link.setPortNumber(2);
        reopened = link.OpenPort();
    });
    QElapsedTimer clock;
    clock.start();
    link.SendCommand("F1");
    QVERIFY(reopened);
    QCOMPARE(link.ReplyText(), QByteArray("?1F100000000"));
    QVERIFY2(clock.elapsed() < Patient, "waited for a resend");
    QVERIFY(!link.isWaiting());
    QCOMPARE(silent.model.requests().size(), 1);
    QVERIFY(next.model.requests().isEmpty());

    // The new port serves the next transaction.
    link.SendCommand("F1");
    QCOMPARE(link.ReplyText(), QByteArray("?1F1,4173-528"));
}

void TestSerialLink::sendCommand_portVanishesMidTransaction_endsAtOnce()
{
    SerialLink link(Patient);
    EmulatedInstrument instrument;
    instrument.model.faults.silent = true;
    QVERIFY(connectTo(link, instrument));

    connect(&instrument.pty, &PtyInstrument::requestReceived, &instrument.pty,
            &PtyInstrument::vanish, Qt::QueuedConnection);
    QElapsedTimer clock;
    clock.start();
    link.SendCommand("F1");
    QCOMPARE(link.ReplyText(), QByteArray("?1F100000000"));
    QVERIFY2(clock.elapsed() < Patient, "waited for a resend");
    QVERIFY(!link.isOpen());
    QCOMPARE(instrument.model.requests().size(), 1);

    // The link stays usable: it opens the device when it is back.
    disconnect(&instrument.pty, &PtyInstrument::requestReceived, nullptr, nullptr);
    instrument.model.faults.silent = false;
    QVERIFY(instrument.open());
    MapPort(1, instrument.path());
    QVERIFY(link.OpenPort());
    link.SendCommand("25,0000");
    QCOMPARE(link.ReplyText(), QByteArray("?125,0000,00"));
}

void TestSerialLink::sendCommand_secondRequestDuringWait_runsAfterFirst()
{
    SerialLink link(Patient);
    EmulatedInstrument instrument;
    instrument.model.setByteAt(0x0010, 0x42);
    const int delay = Period * 3;
    instrument.pty.setReplyDelay(delay);
    QVERIFY(connectTo(link, instrument));

    QElapsedTimer clock;
    QList<qint64> arrivals;
    connect(&instrument.pty, &PtyInstrument::requestReceived, this,
            [&] { arrivals.append(clock.elapsed()); });

    // The second request is made as soon as the first has arrived, well inside
    // the first one's wait (the reply is held back by the delay). Queued: the
    // emulator takes up the reply only once the signal has returned.
    QByteArray secondReply;
    bool asked = false;
    bool secondWhileWaiting = false;
    bool secondDone = false;
    connect(
        &instrument.pty, &PtyInstrument::requestReceived, &link,
        [&] {
            if (std::exchange(asked, true))
                return;
            secondWhileWaiting = link.isWaiting();
            link.SendCommand("25,0010");
            secondReply = link.ReplyText();
            secondDone = true;
        },
        Qt::QueuedConnection);
    clock.start();
    link.SendCommand("F1");

    QVERIFY(secondDone);
    QVERIFY(secondWhileWaiting);
    QCOMPARE(secondReply, QByteArray("?125,0010,42"));
    // The first caller finds the second transaction's reply.
    QCOMPARE(link.ReplyText(), QByteArray("?125,0010,42"));
    QCOMPARE(instrument.model.requests().size(), 2);
    QVERIFY(instrument.model.requests().at(0).endsWith("F1"));
    QVERIFY(instrument.model.requests().at(1).endsWith("25,0010"));
    // The second request left only after the first reply had come back.
    QCOMPARE(arrivals.size(), 2);
    QVERIFY2(arrivals.at(1) >= delay, qPrintable(QString::number(arrivals.at(1))));
}

void TestSerialLink::sendCommand_applicationExit_endsWaitAtOnce()
{
    SerialLink link(Patient);
    EmulatedInstrument instrument;
    instrument.model.faults.silent = true;
    QVERIFY(connectTo(link, instrument));

    // Exiting makes every event loop return at once: a wait must not spin on.
    QTimer exitTimer;
    exitTimer.setSingleShot(true);
    connect(&exitTimer, &QTimer::timeout, QCoreApplication::instance(),
            [] { QCoreApplication::exit(0); });
    exitTimer.start(Period);
    // However this test ends, leave the application able to run event loops for
    // the tests after it: only QCoreApplication::exec() clears the exit.
    const auto restore = qScopeGuard([&exitTimer] {
        exitTimer.stop();
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        QCoreApplication::exec();
    });
    QElapsedTimer clock;
    clock.start();
    link.SendCommand("25,2000");
    QCOMPARE(link.ReplyText(), QByteArray("?12500000000"));
    QVERIFY(clock.elapsed() < Patient);
    QVERIFY(!link.isWaiting());

    // Later transactions end at once and write nothing.
    link.SendCommand("26,2000,05");
    QCOMPARE(link.ReplyText(), QByteArray("?12600000000"));
    QTest::qWait(Period);
    QCOMPARE(instrument.model.requests().size(), 1);
}

void TestSerialLink::memory_readsAndWrites()
{
    SerialLink link(Patient);
    EmulatedInstrument instrument;
    QVERIFY(connectTo(link, instrument));
    for (int address : {0x0000, 0x1000, 0x2095, 0xFFFF})
        instrument.model.setByteAt(address, quint8(address * 7 + 3));

    for (int address : {0x0000, 0x1000, 0x2095, 0xFFFF}) {
        bool confirmed = false;
        QCOMPARE(ReadMemory(link, address, &confirmed), (address * 7 + 3) & 0xFF);
        QVERIFY(confirmed);
    }

    bool confirmed = false;
    WriteMemory(link, 0x2000, 0x7E, &confirmed);
    QVERIFY(confirmed);
    QCOMPARE(instrument.model.byteAt(0x2000), quint8(0x7E));

    instrument.model.clearRequests();
    WriteMemory(link, 0x2001, 300, &confirmed);
    QVERIFY(!confirmed);
    QCOMPARE(instrument.model.byteAt(0x2001), quint8(0x2C));
    QCOMPARE(instrument.model.requests().size(), 5);
}

void TestSerialLink::memory_wrongEchoesRepeated()
{
    SerialLink link(Patient);
    EmulatedInstrument instrument;
    instrument.model.setByteAt(0x2000, 0x11);
    instrument.model.faults.wrongAddressReplies = 3;
    QVERIFY(connectTo(link, instrument));

    bool confirmed = false;
    QCOMPARE(ReadMemory(link, 0x2000, &confirmed), 0x11);
    QVERIFY(confirmed);
    QCOMPARE(instrument.model.requests().size(), 4);

    instrument.model.clearRequests();
    instrument.model.faults.wrongValueReplies = 2;
    WriteMemory(link, 0x2000, 0x22, &confirmed);
    QVERIFY(confirmed);
    QCOMPARE(instrument.model.requests().size(), 3);
}

void TestSerialLink::memory_silentInstrument_fiveAttemptsUnconfirmed()
{
    SerialLink link(Period);
    EmulatedInstrument instrument;
    instrument.model.setByteAt(0x2000, 0x11);
    instrument.model.faults.silent = true;
    QVERIFY(connectTo(link, instrument));

    bool confirmed = true;
    QCOMPARE(ReadMemory(link, 0x2000, &confirmed), 0);
    QVERIFY(!confirmed);
    QTRY_COMPARE(instrument.model.requests().size(), 5 * 6);

    instrument.model.clearRequests();
    confirmed = true;
    WriteMemory(link, 0x0000, 0, &confirmed);
    QVERIFY(!confirmed);
    QTRY_COMPARE(instrument.model.requests().size(), 5 * 6);
}

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_seriallink.moc"
