#include "PortFixture.h"
#include "RecordingView.h"

#include "device/DeviceSearch.h"
#include "device/SerialLink.h"
#include "device/SettingsDialog.h"

#include "ScriptedDialogs.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <utility>

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layout_namesAndTexts();
    void load_selectsSavedPort_data();
    void load_selectsSavedPort();
    void ok_writesChoiceAndSearchesThere();
    void ok_withoutChoice_scansAllPorts();
    void cancel_writesNothing();
    void findDevice_afterFailedSavedPort_findsAndSelects();
    void findDevice_nothingFound_tellsTheUser();
    void findDevice_okCancelCloseAndSearchDuringScan_ignored();
    void ok_cancelCloseAndSearchDuringItsSearch_ignored();

private:
    EmulatedInstrument &addInstrument(int port, bool silent = false);
    // Everything a user (or an event) could try while a search waits on a
    // silent port: OK with another port, Cancel, Escape, the close box, Find
    // Device, a search of its own.
    void tryToInterrupt(int otherIndex);
    void useShortPeriod();
    QPushButton *button(const QString &name) const
    {
        return m_dialog->findChild<QPushButton *>(name);
    }
    QComboBox *cbComm() const { return m_dialog->findChild<QComboBox *>(QStringLiteral("cbComm")); }
    void openDialog();

    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<EmulatedInstrument>> m_instruments;
    std::unique_ptr<SerialLink> m_link;
    RecordingView m_view;
    ScriptedDialogs m_dialogs;

    std::unique_ptr<SettingsDialog> m_dialog;
};

void TestSettingsDialog::init()
{
    QVERIFY(m_dir.isValid());
    IsolatePorts(m_dir);
    m_link = std::make_unique<SerialLink>(SearchPeriod);
    m_link->ApplyLineSettings();
    m_view.calls.clear();
    m_view.caption = QStringLiteral("Quenor");
    m_dialogs.clear();
    m_dialogs.onShown = nullptr;
}

void TestSettingsDialog::cleanup()
{
    QVERIFY(m_dialogs.scriptFinished());
    m_dialog.reset();
    m_link.reset();
    m_instruments.clear();
}

EmulatedInstrument &TestSettingsDialog::addInstrument(int port, bool silent)
{
    auto instrument = std::make_unique<EmulatedInstrument>();
    instrument->model.faults.silent = silent;
    if (!instrument->open())
        qFatal("cannot open a pty");
    MapPort(port, instrument->path());
    m_instruments.push_back(std::move(instrument));
    return *m_instruments.back();
}

void TestSettingsDialog::openDialog()
{
    m_dialog = std::make_unique<SettingsDialog>(*m_link, m_view, m_dialogs);
    m_dialog->show();
}

void TestSettingsDialog::layout_namesAndTexts()
{
    openDialog();
    QCOMPARE(m_dialog->objectName(), QStringLiteral("frmSettings"));
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Settings"));
    auto *frame = m_dialog->findChild<QGroupBox *>();
    QVERIFY(frame);
    QCOMPARE(frame->title(), QStringLiteral("Communication Port"));
    QVERIFY(frame->isAncestorOf(cbComm()));
    QVERIFY(frame->isAncestorOf(button(QStringLiteral("cmdFindDevice"))));
    QCOMPARE(cbComm()->accessibleName(), QStringLiteral("Communication Port"));

    QStringList entries;
    for (int i = 0; i < cbComm()->count(); ++i)
        entries.append(cbComm()->itemText(i));
    QStringList expected;
    for (int port = 1; port <= 16; ++port)
        expected.append(QStringLiteral("COM%1").arg(port));
    QCOMPARE(entries, expected);

    QCOMPARE(button(QStringLiteral("cmdFindDevice"))->text(), QStringLiteral("Find Device"));
    QCOMPARE(button(QStringLiteral("cmdOK"))->text(), QStringLiteral("OK"));
    QCOMPARE(button(QStringLiteral("cmdCancel"))->text(), QStringLiteral("Cancel"));
    QVERIFY(m_view.calls.isEmpty()); // opening searches nothing
}

void TestSettingsDialog::load_selectsSavedPort_data()
{
    QTest::addColumn<QString>("stored"); // a null text: no setting
    QTest::addColumn<int>("index");

    QTest::newRow("no setting selects COM1") << QString() << 0;
    QTest::newRow("5 selects COM5") << QStringLiteral("5") << 4;
    QTest::newRow("16 selects COM16") << QStringLiteral("16") << 15;
    QTest::newRow("0 selects nothing") << QStringLiteral("0") << -1;
    QTest::newRow("damaged value selects nothing") << QStringLiteral("COM5") << -1;
    QTest::newRow("out of range selects nothing") << QStringLiteral("40") << -1;
}

