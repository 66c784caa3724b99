#include "PortFixture.h"
#include "RecordingView.h"

#include "device/DeviceSearch.h"
#include "device/SerialLink.h"

#include <QTest>

#include <memory>

class TestDeviceSearch : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void captions();
    void noSavedPortNoInstrument_notConnectedAndNothingStored();
    void savedPortAnswers_connectsAndStaysOpen();
    void savedPortSilent_noScan();
    void scan_highestAnsweringPortWins_data();
    void scan_highestAnsweringPortWins();
    void wrongIdentity_notFound();
    void storedCommPort_data();
    void storedCommPort();
    void searchAgain_samePort_staysConnected();
    void searchDuringSearch_doesNothing();

private:
    // An instrument on port, answering with identity; silent when asked.
    EmulatedInstrument &addInstrument(int port, const QByteArray &identity = "4173-528",
                                      bool silent = false);

    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<EmulatedInstrument>> m_instruments;
};

void TestDeviceSearch::init()
{
    m_instruments.clear();
    QVERIFY(m_dir.isValid());
    IsolatePorts(m_dir);
}

EmulatedInstrument &TestDeviceSearch::addInstrument(int port, const QByteArray &identity,
                                                    bool silent)
{
    auto instrument = std::make_unique<EmulatedInstrument>();
    instrument->model.faults.identity = identity;
    instrument->model.faults.silent = silent;
    if (!instrument->open())
        qFatal("cannot open a pty");
    MapPort(port, instrument->path());
    m_instruments.push_back(std::move(instrument));
    return *m_instruments.back();
}

void TestDeviceSearch::captions()
{
    QCOMPARE(ConnectionView::ConnectedCaption(7), QStringLiteral("Quenor - connected on COM7"));
    QCOMPARE(ConnectionView::ConnectedCaption(16), QStringLiteral("Quenor - connected on COM16"));
    QCOMPARE(ConnectionView::NotConnectedCaption(), QStringLiteral("Quenor - not connected."));
}

void TestDeviceSearch::noSavedPortNoInstrument_notConnectedAndNothingStored()
{
    SerialLink link(SearchPeriod);
    RecordingView view;
    ConnectDevice(link, view);
    QCOMPARE(view.calls, QStringList{ConnectionView::NotConnectedCaption()});
    QVERIFY(!view.transfersEnabled);
    QVERIFY(!link.isOpen());
    QVERIFY(!AppSettings::Open().contains(AppSettings::CommPort));
}

void TestDeviceSearch::savedPortAnswers_connectsAndStaysOpen()
{
    EmulatedInstrument &instrument = addInstrument(3);
    StoreCommPort(QStringLiteral("3"));
    SerialLink link(SearchPeriod);
    link.ApplyLineSettings();
    RecordingView view;
    ConnectDevice(link, view);

    QCOMPARE(view.calls, QStringList{QStringLiteral("Quenor - connected on COM3")});
    QVERIFY(view.transfersEnabled);
    QCOMPARE(StoredCommPort(), QStringLiteral("3"));
    QVERIFY(link.isOpen());
    QCOMPARE(link.portNumber(), 3);

    link.SendCommand("F1");
    QCOMPARE(link.ReplyText(), QByteArray("?1F1,4173-528"));
    QCOMPARE(instrument.model.requests().size(), 2);
}

void TestDeviceSearch::savedPortSilent_noScan()
{
    EmulatedInstrument &silent = addInstrument(3, "4173-528", true);
    EmulatedInstrument &elsewhere = addInstrument(5);
    StoreCommPort(QStringLiteral("3"));
    SerialLink link(SilentSearchPeriod);
    RecordingView view;
    ConnectDevice(link, view);

    QCOMPARE(view.calls, QStringList{ConnectionView::NotConnectedCaption()});
    QVERIFY(!link.isOpen());
    QCOMPARE(StoredCommPort(), QStringLiteral("3"));
    QTRY_COMPARE(silent.model.requests().size(), 6);
    QCOMPARE(elsewhere.model.requests().size(), 0);
}

void TestDeviceSearch::scan_highestAnsweringPortWins_data()
{
    QTest::addColumn<QList<int>>("ports");
    QTest::addColumn<int>("found");

    QTest::newRow("COM2 and COM7") << QList<int>{2, 7} << 7;
    QTest::newRow("COM1, the first") << QList<int>{1} << 1;
    QTest::newRow("COM16, the last") << QList<int>{16} << 16;
    QTest::newRow("COM1 and COM16") << QList<int>{1, 16} << 16;
}

