#include "MainWindowFixture.h"
#include "ui/AppSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Program 3, EM: vial 1 with 1 h 5 min, vial 2 empty, vial 7 with 37 °C, a
// pause and agitation 3.
ProgramStore EditorStore()
{
    ProgramStore store = SampleStore();
    ProgramRecord &program = store.Programs[3];
    program.Name = FitName("Editing", false);
    program.Type = 1;
    program.Vials[1] = Step(4, 2, 0, 1, 5, 0);
    program.Vials[7] = Step(6, 3, 1, 0, 45, 37);
    RecomputeDuration(program);
    return store;
}

} // namespace

// The vial step editor: loading the selected vial, the key filter, the
// limits applied by Ok, and showing the stored step again.
class TestVialEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void select_loadsEveryField();
    void select_vialWithoutTemperature_disablesDegrees();
    void ok_typedValues_data();
    void ok_typedValues();
    void ok_pastedHours_clampedLikeMinutes_data();
    void ok_pastedHours_clampedLikeMinutes();
    void ok_temperatureOnWithoutValue_storesFour();
    void ok_keepsTheVialSelectedAndShowsStoredValues();
    void ok_reagentAndAgitationChoices_data();
    void ok_reagentAndAgitationChoices();
    void ok_pauseTickedAndCleared();
    void clickIntoBox_emptiesIt();
    void boxes_takeOnlyDigitsFromTheKeyboard();
    void boxes_takeNoTextFromAnInputMethod_data();
    void boxes_takeNoTextFromAnInputMethod();
    void otherVialWithoutOk_discardsTypedValues();
    void lmProgram_vialTwelveCountsAndOnlyTwelveLines();
    void storedValuesOutsideRanges_shownWithinThem();
};

void TestVialEditor::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestVialEditor::init()
{
    AppSettings::Open().clear();
}

void TestVialEditor::select_loadsEveryField()
{
    MainWindowFixture f(EditorStore());
    f.showProgram(3);
    QCOMPARE(f.text("txtHrs"), u"1"_s);
    QCOMPARE(f.text("txtMin"), u"05"_s);
    QCOMPARE(f.lines("lsVials")[0], u"Vial 01: Ethanol 70%   AG2 01:05 --\u00B0C CONT"_s);

    f.pickLine("lsVials", 6);
    QCOMPARE(f.find<QComboBox>("cbReagents")->currentIndex(), 5);
    QCOMPARE(f.text("txtHrs"), u"0"_s);
    QCOMPARE(f.text("txtMin"), u"45"_s);
    QCOMPARE(f.find<QComboBox>("cbAgit")->currentIndex(), 3);
    QVERIFY(f.find<QCheckBox>("chkPause")->isChecked());
    QVERIFY(f.find<QRadioButton>("optOn")->isChecked());
    QVERIFY(f.find("txtDeg")->isEnabled());
    QCOMPARE(f.text("txtDeg"), u"37"_s);
}

void TestVialEditor::select_vialWithoutTemperature_disablesDegrees()
{
    MainWindowFixture f(EditorStore());
    f.showProgram(3);
    f.pickLine("lsVials", 6);
    f.pickLine("lsVials", 1);
    QVERIFY(f.find<QRadioButton>("optOff")->isChecked());
    QCOMPARE(f.text("txtDeg"), u"--"_s);
    QVERIFY(!f.find("txtDeg")->isEnabled());
    QVERIFY(!f.find<QCheckBox>("chkPause")->isChecked());

    // Switching on enables the box and leaves its text until a value is typed.
    f.click("optOn");
    QVERIFY(f.find("txtDeg")->isEnabled());
    QCOMPARE(f.text("txtDeg"), u"--"_s);
    f.click("optOff");
    QVERIFY(!f.find("txtDeg")->isEnabled());
}

