#include "PortFixture.h"

#include "device/SerialLink.h"
#include "device/ServiceConsole.h"

#include "ScriptedDialogs.h"

#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace {

// ms: long where the instrument answers, so that a busy machine causes no
// resend; short where the transaction times out.
constexpr int AnswerPeriod = 1000;
constexpr int SilentPeriod = 10;

// A stand-in for the main window: the tabbed panel SSTab1 with a list on its
// first page.
class Host : public QWidget
{
public:
    Host()
    {
        panel->setObjectName(QStringLiteral("SSTab1"));
        panel->addTab(list, QStringLiteral("Programs"));
        panel->addTab(new QWidget, QStringLiteral("Reagents"));
        list->addItems({QStringLiteral("Vial 01"), QStringLiteral("Vial 02")});
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(panel);
    }

    QTabWidget *panel = new QTabWidget;
    QListWidget *list = new QListWidget;
};

} // namespace

class TestServiceConsole : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keys_onlyCtrlShiftSOpensTheConsole_data();
    void keys_onlyCtrlShiftSOpensTheConsole();
    void keys_onAControlOfAPage_doNothing();
    void clickOnATab_thenCtrlShiftS_opensTheConsole_data();
    void clickOnATab_thenCtrlShiftS_opensTheConsole();
    void emptyCommand_sendsAndShowsNothing();
    void command_showsRawResponse_data();
    void command_showsRawResponse();
    void notConnected_showsTimeoutResult();

private:
    // The link on COM1, where the instrument is, and the console on the panel.
    void startConsole(int period);
    void focusPanel();

    QTemporaryDir m_dir;
    std::unique_ptr<EmulatedInstrument> m_instrument;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Host> m_host;
    std::unique_ptr<SerialLink> m_link;
    std::unique_ptr<ServiceConsole> m_console;
};

void TestServiceConsole::init()
{
    QVERIFY(m_dir.isValid());
    IsolatePorts(m_dir);
    m_instrument = std::make_unique<EmulatedInstrument>();
    QVERIFY(m_instrument->open());
    MapPort(1, m_instrument->path());
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_host = std::make_unique<Host>();
    m_host->show();
    QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
}

void TestServiceConsole::cleanup()
{
    QVERIFY(!m_dialogs || m_dialogs->scriptFinished());
    m_console.reset();
    m_host.reset();
    m_dialogs.reset();
    m_link.reset();
    m_instrument.reset();
}

void TestServiceConsole::startConsole(int period)
{
    m_link = std::make_unique<SerialLink>(period);
    m_link->ApplyLineSettings();
    m_link->setPortNumber(1);
    QVERIFY(m_link->OpenPort());
    m_console = std::make_unique<ServiceConsole>(*m_host->panel, *m_link, *m_dialogs);
}

void TestServiceConsole::focusPanel()
{
    m_host->panel->tabBar()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), m_host->panel->tabBar());
}

void TestServiceConsole::keys_onlyCtrlShiftSOpensTheConsole_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("opens");

    QTest::newRow("Ctrl+Shift+S") << int(Qt::Key_S) << (Qt::ControlModifier | Qt::ShiftModifier)
                                  << true;
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << Qt::KeyboardModifiers(Qt::ControlModifier)
                            << false;
    QTest::newRow("Shift+S") << int(Qt::Key_S) << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
    QTest::newRow("S") << int(Qt::Key_S) << Qt::KeyboardModifiers() << false;
    QTest::newRow("Ctrl+Alt+Shift+S")
        << int(Qt::Key_S) << (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier) << false;
    QTest::newRow("Ctrl+Shift+Meta+S")
        << int(Qt::Key_S) << (Qt::ControlModifier | Qt::ShiftModifier | Qt::MetaModifier) << false;
    QTest::newRow("Ctrl+Shift+A") << int(Qt::Key_A) << (Qt::ControlModifier | Qt::ShiftModifier)
                                  << false;
}

void TestServiceConsole::keys_onlyCtrlShiftSOpensTheConsole()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, opens);

    startConsole(AnswerPeriod);
    focusPanel();
    m_dialogs->answerText(opens ? QStringLiteral("F1") : QString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    if (!opens) {
        QVERIFY(m_dialogs->shown().isEmpty());
        m_dialogs->input(nullptr, {}, {}, {}); // use up the unused answer
        return;
    }
    QCOMPARE(m_dialogs->shown().size(), 2);
    const ScriptedDialogs::Shown &input = m_dialogs->shown().first();
    QCOMPARE(input.kind, ScriptedDialogs::Kind::Input);
    QCOMPARE(input.title, QStringLiteral("Input Service Command"));
    QCOMPARE(input.text, QStringLiteral("Command?"));
    QCOMPARE(input.defaultText, QString());
}