void TestDeviceSearch::scan_highestAnsweringPortWins()
{
    QFETCH(QList<int>, ports);
    QFETCH(int, found);
    for (int port : ports)
        addInstrument(port);
    SerialLink link(SearchPeriod);
    RecordingView view;
    ConnectDevice(link, view);

    QCOMPARE(view.calls, QStringList{ConnectionView::ConnectedCaption(found)});
    QCOMPARE(StoredCommPort(), QString::number(found));
    QVERIFY(link.isOpen());
    QCOMPARE(link.portNumber(), found);
    // Every instrument was asked once; the one found answers on the open port.
    for (const auto &instrument : m_instruments)
        QCOMPARE(instrument->model.requests().size(), 1);
    link.SendCommand("F1");
    QCOMPARE(link.ReplyText(), QByteArray("?1F1,4173-528"));
    QCOMPARE(m_instruments.back()->model.requests().size(), 2);
}

void TestDeviceSearch::wrongIdentity_notFound()
{
    EmulatedInstrument &other = addInstrument(4, "4173-5280");
    SerialLink link(SearchPeriod);
    RecordingView view;
    ConnectDevice(link, view);
    QCOMPARE(view.calls, QStringList{ConnectionView::NotConnectedCaption()});
    QCOMPARE(other.model.requests().size(), 1);
    QVERIFY(!AppSettings::Open().contains(AppSettings::CommPort));
}

void TestDeviceSearch::storedCommPort_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("read");
    QTest::addColumn<int>("connectedOn");

    // The instrument is on COM6; a value that reads as 0 scans and finds it.
    QTest::newRow("its port") << QStringLiteral("6") << 6 << 6;
    QTest::newRow("surrounding spaces") << QStringLiteral(" 6 ") << 6 << 6;
    QTest::newRow("another port") << QStringLiteral("16") << 16 << 0;
    QTest::newRow("zero") << QStringLiteral("0") << 0 << 6;
    QTest::newRow("empty") << QString() << 0 << 6;
    QTest::newRow("above 16") << QStringLiteral("17") << 0 << 6;
    QTest::newRow("negative") << QStringLiteral("-3") << 0 << 6;
    QTest::newRow("fraction") << QStringLiteral("3.5") << 0 << 6;
    QTest::newRow("text") << QStringLiteral("COM3") << 0 << 6;
    QTest::newRow("huge") << QStringLiteral("99999999999999999999") << 0 << 6;
}

void TestDeviceSearch::storedCommPort()
{
    QFETCH(QString, stored);
    QFETCH(int, read);
    QFETCH(int, connectedOn);

    QCOMPARE(SavedCommPort(0), 0);
    QCOMPARE(SavedCommPort(1), 1);
    StoreCommPort(stored);
    QCOMPARE(SavedCommPort(1), read);

    addInstrument(6);
    SerialLink link(SearchPeriod);
    RecordingView view;
    ConnectDevice(link, view);
    QCOMPARE(view.caption, connectedOn ? ConnectionView::ConnectedCaption(connectedOn)
                                       : ConnectionView::NotConnectedCaption());
    QCOMPARE(StoredCommPort(), connectedOn ? QString::number(connectedOn) : stored);
}

// The second search finds the port open from the first: it must close it
// before probing, or its probe fails to open the very port it wants.
void TestDeviceSearch::searchAgain_samePort_staysConnected()
{
    EmulatedInstrument &instrument = addInstrument(1);
    StoreCommPort(QStringLiteral("1"));
    SerialLink link(SearchPeriod);
    link.ApplyLineSettings();
    RecordingView view;
    ConnectDevice(link, view);
    QVERIFY(link.isOpen());

    ConnectDevice(link, view);
    QCOMPARE(view.calls, QStringList(2, ConnectionView::ConnectedCaption(1)));
    QVERIFY(link.isOpen());
    QCOMPARE(link.portNumber(), 1);
    QCOMPARE(StoredCommPort(), QStringLiteral("1"));
    QCOMPARE(instrument.model.requests().size(), 2);
}

void TestDeviceSearch::searchDuringSearch_doesNothing()
{
    addInstrument(2);
    EmulatedInstrument &silent = addInstrument(3, "4173-528", true);
    SerialLink link(SilentSearchPeriod);
    link.ApplyLineSettings();
    RecordingView view;

    // A second search asked for while COM3 is probed, as OK on COM2 would.
    RecordingView secondView;
    bool asked = false;
    connect(&silent.pty, &PtyInstrument::requestReceived, &link, [&] {
        if (asked)
            return;
        asked = true;
        StoreCommPort(QStringLiteral("2"));
        ConnectDevice(link, secondView);
    });
    ConnectDevice(link, view);

    QVERIFY(asked);
    QVERIFY(secondView.calls.isEmpty());
    QCOMPARE(view.calls, QStringList{QStringLiteral("Quenor - connected on COM2")});
    QCOMPARE(StoredCommPort(), QStringLiteral("2"));
    QCOMPARE(link.portNumber(), 2);
    // The probe of COM3 ran its course, undisturbed.
    QTRY_COMPARE(silent.model.requests().size(), 6);
    link.SendCommand("F1");
    QCOMPARE(link.ReplyText(), QByteArray("?1F1,4173-528"));
}

QTEST_GUILESS_MAIN(TestDeviceSearch)
#include "tst_devicesearch.moc"
