#include "PortFixture.h"

#include "device/SerialLink.h"
#include "device/ServiceConsole.h"

#include "ScriptedDialogs.h"

#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

namespace {

constexpr int Period = 10; // ms

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
    void focusPanel();

    QTemporaryDir m_dir;
    EmulatedInstrument *m_instrument = nullptr;
    SerialLink *m_link = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;
    Host *m_host = nullptr;
    ServiceConsole *m_console = nullptr;
};

void TestServiceConsole::init()
{
    QVERIFY(m_dir.isValid());
    IsolatePorts(m_dir);
    m_instrument = new EmulatedInstrument;
    QVERIFY(m_instrument->open());
    MapPort(1, m_instrument->path());
    m_link = new SerialLink(Period);
    m_link->ApplyLineSettings();
    m_link->setPortNumber(1);
    QVERIFY(m_link->OpenPort());
    m_dialogs = new ScriptedDialogs;
    m_host = new Host;
    m_console = new ServiceConsole(*m_host->panel, *m_link, *m_dialogs);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowActive(m_host));
}

void TestServiceConsole::cleanup()
{
    QVERIFY(m_dialogs->scriptFinished());
    delete m_console;
    delete m_host;
    delete m_dialogs;
    delete m_link;
    delete m_instrument;
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
    focusPanel();
    m_dialogs->answerText(QString()); // Cancel, or OK on an empty box
    QTest::keyClick(m_host->panel->tabBar(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_dialogs->shown().size(), 1);
    QCOMPARE(m_dialogs->shown().first().kind, ScriptedDialogs::Kind::Input);
    QTest::qWait(3 * Period);
    QVERIFY(m_instrument->model.requests().isEmpty());
}

void TestServiceConsole::command_showsRawResponse_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("response");

    QTest::newRow("identify") << QStringLiteral("F1") << QByteArray("!1F1")
                              << QStringLiteral("Response: ?1F1,4173-528");
    QTest::newRow("read") << QStringLiteral("25,0010") << QByteArray("!125,0010")
                          << QStringLiteral("Response: ?125,0010,3C");
    QTest::newRow("spaces go out as typed")
        << QStringLiteral(" 25,0010") << QByteArray("!1 25,0010")
        << QStringLiteral("Response: ?1 200000000");
    QTest::newRow("one-character command times out")
        << QStringLiteral("A") << QByteArray("!1A") << QStringLiteral("Response: ?1A00000000");
    QTest::newRow("Windows-1252 text") << QStringLiteral("F1\u20AC") << QByteArray("!1F1\x80")
                                       << QStringLiteral("Response: ?1F100000000");
}

void TestServiceConsole::command_showsRawResponse()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, request);
    QFETCH(QString, response);

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
    m_link->ClosePort();
    m_dialogs->answerText(QStringLiteral("F1"));
    m_console->run();
    QCOMPARE(m_dialogs->last().text, QStringLiteral("Response: ?1F100000000"));
    QVERIFY(m_instrument->model.requests().isEmpty());
}

QTEST_MAIN(TestServiceConsole)
#include "tst_serviceconsole.moc"