void TestVialEditor::ok_typedValues_data()
{
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<bool>("heaterOn");
    QTest::addColumn<QString>("degrees");
    QTest::addColumn<VialStep>("stored");
    QTest::addColumn<QString>("time"); // in the vial line
    QTest::addColumn<QString>("temp");

    // Reagent 4, agitation 2 as loaded; only the typed fields change.
    QTest::newRow("plain") << u"3"_s << u"20"_s << true << u"45"_s << Step(4, 2, 0, 3, 20, 45)
                           << u"03:20"_s << u"45"_s;
    QTest::newRow("minutes 75 become 59") << u"0"_s << u"75"_s << false << QString()
                                          << Step(4, 2, 0, 0, 59, 0) << u"00:59"_s << u"--"_s;
    QTest::newRow("99 hours") << u"99"_s << u"0"_s << false << QString() << Step(4, 2, 0, 99, 0, 0)
                              << u"99:00"_s << u"--"_s;
    QTest::newRow("70 degrees become 60")
        << u"1"_s << u"5"_s << true << u"70"_s << Step(4, 2, 0, 1, 5, 60) << u"01:05"_s << u"60"_s;
    QTest::newRow("3 degrees become 4")
        << u"1"_s << u"5"_s << true << u"3"_s << Step(4, 2, 0, 1, 5, 4) << u"01:05"_s << u"04"_s;
    QTest::newRow("empty boxes") << QString() << QString() << true << QString()
                                 << Step(4, 2, 0, 0, 0, 4) << u"00:00"_s << u"04"_s;
}

void TestVialEditor::ok_typedValues()
{
    QFETCH(QString, hours);
    QFETCH(QString, minutes);
    QFETCH(bool, heaterOn);
    QFETCH(QString, degrees);
    QFETCH(VialStep, stored);
    QFETCH(QString, time);
    QFETCH(QString, temp);
    MainWindowFixture f(EditorStore());
    f.showProgram(3);

    f.click("txtHrs");
    f.type("txtHrs", hours);
    f.click("txtMin");
    f.type("txtMin", minutes);
    if (heaterOn) {
        f.click("optOn");
        f.click("txtDeg");
        f.type("txtDeg", degrees);
    }
    f.click("cmdOK");

    QCOMPARE(f.store().Programs[3].Vials[1], stored);
    QCOMPARE(f.lines("lsVials")[0],
             u"Vial 01: Ethanol 70%   AG2 %1 %2\u00B0C CONT"_s.arg(time, temp));
    const int total = 45 + stored.Hrs * 60 + stored.Min;
    QCOMPARE(f.store().Programs[3].Duration, total);
    QCOMPARE(f.text("lblDuration"), u"Total Time: %1h %2min"_s.arg(total / 60, 2, 10, QChar(u'0'))
                                        .arg(total % 60, 2, 10, QChar(u'0')));
    // The boxes show the stored values in their usual form.
    QCOMPARE(f.text("txtHrs"), QString::number(stored.Hrs));
    QCOMPARE(f.text("txtMin"), u"%1"_s.arg(stored.Min, 2, 10, QChar(u'0')));
    QCOMPARE(f.text("txtDeg"), heaterOn ? QString::number(stored.Temp) : u"--"_s);
}

void TestVialEditor::ok_pastedHours_clampedLikeMinutes_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("minutes");

    QTest::newRow("negative") << u"-5"_s << 0 << 0;
    QTest::newRow("letters") << u"ab"_s << 0 << 0;
    QTest::newRow("digit and letter") << u"7x"_s << 7 << 7;
    QTest::newRow("half rounds to even") << u"2.5"_s << 2 << 2; // the box keeps "2."
    QTest::newRow("longer than the box") << u"123"_s << 12 << 12;
    QTest::newRow("space first") << u" 9"_s << 0 << 0;
}

void TestVialEditor::ok_pastedHours_clampedLikeMinutes()
{
    QFETCH(QString, pasted);
    QFETCH(int, hours);
    QFETCH(int, minutes);
    MainWindowFixture f(EditorStore());
    f.showProgram(3);
    f.paste("txtHrs", pasted);
    f.paste("txtMin", pasted);
    f.click("cmdOK");
    QCOMPARE(f.store().Programs[3].Vials[1].Hrs, hours);
    QCOMPARE(f.store().Programs[3].Vials[1].Min, qMin(minutes, 59));
    QCOMPARE(f.text("txtHrs"), QString::number(hours));
}

void TestVialEditor::ok_temperatureOnWithoutValue_storesFour()
{
    MainWindowFixture f(EditorStore());
    f.showProgram(3);
    f.click("optOn");
    f.click("cmdOK");
    QCOMPARE(f.store().Programs[3].Vials[1].Temp, 4);
    QVERIFY(f.lines("lsVials")[0].endsWith(u" 04\u00B0C CONT"_s));
    QCOMPARE(f.text("txtDeg"), u"4"_s);
    QVERIFY(f.find<QRadioButton>("optOn")->isChecked());
}