void TestSettingsDialog::load_selectsSavedPort()
{
    QFETCH(QString, stored);
    QFETCH(int, index);
    if (!stored.isNull())
        StoreCommPort(stored);
    openDialog();
    QCOMPARE(cbComm()->currentIndex(), index);
}

void TestSettingsDialog::ok_writesChoiceAndSearchesThere()
{
    EmulatedInstrument &chosen = addInstrument(5);
    EmulatedInstrument &other = addInstrument(9);
    StoreCommPort(QStringLiteral("2"));
    openDialog();
    cbComm()->setCurrentIndex(4);
    QTest::mouseClick(button(QStringLiteral("cmdOK")), Qt::LeftButton);

    QCOMPARE(StoredCommPort(), QStringLiteral("5"));
    QCOMPARE(m_view.calls, QStringList{QStringLiteral("Quenor - connected on COM5")});
    QVERIFY(m_link->isOpen());
    QCOMPARE(chosen.model.requests().size(), 1);
    QCOMPARE(other.model.requests().size(), 0);
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QVERIFY(!m_dialog->isVisible());
}

void TestSettingsDialog::ok_withoutChoice_scansAllPorts()
{
    addInstrument(9);
    StoreCommPort(QStringLiteral("0"));
    openDialog();
    QCOMPARE(cbComm()->currentIndex(), -1);
    QTest::mouseClick(button(QStringLiteral("cmdOK")), Qt::LeftButton);

    QCOMPARE(StoredCommPort(), QStringLiteral("9"));
    QCOMPARE(m_view.calls, QStringList{QStringLiteral("Quenor - connected on COM9")});
    QVERIFY(!m_dialog->isVisible());
}

void TestSettingsDialog::cancel_writesNothing()
{
    EmulatedInstrument &instrument = addInstrument(4);
    StoreCommPort(QStringLiteral("2"));
    openDialog();
    cbComm()->setCurrentIndex(3);
    QTest::mouseClick(button(QStringLiteral("cmdCancel")), Qt::LeftButton);

    QCOMPARE(StoredCommPort(), QStringLiteral("2"));
    QVERIFY(m_view.calls.isEmpty());
    QCOMPARE(instrument.model.requests().size(), 0);
    QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
    QVERIFY(!m_dialog->isVisible());
}

void TestSettingsDialog::findDevice_afterFailedSavedPort_findsAndSelects()
{
    EmulatedInstrument &instrument = addInstrument(5);
    StoreCommPort(QStringLiteral("3"));
    openDialog();
    QTest::mouseClick(button(QStringLiteral("cmdOK")), Qt::LeftButton);
    QCOMPARE(m_view.calls, QStringList{ConnectionView::NotConnectedCaption()});
    QCOMPARE(instrument.model.requests().size(), 0);
    QCOMPARE(StoredCommPort(), QStringLiteral("3"));

    openDialog();
    QPushButton *find = button(QStringLiteral("cmdFindDevice"));
    QString captionWhileSearching;
    bool enabledWhileSearching = true;
    connect(&instrument.pty, &PtyInstrument::requestReceived, this, [&] {
        captionWhileSearching = find->text();
        enabledWhileSearching = find->isEnabled();
    });
    QTest::mouseClick(find, Qt::LeftButton);

    QCOMPARE(captionWhileSearching, QStringLiteral("Looking for Device..."));
    QVERIFY(!enabledWhileSearching);
    QCOMPARE(find->text(), QStringLiteral("Find Device"));
    QVERIFY(find->isEnabled());
    QCOMPARE(StoredCommPort(), QStringLiteral("5"));
    QCOMPARE(cbComm()->currentIndex(), 4);
    QCOMPARE(m_view.caption, QStringLiteral("Quenor - connected on COM5"));
    QVERIFY(m_dialogs.shown().isEmpty());
    QVERIFY(m_dialog->isVisible());

    // Cancel keeps what the search found.
    QTest::mouseClick(button(QStringLiteral("cmdCancel")), Qt::LeftButton);
    QCOMPARE(StoredCommPort(), QStringLiteral("5"));
    QVERIFY(m_link->isOpen());
    QCOMPARE(m_view.caption, QStringLiteral("Quenor - connected on COM5"));
}