// A key the list ignores goes on to the page's parents (the panel, the window)
// and never to the tab bar, where the console listens.
void TestServiceConsole::keys_onAControlOfAPage_doNothing()
{
    startConsole(AnswerPeriod);
    m_host->list->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), m_host->list);
    QTest::keyClick(m_host->list, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(m_dialogs->shown().isEmpty());
}

void TestServiceConsole::clickOnATab_thenCtrlShiftS_opensTheConsole_data()
{
    QTest::addColumn<int>("tab");
    QTest::newRow("the current tab") << 0;
    QTest::newRow("another tab") << 1;
}

void TestServiceConsole::clickOnATab_thenCtrlShiftS_opensTheConsole()
{
    QFETCH(int, tab);
    startConsole(AnswerPeriod);
    m_host->list->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), m_host->list);

    QTabBar *bar = m_host->panel->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    QCOMPARE(m_host->panel->currentIndex(), tab);
    m_dialogs->answerText(QString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S,
                    Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_dialogs->shown().size(), 1);
    QCOMPARE(m_dialogs->last().kind, ScriptedDialogs::Kind::Input);
    QCOMPARE(m_dialogs->last().title, QStringLiteral("Input Service Command"));
}

void TestServiceConsole::emptyCommand_sendsAndShowsNothing()
{
    startConsole(AnswerPeriod);
    focusPanel();
    m_dialogs->answerText(QString()); // Cancel, or OK on an empty box
    QTest::keyClick(m_host->panel->tabBar(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_dialogs->shown().size(), 1);
    QCOMPARE(m_dialogs->shown().first().kind, ScriptedDialogs::Kind::Input);
    QTest::qWait(30); // a request would reach the instrument in far less
    QVERIFY(m_instrument->model.requests().isEmpty());
}

void TestServiceConsole::command_showsRawResponse_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("response");
    QTest::addColumn<int>("period");

    QTest::newRow("identify") << QStringLiteral("F1") << QByteArray("!1F1")
                              << QStringLiteral("Response: ?1F1,4173-528") << AnswerPeriod;
    QTest::newRow("read") << QStringLiteral("25,0010") << QByteArray("!125,0010")
                          << QStringLiteral("Response: ?125,0010,3C") << AnswerPeriod;
    QTest::newRow("spaces go out as typed")
        << QStringLiteral(" 25,0010") << QByteArray("!1 25,0010")
        << QStringLiteral("Response: ?1 200000000") << SilentPeriod;
    QTest::newRow("one-character command times out")
        << QStringLiteral("A") << QByteArray("!1A") << QStringLiteral("Response: ?1A00000000")
        << SilentPeriod;
    QTest::newRow("Windows-1252 text") << QStringLiteral("F1\u20AC") << QByteArray("!1F1\x80")
                                       << QStringLiteral("Response: ?1F100000000") << SilentPeriod;
}

void TestServiceConsole::command_showsRawResponse()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, request);
    QFETCH(QString, response);
    QFETCH(int, period);

    startConsole(period);
    m_instrument->model.setByteAt(0x0010, 0x3C);
    focusPanel();
    m_dialogs->answerText(typed);
    QTest::keyClick(m_host->panel->tabBar(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);

    QCOMPARE(m_dialogs->shown().size(), 2);
    const ScriptedDialogs::Shown &shown = m_dialogs->last();
    QCOMPARE(shown.kind, ScriptedDialogs::Kind::Message);
    QCOMPARE(shown.title, QStringLiteral("Quenor"));
    QCOMPARE(shown.text, response);
    QCOMPARE(shown.icon, Dialogs::Icon::None);
    QCOMPARE(shown.buttons, Dialogs::Buttons::Ok);
    QVERIFY(!m_instrument->model.requests().isEmpty());
    QCOMPARE(m_instrument->model.requests().first(), request);
}

void TestServiceConsole::notConnected_showsTimeoutResult()
{
    startConsole(SilentPeriod);
    m_link->ClosePort();
    m_dialogs->answerText(QStringLiteral("F1"));
    m_console->run();
    QCOMPARE(m_dialogs->last().text, QStringLiteral("Response: ?1F100000000"));
    QVERIFY(m_instrument->model.requests().isEmpty());
}

QTEST_MAIN(TestServiceConsole)
#include "tst_serviceconsole.moc"