void TestVialEditor::ok_keepsTheVialSelectedAndShowsStoredValues()
{
    MainWindowFixture f(EditorStore());
    f.showProgram(3);
    f.pickLine("lsVials", 6);
    f.click("txtMin");
    f.type("txtMin", u"7"_s);
    f.click("cmdOK");
    QCOMPARE(f.selectedLine("lsVials"), 6);
    QCOMPARE(f.text("txtMin"), u"07"_s);
    QCOMPARE(f.text("txtDeg"), u"37"_s);
    QCOMPARE(f.store().Programs[3].Vials[7], Step(6, 3, 1, 0, 7, 37));
    QCOMPARE(f.store().Programs[3].Vials[1], Step(4, 2, 0, 1, 5, 0));
}

void TestVialEditor::ok_reagentAndAgitationChoices_data()
{
    QTest::addColumn<int>("reagentEntry");
    QTest::addColumn<int>("agitEntry");
    QTest::addColumn<int>("reagent");
    QTest::addColumn<QString>("line");

    QTest::newRow("first reagent, no agitation")
        << 0 << 0 << 1 << u"Vial 01: EMPTY         AG0 01:05 --\u00B0C CONT"_s;
    QTest::newRow("200th reagent, agitation 5")
        << 199 << 5 << 200 << u"Vial 01:               AG5 01:05 --\u00B0C CONT"_s;
}

void TestVialEditor::ok_reagentAndAgitationChoices()
{
    QFETCH(int, reagentEntry);
    QFETCH(int, agitEntry);
    QFETCH(int, reagent);
    QFETCH(QString, line);
    MainWindowFixture f(EditorStore());
    f.showProgram(3);
    f.pick("cbReagents", reagentEntry);
    f.pick("cbAgit", agitEntry);
    f.click("cmdOK");
    QCOMPARE(f.store().Programs[3].Vials[1].Reagent, reagent);
    QCOMPARE(f.store().Programs[3].Vials[1].Agit, agitEntry);
    QCOMPARE(f.lines("lsVials")[0], line);
    QCOMPARE(f.find<QComboBox>("cbReagents")->currentIndex(), reagentEntry);
}

void TestVialEditor::ok_pauseTickedAndCleared()
{
    MainWindowFixture f(EditorStore());
    f.showProgram(3);
    f.click("chkPause");
    f.click("cmdOK");
    QCOMPARE(f.store().Programs[3].Vials[1].Pause, 1);
    QVERIFY(f.lines("lsVials")[0].endsWith(u"PAUSE"_s));
    QVERIFY(f.find<QCheckBox>("chkPause")->isChecked());
    f.click("chkPause");
    f.click("cmdOK");
    QCOMPARE(f.store().Programs[3].Vials[1].Pause, 0);
    QVERIFY(f.lines("lsVials")[0].endsWith(u"CONT"_s));
}

void TestVialEditor::clickIntoBox_emptiesIt()
{
    MainWindowFixture f(EditorStore());
    f.showProgram(3);
    f.pickLine("lsVials", 6);
    for (const char *box : {"txtHrs", "txtMin", "txtDeg"}) {
        QVERIFY(!f.text(box).isEmpty());
        f.click(box);
        QCOMPARE(f.text(box), QString());
    }
    f.click("cmdOK");
    QCOMPARE(f.store().Programs[3].Vials[7], Step(6, 3, 1, 0, 0, 4));
    // The number box is not emptied by a click.
    f.click("txtReadProgram");
    QCOMPARE(f.text("txtReadProgram"), u"3"_s);
}

void TestVialEditor::boxes_takeOnlyDigitsFromTheKeyboard()
{
    MainWindowFixture f(EditorStore());
    f.showProgram(3);
    f.click("optOn");
    for (const char *box : {"txtHrs", "txtMin", "txtDeg"}) {
        f.click(box);
        f.type(box, u"-a. 4+"_s);
        QTest::keyClick(f.find(box), Qt::Key_Enter);
        f.type(box, u"2"_s);
        QCOMPARE(f.text(box), u"42"_s);
        QTest::keyClick(f.find(box), Qt::Key_Backspace);
        QCOMPARE(f.text(box), u"4"_s);
    }
    f.click("cmdOK");
    QCOMPARE(f.store().Programs[3].Vials[1], Step(4, 2, 0, 4, 4, 4));
}

void TestVialEditor::boxes_takeNoTextFromAnInputMethod_data()
{
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<QString>("hours");

    QTest::newRow("accented letter") << u"\u00E9"_s << QString() << u"3"_s;
    QTest::newRow("minus and digit") << u"-5"_s << QString() << u"3"_s;
    QTest::newRow("full-width digit") << u"\uFF15"_s << QString() << u"3"_s;
    QTest::newRow("being composed") << QString() << u"\u00B4"_s << u"3"_s;
    QTest::newRow("digit") << u"5"_s << QString() << u"35"_s;
}