void TestSettingsDialog::findDevice_nothingFound_tellsTheUser()
{
    StoreCommPort(QStringLiteral("7"));
    openDialog();
    QPushButton *find = button(QStringLiteral("cmdFindDevice"));
    QString captionAtMessage;
    m_dialogs.onShown = [&](const ScriptedDialogs::Shown &) {
        captionAtMessage = find->text();
    };
    QTest::mouseClick(find, Qt::LeftButton);

    QCOMPARE(m_dialogs.shown().size(), 1);
    const ScriptedDialogs::Shown &shown = m_dialogs.last();
    QCOMPARE(shown.kind, ScriptedDialogs::Kind::Message);
    QCOMPARE(shown.title, QStringLiteral("Find Device"));
    QCOMPARE(shown.text, QStringLiteral("Device couldn't be found."));
    QCOMPARE(shown.icon, Dialogs::Icon::Critical);
    QCOMPARE(shown.buttons, Dialogs::Buttons::Ok);
    QCOMPARE(captionAtMessage, QStringLiteral("Looking for Device..."));

    QCOMPARE(find->text(), QStringLiteral("Find Device"));
    QVERIFY(find->isEnabled());
    QCOMPARE(StoredCommPort(), QStringLiteral("0"));
    QCOMPARE(cbComm()->currentIndex(), 6); // the selection is left as it was
    QCOMPARE(m_view.calls, QStringList{ConnectionView::NotConnectedCaption()});
}

void TestSettingsDialog::useShortPeriod()
{
    m_link = std::make_unique<SerialLink>(SilentSearchPeriod);
    m_link->ApplyLineSettings();
}

void TestSettingsDialog::tryToInterrupt(int otherIndex)
{
    for (const char *name : {"cmdOK", "cmdCancel", "cmdFindDevice"})
        QVERIFY2(!button(QLatin1StringView(name))->isEnabled(), name);
    QVERIFY(!cbComm()->isEnabled());

    cbComm()->setCurrentIndex(otherIndex);
    QTest::mouseClick(button(QStringLiteral("cmdOK")), Qt::LeftButton);
    QTest::mouseClick(button(QStringLiteral("cmdCancel")), Qt::LeftButton);
    QTest::mouseClick(button(QStringLiteral("cmdFindDevice")), Qt::LeftButton);
    QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
    QTest::keyClick(m_dialog.get(), Qt::Key_Return);
    QVERIFY(!m_dialog->close());
    QDialog &dialog = *m_dialog;
    dialog.accept();
    dialog.reject();
    RecordingView secondView;
    ConnectDevice(*m_link, secondView);

    QVERIFY(m_dialog->isVisible());
    QVERIFY(secondView.calls.isEmpty());
    QVERIFY(m_dialogs.shown().isEmpty());
}

void TestSettingsDialog::findDevice_okCancelCloseAndSearchDuringScan_ignored()
{
    addInstrument(2);
    EmulatedInstrument &silent = addInstrument(3, true);
    StoreCommPort(QStringLiteral("4"));
    useShortPeriod();
    openDialog();

    // While COM3 is probed, COM2 is picked and OK pressed, and more.
    bool tried = false;
    connect(&silent.pty, &PtyInstrument::requestReceived, m_dialog.get(), [&] {
        if (!std::exchange(tried, true))
            tryToInterrupt(1);
    });
    QTest::mouseClick(button(QStringLiteral("cmdFindDevice")), Qt::LeftButton);

    QVERIFY(tried);
    QCOMPARE(m_view.calls, QStringList{QStringLiteral("Quenor - connected on COM2")});
    QCOMPARE(StoredCommPort(), QStringLiteral("2"));
    QVERIFY(m_link->isOpen());
    QCOMPARE(m_link->portNumber(), 2);
    QTRY_COMPARE(silent.model.requests().size(), 6);
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(cbComm()->currentIndex(), 1);
    for (const char *name : {"cmdOK", "cmdCancel", "cmdFindDevice"})
        QVERIFY2(button(QLatin1StringView(name))->isEnabled(), name);
    QVERIFY(cbComm()->isEnabled());
    QCOMPARE(button(QStringLiteral("cmdFindDevice"))->text(), QStringLiteral("Find Device"));

    // The dialog works as before once the search has ended.
    QTest::mouseClick(button(QStringLiteral("cmdCancel")), Qt::LeftButton);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
}

void TestSettingsDialog::ok_cancelCloseAndSearchDuringItsSearch_ignored()
{
    EmulatedInstrument &other = addInstrument(2);
    EmulatedInstrument &silent = addInstrument(3, true);
    StoreCommPort(QStringLiteral("1"));
    useShortPeriod();
    openDialog();
    cbComm()->setCurrentIndex(2);

    bool tried = false;
    connect(&silent.pty, &PtyInstrument::requestReceived, m_dialog.get(), [&] {
        if (!std::exchange(tried, true))
            tryToInterrupt(1);
    });
    QTest::mouseClick(button(QStringLiteral("cmdOK")), Qt::LeftButton);

    QVERIFY(tried);
    QCOMPARE(m_view.calls, QStringList{ConnectionView::NotConnectedCaption()});
    QCOMPARE(StoredCommPort(), QStringLiteral("3"));
    QVERIFY(!m_link->isOpen());
    QTRY_COMPARE(silent.model.requests().size(), 6);
    QVERIFY(other.model.requests().isEmpty());
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
