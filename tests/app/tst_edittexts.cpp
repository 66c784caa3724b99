#include "AppFixture.h"
#include "app/DigitKeyFilter.h"
#include "app/EditorTexts.h"
#include "app/SpinArrows.h"

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

// The editor's texts, the numeric boxes' key filter and the spin control,
// apart from any window.
class TestEditTexts : public QObject
{
    Q_OBJECT

private slots:
    void vialLine_data();
    void vialLine();
    void durationText_data();
    void durationText();
    void reagentTexts();
    void questions();

    void digitKeyFilter_data();
    void digitKeyFilter();
    void keyAscii_data();
    void keyAscii();

    void spinArrows_upRaisesDownLowers();
};

void TestEditTexts::vialLine_data()
{
    QTest::addColumn<VialStep>("step");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("example") << Step(4, 2, 1, 1, 5, 37)
                             << QByteArray("Vial 03: Ethanol 70%   AG2 01:05 37\xB0"
                                           "C PAUSE");
    QTest::newRow("heater off, continue") << Step(1, 0, 0, 0, 0, 0)
                                          << QByteArray("Vial 03: EMPTY         AG0 00:00 --\xB0"
                                                        "C CONT");
    QTest::newRow("5 degrees") << Step(2, 3, 0, 12, 45, 5)
                               << QByteArray("Vial 03: Formalin 10%  AG3 12:45 05\xB0"
                                             "C CONT");
    QTest::newRow("pause other than 1") << Step(3, 1, 7, 0, 1, 60)
                                        << QByteArray("Vial 03: Water         AG1 00:01 60\xB0"
                                                      "C CONT");
    QTest::newRow("unknown reagent") << Step(0, 1, 0, 0, 1, 0)
                                     << QByteArray("Vial 03: (unknown 0)   AG1 00:01 --\xB0"
                                                   "C CONT");
}

void TestEditTexts::vialLine()
{
    QFETCH(VialStep, step);
    QFETCH(QByteArray, line);
    ProgramStore store = SampleStore();
    store.Programs[1].Vials[3] = step;
    QCOMPARE(VialLine(store, 1, 3), line);
}

void TestEditTexts::durationText_data()
{
    QTest::addColumn<int>("duration");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("0") << 0 << QByteArray("Total Time: 00h 00min");
    QTest::newRow("90") << 90 << QByteArray("Total Time: 01h 30min");
    QTest::newRow("100 hours") << 6000 << QByteArray("Total Time: 100h 00min");
    QTest::newRow("largest") << 24 * (99 * 60 + 59) << QByteArray("Total Time: 2399h 36min");
    QTest::newRow("negative") << -1 << QByteArray("Total Time: -01h 59min");
}

void TestEditTexts::durationText()
{
    QFETCH(int, duration);
    QFETCH(QByteArray, text);
    QCOMPARE(DurationText(duration), text);
}

void TestEditTexts::reagentTexts()
{
    const ProgramStore store = SampleStore();
    QCOMPARE(ReagentLine(store.Reagents, 12), QByteArray("Reagent 012: \"Decalcifier  \""));
    QCOMPARE(ReagentChoice(store.Reagents, 1), QByteArray("001: EMPTY        "));
    QCOMPARE(ReagentCaption(12), QByteArray("Reagent 012:"));
    QCOMPARE(ProgramCaption(7), QByteArray("Program 07"));
    QCOMPARE(ReagentName(store.Reagents, 201), QByteArray("(unknown 201)"));
    QCOMPARE(ReagentName(store.Reagents, -7), QByteArray("(unknown -7) "));
}

void TestEditTexts::questions()
{
    QCOMPARE(ProgramQuestion(5, "Fixation     ", false),
             QByteArray("Program05 (\"Fixation\") will be overwritten. Are you sure?"));
    QCOMPARE(ProgramQuestion(12, "             ", true),
             QByteArray("Program12 (\"\") will be deleted. Are you sure?"));
    QCOMPARE(VialQuestion(3, "Eth  anol 7  ", true),
             QByteArray("Vial03 (\"Eth  anol 7\") will be deleted. Are you sure?"));
}

void TestEditTexts::digitKeyFilter_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("kept");
    for (int key : std::initializer_list<int>{'0', '5', '9', 3, 8, 22, 24})
        QTest::addRow("%d kept", key) << key << key;
    for (int key : std::initializer_list<int>{'/', ':', '-', '.', ',', ' ', '+', 'a', 'Z', 1, 9, 13,
                                              26, 27, 127, 0xB0, 255})
        QTest::addRow("%d discarded", key) << key << 0;
}

void TestEditTexts::digitKeyFilter()
{
    QFETCH(int, key);
    QFETCH(int, kept);
    DigitKeyFilter(key);
    QCOMPARE(key, kept);
}

void TestEditTexts::keyAscii_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("ascii");

    const int ctrl = Qt::ControlModifier;
    QTest::newRow("digit") << int(Qt::Key_7) << 0 << QStringLiteral("7") << int('7');
    QTest::newRow("letter") << int(Qt::Key_A) << 0 << QStringLiteral("a") << int('a');
    QTest::newRow("Ctrl+V as letter") << int(Qt::Key_V) << ctrl << QStringLiteral("v") << 22;
    QTest::newRow("Ctrl+C as control code")
        << int(Qt::Key_C) << ctrl << QStringLiteral("\x03") << 3;
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ctrl << QString() << 24;
    QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << ctrl << QStringLiteral("z") << 26;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << QStringLiteral("\b") << 8;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << QStringLiteral("\r") << 13;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << QStringLiteral("\x7f") << -1;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << QStringLiteral("\t") << -1;
    QTest::newRow("arrow") << int(Qt::Key_Left) << 0 << QString() << -1;
    QTest::newRow("euro sign") << int(Qt::Key_unknown) << 0 << QStringLiteral("\u20AC") << 0x20AC;
}

void TestEditTexts::keyAscii()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, ascii);
    const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(KeyAscii(event), ascii);
}

void TestEditTexts::spinArrows_upRaisesDownLowers()
{
    SpinArrows spin;
    spin.setRange(0, 100);
    spin.setValue(99);
    spin.resize(16, 22);
    spin.show();
    QSignalSpy changed(&spin, &QAbstractSlider::valueChanged);
    QTest::mouseClick(spin.upButton(), Qt::LeftButton);
    QCOMPARE(spin.value(), 100);
    QTest::mouseClick(spin.upButton(), Qt::LeftButton); // at the top end: no change, no signal
    QCOMPARE(changed.size(), 1);
    QTest::mouseClick(spin.downButton(), Qt::LeftButton);
    QCOMPARE(spin.value(), 99);
    QTest::keyClick(&spin, Qt::Key_Up);
    QCOMPARE(spin.value(), 100);
    QTest::keyClick(&spin, Qt::Key_Down);
    QCOMPARE(spin.value(), 99);
    QVERIFY(spin.upButton()->y() < spin.downButton()->y());
}

QTEST_MAIN(TestEditTexts)
#include "tst_edittexts.moc"