void TestVialEditor::boxes_takeNoTextFromAnInputMethod()
{
    // An input method (a dead key, a compose sequence, an on-screen keyboard)
    // delivers text without key presses, past the boxes' key filter.
    QFETCH(QString, commit);
    QFETCH(QString, preedit);
    QFETCH(QString, hours);
    MainWindowFixture f(EditorStore());
    f.showProgram(3);
    f.click("txtHrs");
    f.type("txtHrs", u"3"_s);

    QInputMethodEvent input(preedit, {});
    input.setCommitString(commit);
    QApplication::sendEvent(f.find("txtHrs"), &input);
    QCOMPARE(f.text("txtHrs"), hours);
    f.click("cmdOK");
    QCOMPARE(f.store().Programs[3].Vials[1].Hrs, hours.toInt());

    // No box for numbers tells an input method that it takes text.
    for (const char *box : {"txtReadProgram", "txtHrs", "txtMin", "txtDeg", "txtRead"}) {
        QVERIFY2(!f.find(box)->testAttribute(Qt::WA_InputMethodEnabled), box);
        QInputMethodQueryEvent query(Qt::ImEnabled | Qt::ImMaximumTextLength);
        QApplication::sendEvent(f.find(box), &query);
        QVERIFY2(!query.value(Qt::ImEnabled).toBool(), box);
        QCOMPARE(query.value(Qt::ImMaximumTextLength), f.find<QLineEdit>(box)->maxLength());
    }
    QInputMethodQueryEvent name(Qt::ImEnabled);
    QApplication::sendEvent(f.find("txtProgramName"), &name);
    QVERIFY(name.value(Qt::ImEnabled).toBool());
}

void TestVialEditor::otherVialWithoutOk_discardsTypedValues()
{
    MainWindowFixture f(EditorStore());
    f.showProgram(3);
    f.click("txtMin");
    f.type("txtMin", u"33"_s);
    f.click("chkPause");
    f.pickLine("lsVials", 1);
    QCOMPARE(f.store().Programs[3].Vials[1], Step(4, 2, 0, 1, 5, 0));
    f.pickLine("lsVials", 0);
    QCOMPARE(f.text("txtMin"), u"05"_s);
    QVERIFY(!f.find<QCheckBox>("chkPause")->isChecked());
}

void TestVialEditor::lmProgram_vialTwelveCountsAndOnlyTwelveLines()
{
    MainWindowFixture f;
    f.showProgram(2); // LM: eight vials of 21 to 28 minutes
    QCOMPARE(f.lines("lsVials").size(), 12);
    f.pickLine("lsVials", 11);
    f.click("txtHrs");
    f.type("txtHrs", u"2"_s);
    f.click("cmdOK");
    QCOMPARE(f.store().Programs[2].Vials[12].Hrs, 2);
    QCOMPARE(f.text("lblDuration"), u"Total Time: 05h 16min"_s);
    QCOMPARE(f.selectedLine("lsVials"), 11);
}

void TestVialEditor::storedValuesOutsideRanges_shownWithinThem()
{
    // Only a hand-edited store file holds such values; the editor shows what
    // Ok would store and keeps a reagent or agitation it cannot offer.
    ProgramStore store = SampleStore();
    store.Programs[4].Name = FitName("Odd", false);
    store.Programs[4].Vials[1] = Step(250, 9, 2, 150, -3, 75);
    MainWindowFixture f(store);
    f.showProgram(4);
    QCOMPARE(f.lines("lsVials")[0], u"Vial 01: (unknown 250) AG9 150:-03 75\u00B0C CONT"_s);
    QCOMPARE(f.find<QComboBox>("cbReagents")->currentIndex(), -1);
    QCOMPARE(f.find<QComboBox>("cbAgit")->currentIndex(), -1);
    QCOMPARE(f.text("txtHrs"), u"99"_s);
    QCOMPARE(f.text("txtMin"), u"00"_s);
    QCOMPARE(f.text("txtDeg"), u"60"_s);
    QVERIFY(!f.find<QCheckBox>("chkPause")->isChecked());

    f.click("cmdOK");
    QCOMPARE(f.store().Programs[4].Vials[1], Step(250, 9, 0, 99, 0, 60));
}

QTEST_MAIN(TestVialEditor)
#include "tst_vialeditor.moc"
