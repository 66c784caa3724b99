#include "emulator/InstrumentModel.h"
#include "emulator/PtyInstrument.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A host side as the link has it: a QSerialPort at 9600 8N1 that collects
// everything it receives, counts its read notifications and closes the port on
// the first error.
class Host : public QObject
{
public:
    explicit Host(const QString &path)
    {
        port.setPortName(path);
        port.setBaudRate(QSerialPort::Baud9600);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        port.setFlowControl(QSerialPort::NoFlowControl);
        connect(&port, &QSerialPort::readyRead, this, [this] {
            received += port.readAll();
            ++notifications;
        });
        connect(&port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
            if (e == QSerialPort::NoError)
                return;
            errors += e;
            // Closed later, not inside the port's own notification.
            QMetaObject::invokeMethod(&port, &QSerialPort::close, Qt::QueuedConnection);
        });
    }
    bool open() { return port.open(QIODevice::ReadWrite); }
    void send(const QByteArray &bytes)
    {
        port.write(bytes);
        port.flush();
    }

    QSerialPort port;
    QByteArray received;
    int notifications = 0;
    QList<QSerialPort::SerialPortError> errors;
};

// Reads from a raw descriptor for up to timeoutMs, until want bytes came.
QByteArray ReadRaw(int fd, qsizetype want, int timeoutMs)
{
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (got.size() < want && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5) > 0 && (p.revents & POLLIN)) {
            char buffer[256];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, n);
        }
    }
    return got;
}

constexpr int Patience = 3000; // ms; generous for a loaded machine, never reached when all is well

} // namespace

// The emulator served on a pseudo-terminal, seen from a host's serial port.
class PtyInstrumentTest : public QObject
{
    Q_OBJECT

private slots:
    void open_givesExistingPortPath();
    void roundTrip_identifyAndMemory();
    void rawLine_noEchoAndNoTranslation();
    void hostReopens_instrumentStillAnswers();
    void hostGone_itsRepliesDoNotReachTheNextHost_data();
    void hostGone_itsRepliesDoNotReachTheNextHost();
    void splitReplies_arriveInSeveralPieces();
    void replyDelay_holdsTheReplyBack();
    void vanish_makesHostPortFail();
    void paced_transactionsTakeAtLeastTheirWireTime();
    void paced_requestCountsAsArrivedAfterItsWireTime();
    void faults_reachTheHost();
};

void PtyInstrumentTest::open_givesExistingPortPath()
{
    InstrumentModel model;
    PtyInstrument pty(model);
    QVERIFY(pty.portPath().isEmpty());
    QVERIFY(pty.open());
    QVERIFY(pty.isOpen());
    QVERIFY(!pty.portPath().isEmpty());
    QVERIFY(QFileInfo::exists(pty.portPath()));
}

void PtyInstrumentTest::roundTrip_identifyAndMemory()
{
    InstrumentModel model;
    model.setByteAt(0x2000, 0x41);
    PtyInstrument pty(model);
    QVERIFY(pty.open());
    QSignalSpy requests(&pty, &PtyInstrument::requestReceived);
    Host host(pty.portPath());
    QVERIFY2(host.open(), qPrintable(host.port.errorString()));

    host.send("!1F1\r");
    QTRY_COMPARE_WITH_TIMEOUT(host.received, "?1F1,4173-528\r"_ba, Patience);
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.at(0).at(0).toByteArray(), "!1F1"_ba);

    host.received.clear();
    host.send("!126,2001,C4\r!125,2000\r");
    QTRY_COMPARE_WITH_TIMEOUT(host.received, "?126,2001,C4\r?125,2000,41\r"_ba, Patience);
    QCOMPARE(model.byteAt(0x2001), quint8(0xC4));
    QCOMPARE(model.requests(), (QByteArrayList{"!1F1", "!126,2001,C4", "!125,2000"}));
    QVERIFY(host.errors.isEmpty());
}

