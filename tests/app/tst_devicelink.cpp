#include "IsolatedPorts.h"
#include "MainWindowFixture.h"
#include "device/SerialLink.h"
#include "emulator/InstrumentModel.h"
#include "emulator/PtyInstrument.h"
#include "ui/AppSettings.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const char *const TransferButtons[] = {"cmdReadProgram", "cmdSendProgram", "cmdReadAllReagents",
                                       "cmdReadReagents", "cmdSend"};

// An emulated instrument on a pty of its own.
struct Instrument
{
    InstrumentModel model;
    PtyInstrument pty{model};
};

} // namespace

// The device link as the main window uses it: the search during the load,
// the settings dialog from the File menu, and the service console on the tabs.
class TestDeviceLink : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void load_instrumentOnSavedPort_showsConnected();
    void load_noInstrument_showsNotConnectedAndKeepsSetting();
    void settings_findDevice_connectsToTheInstrumentsPort();
    void settings_ok_searchesTheChosenPort();
    void console_ctrlShiftS_showsTheInstrumentsReply();
    void console_withoutInstrument_showsTimeoutResult();
    void close_closesThePort();

private:
    // Runs the settings dialog from the File menu; act gets it while it is open.
    void withSettingsDialog(MainWindowFixture &f, const std::function<void(QDialog &)> &act);
    void verifyTransferButtons(MainWindowFixture &f, bool enabled);
    void openConsole(MainWindowFixture &f);
};

void TestDeviceLink::init()
{
    AppSettings::Open().clear();
}

void TestDeviceLink::verifyTransferButtons(MainWindowFixture &f, bool enabled)
{
    for (const char *name : TransferButtons)
        QVERIFY2(f.find<QPushButton>(name)->isEnabled() == enabled, name);
}

void TestDeviceLink::withSettingsDialog(MainWindowFixture &f,
                                        const std::function<void(QDialog &)> &act)
{
    bool acted = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->objectName(), u"frmSettings"_s);
        act(*dialog);
        acted = true;
        if (dialog->isVisible())
            dialog->reject();
    });
    f.window().findChild<QAction *>(u"mnSettings"_s)->trigger();
    QVERIFY(acted);
}

void TestDeviceLink::openConsole(MainWindowFixture &f)
{
    QTabBar *tabs = f.find<QTabWidget>("SSTab1")->tabBar();
    tabs->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), tabs);
    QTest::keyClick(tabs, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
}

void TestDeviceLink::load_instrumentOnSavedPort_showsConnected()
{
    Instrument instrument;
    QVERIFY(instrument.pty.open());
    MainWindowFixture f(SampleStore(), [&] {
        MapPort(1, instrument.pty.portPath());
        AppSettings::Open().setValue(AppSettings::CommPort, u"1"_s);
    });
    QCOMPARE(f.window().windowTitle(), u"Quenor - connected on COM1"_s);
    verifyTransferButtons(f, true);
    QVERIFY(f.window().link().isOpen());
    QCOMPARE(instrument.model.requests(), QByteArrayList{"!1F1"});
}

void TestDeviceLink::load_noInstrument_showsNotConnectedAndKeepsSetting()
{
    MainWindowFixture f;
    QCOMPARE(f.window().windowTitle(), u"Quenor - not connected."_s);
    verifyTransferButtons(f, false);
    QVERIFY(!AppSettings::Open().contains(AppSettings::CommPort));
}

void TestDeviceLink::settings_findDevice_connectsToTheInstrumentsPort()
{
    Instrument instrument;
    QVERIFY(instrument.pty.open());
    MainWindowFixture f(SampleStore(), [&] {
        MapPort(5, instrument.pty.portPath());
        AppSettings::Open().setValue(AppSettings::CommPort, u"3"_s);
    });
    // Only the saved port is probed at the start.
    QCOMPARE(f.window().windowTitle(), u"Quenor - not connected."_s);

    withSettingsDialog(f, [&](QDialog &dialog) {
        auto *cbComm = dialog.findChild<QComboBox *>(u"cbComm"_s);
        QCOMPARE(cbComm->currentIndex(), 2);
        QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdFindDevice"_s), Qt::LeftButton);
        QCOMPARE(cbComm->currentIndex(), 4);
        QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdCancel"_s), Qt::LeftButton);
    });
    QCOMPARE(f.window().windowTitle(), u"Quenor - connected on COM5"_s);
    verifyTransferButtons(f, true);
    QCOMPARE(AppSettings::Open().value(AppSettings::CommPort).toString(), u"5"_s);
    QVERIFY(f.dialogs().shown().isEmpty());
}

void TestDeviceLink::settings_ok_searchesTheChosenPort()
{
    Instrument instrument;
    QVERIFY(instrument.pty.open());
    MainWindowFixture f(SampleStore(), [&] {
        MapPort(2, instrument.pty.portPath());
        AppSettings::Open().setValue(AppSettings::CommPort, u"7"_s);
    });
    QCOMPARE(f.window().windowTitle(), u"Quenor - not connected."_s);

    withSettingsDialog(f, [&](QDialog &dialog) {
        dialog.findChild<QComboBox *>(u"cbComm"_s)->setCurrentIndex(1);
        QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdOK"_s), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    });
    QCOMPARE(f.window().windowTitle(), u"Quenor - connected on COM2"_s);
    verifyTransferButtons(f, true);
    QCOMPARE(AppSettings::Open().value(AppSettings::CommPort).toString(), u"2"_s);
}

void TestDeviceLink::console_ctrlShiftS_showsTheInstrumentsReply()
{
    Instrument instrument;
    QVERIFY(instrument.pty.open());
    MainWindowFixture f(SampleStore(), [&] {
        MapPort(1, instrument.pty.portPath());
        AppSettings::Open().setValue(AppSettings::CommPort, u"1"_s);
    });
    f.dialogs().answerText(u"F1"_s);
    openConsole(f);

    const auto &shown = f.dialogs().shown();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].kind, ScriptedDialogs::Kind::Input);
    QCOMPARE(shown[0].title, u"Input Service Command"_s);
    QCOMPARE(shown[0].text, u"Command?"_s);
    QCOMPARE(shown[1].title, u"Quenor"_s);
    QCOMPARE(shown[1].text, u"Response: ?1F1,4173-528"_s);
    QCOMPARE(shown[1].icon, Dialogs::Icon::None);
    QCOMPARE(shown[1].buttons, Dialogs::Buttons::Ok);
}

void TestDeviceLink::console_withoutInstrument_showsTimeoutResult()
{
    MainWindowFixture f;
    f.dialogs().answerText(u"F1"_s);
    openConsole(f);
    QCOMPARE(f.dialogs().shown().size(), 2);
    QCOMPARE(f.dialogs().last().text, u"Response: ?1F100000000"_s);
}

void TestDeviceLink::close_closesThePort()
{
    Instrument instrument;
    QVERIFY(instrument.pty.open());
    MainWindowFixture f(SampleStore(), [&] {
        MapPort(1, instrument.pty.portPath());
        AppSettings::Open().setValue(AppSettings::CommPort, u"1"_s);
    });
    QVERIFY(f.window().link().isOpen());
    f.window().close();
    QVERIFY(!f.window().link().isOpen());
}

QTEST_MAIN(TestDeviceLink)
#include "tst_devicelink.moc"