void PtyInstrumentTest::rawLine_noEchoAndNoTranslation()
{
    // A plain descriptor that changes no terminal settings sees the emulator's
    // own: a CR must stay a CR both ways, control bytes must pass untouched and
    // nothing the host sends may come back to it.
    InstrumentModel model;
    PtyInstrument pty(model);
    QVERIFY(pty.open());
    const int fd = ::open(QFile::encodeName(pty.portPath()).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    const QByteArray sent = "\x03\x04\x7f\x1a\x11\x13!1F1\r";
    QCOMPARE(::write(fd, sent.constData(), size_t(sent.size())), ssize_t(sent.size()));
    const QByteArray reply = "?1F1,4173-528\r";
    const QByteArray got = ReadRaw(fd, reply.size() + 1, 300);
    ::close(fd);
    QCOMPARE(got, reply);
    QCOMPARE(model.requests(), QByteArrayList{"!1F1"});
}

void PtyInstrumentTest::hostReopens_instrumentStillAnswers()
{
    InstrumentModel model;
    PtyInstrument pty(model);
    QVERIFY(pty.open());
    for (int round = 0; round < 3; ++round) {
        Host host(pty.portPath());
        QVERIFY2(host.open(), qPrintable(host.port.errorString()));
        host.send("!1F1\r");
        QTRY_COMPARE_WITH_TIMEOUT(host.received, "?1F1,4173-528\r"_ba, Patience);
        host.port.close();
    }
}

void PtyInstrumentTest::hostGone_itsRepliesDoNotReachTheNextHost_data()
{
    QTest::addColumn<int>("replyDelay");
    QTest::newRow("reply sent, host closes without reading it") << 0;
    QTest::newRow("host closes before the reply is due") << 100;
}

void PtyInstrumentTest::hostGone_itsRepliesDoNotReachTheNextHost()
{
    // A real line loses what is sent while the port is closed; a pty would keep
    // it for the next host, which would then see a reply it never asked for.
    QFETCH(int, replyDelay);
    InstrumentModel model;
    PtyInstrument pty(model);
    QVERIFY(pty.open());
    pty.setReplyDelay(replyDelay);
    const QByteArray path = QFile::encodeName(pty.portPath());

    int fd = ::open(path.constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, "!1F1\r", 5), ssize_t(5));
    QTRY_COMPARE_WITH_TIMEOUT(model.requests().size(), 1, Patience);
    if (replyDelay == 0)
        QTest::qWait(50); // the reply waits in the terminal, unread
    ::close(fd);
    QTest::qWait(replyDelay + 50);

    fd = ::open(path.constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    const QByteArray stale = ReadRaw(fd, 1, 100);
    QCOMPARE(::write(fd, "!125,0000\r", 10), ssize_t(10));
    const QByteArray reply = "?125,0000,00\r";
    const QByteArray fresh = ReadRaw(fd, reply.size(), Patience);
    ::close(fd);
    QCOMPARE(stale, QByteArray());
    QCOMPARE(fresh, reply);
}

void PtyInstrumentTest::splitReplies_arriveInSeveralPieces()
{
    InstrumentModel model;
    model.setByteAt(0x2000, 0x41);
    PtyInstrument pty(model);
    QVERIFY(pty.open());
    pty.setSplitReplies(4);
    pty.setSplitGap(40);
    Host host(pty.portPath());
    QVERIFY(host.open());

    QElapsedTimer clock;
    clock.start();
    host.send("!125,2000\r");
    QTRY_COMPARE_WITH_TIMEOUT(host.received, "?125,2000,41\r"_ba, Patience);
    // 13 bytes in pieces of 4: three gaps of 40 ms between four pieces.
    QVERIFY2(clock.elapsed() >= 110, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(host.notifications >= 2, qPrintable(QString::number(host.notifications)));
}

void PtyInstrumentTest::replyDelay_holdsTheReplyBack()
{
    InstrumentModel model;
    PtyInstrument pty(model);
    QVERIFY(pty.open());
    pty.setReplyDelay(150);
    Host host(pty.portPath());
    QVERIFY(host.open());

    QElapsedTimer clock;
    clock.start();
    host.send("!1F1\r");
    QTRY_COMPARE_WITH_TIMEOUT(host.received, "?1F1,4173-528\r"_ba, Patience);
    QVERIFY2(clock.elapsed() >= 140, qPrintable(QString::number(clock.elapsed())));
}

void PtyInstrumentTest::vanish_makesHostPortFail()
{
    InstrumentModel model;
    PtyInstrument pty(model);
    QVERIFY(pty.open());
    const QString path = pty.portPath();
    Host host(path);
    QVERIFY(host.open());
    host.send("!1F1\r");
    QTRY_COMPARE_WITH_TIMEOUT(host.received, "?1F1,4173-528\r"_ba, Patience);

    pty.vanish();
    QVERIFY(!pty.isOpen());
    QVERIFY(!QFileInfo::exists(path));
    // The host notices on its own, without writing. QSerialPort reports a read
    // error on a terminal whose other side is gone, again and again until the
    // port is closed, as the link does on the first one.
    QTRY_VERIFY_WITH_TIMEOUT(!host.port.isOpen(), Patience);
    QVERIFY(!host.errors.isEmpty());
    QVERIFY(host.errors.first() == QSerialPort::ReadError ||
            host.errors.first() == QSerialPort::ResourceError);
    // (Once the host lets go, the path may belong to another process's new pty
    // at once, so it is not tried again.)
    // The emulator can serve a fresh terminal afterwards.
    QVERIFY(pty.open());
    QVERIFY(QFileInfo::exists(pty.portPath()));
}

void PtyInstrumentTest::paced_transactionsTakeAtLeastTheirWireTime()
{
    InstrumentModel model;
    PtyInstrument pty(model);
    QVERIFY(pty.open());
    pty.setPaced(true);
    Host host(pty.portPath());
    QVERIFY(host.open());

    // Ten reads, one after the other: 10 request and 13 reply characters each,
    // 230 characters at 1.0417 ms. Only a lower bound is certain; the upper
    // bound merely catches pacing that is grossly too slow.
    constexpr int Transactions = 10;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < Transactions; ++i) {
        host.received.clear();
        host.send("!125,2000\r");
        QTRY_COMPARE_WITH_TIMEOUT(host.received, "?125,2000,00\r"_ba, Patience);
    }
    const qint64 elapsed = clock.elapsed();
    const double wire = Transactions * 23 * 10.0 / 9.6;
    QVERIFY2(elapsed >= qint64(wire) - 2, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < 4 * wire + 1000, qPrintable(QString::number(elapsed)));
}

void PtyInstrumentTest::paced_requestCountsAsArrivedAfterItsWireTime()
{
    InstrumentModel model;
    PtyInstrument pty(model);
    QVERIFY(pty.open());
    pty.setPaced(true);
    QElapsedTimer clock;
    qint64 arrivedAfter = -1;
    connect(&pty, &PtyInstrument::requestReceived, this,
            [&] { arrivedAfter = clock.nsecsElapsed(); });
    Host host(pty.portPath());
    QVERIFY(host.open());

    // 96 characters take 100 ms on the wire before the request is complete.
    const QByteArray request = QByteArray(86, '~') + "!125,2000\r";
    clock.start();
    host.send(request);
    QTRY_VERIFY_WITH_TIMEOUT(arrivedAfter >= 0, Patience);
    QVERIFY2(arrivedAfter >= 99'000'000, qPrintable(QString::number(arrivedAfter)));
    QTRY_COMPARE_WITH_TIMEOUT(host.received, "?125,2000,00\r"_ba, Patience);
}

void PtyInstrumentTest::faults_reachTheHost()
{
    InstrumentModel model;
    model.faults.echoRequest = true;
    model.faults.garbageBeforeReply = true;
    PtyInstrument pty(model);
    QVERIFY(pty.open());
    Host host(pty.portPath());
    QVERIFY(host.open());
    host.send("!1F1\r");
    QTRY_VERIFY_WITH_TIMEOUT(host.received.endsWith("?1F1,4173-528\r"), Patience);
    QVERIFY(host.received.startsWith("!1F1\r"));
    QVERIFY(host.received.contains("\r\n")); // the noise's LF was not swallowed

    model.faults = {};
    model.faults.silent = true;
    host.received.clear();
    host.send("!1F1\r");
    QTRY_COMPARE_WITH_TIMEOUT(model.requests().size(), 2, Patience);
    QTest::qWait(50);
    QVERIFY(host.received.isEmpty());
}

QTEST_GUILESS_MAIN(PtyInstrumentTest)
#include "tst_ptyinstrument.moc"
