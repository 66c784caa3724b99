#include "MainWindowFixture.h"
#include "app/SpinArrows.h"
#include "ui/AppSettings.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

#include <map>

using namespace Qt::StringLiterals;

namespace {

// An LM program with 1 h 30 min in vial 1 and 5 h in vial 13, named "Short".
ProgramStore StoreWithLmProgram(int p)
{
    ProgramStore store = SampleStore();
    ProgramRecord &program = store.Programs[p];
    program = ProgramRecord::empty();
    program.Name = FitName("Short", false);
    program.Type = 0;
    program.Vials[1] = Step(3, 1, 0, 1, 30, 0);
    program.Vials[13] = Step(4, 0, 0, 5, 0, 0);
    program.Vials[20] = Step(5, 0, 0, 0, 20, 0);
    program.Duration = 90;
    return store;
}

} // namespace

// Choosing and showing the current program, renaming it, its type, its vial
// lines and total time, and showing it again after the "Reagents" tab.
class TestProgramEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void spin_wrapsAroundAtBothEnds_data();
    void spin_wrapsAroundAtBothEnds();
    void numberBox_typing_data();
    void numberBox_typing();
    void numberBox_keyFilter_rejectsAllButDigitsAndEditing();
    void numberBox_pastedText_isClamped_data();
    void numberBox_pastedText_isClamped();

    void name_typed_storedPaddedToThirteen();
    void name_characterOutsideCodePage_storedAsQuestionMark();

    void vialLines_formatEveryField();
    void vialLines_lmShowsTwelveEmShowsTwentyFour();
    void type_switching_keepsStepsThirteenToTwentyFour();
    void type_switchToLmWithVialTwentySelected_selectsVialTwelve();
    void total_largestShowsFourDigitHoursUncut();
    void total_shownIsTheSumOfTheStepsInUse();

    void leavingReagentsTab_showsNewNamesAndKeepsVial();
    void enteringReagentsTab_changesNothing();
};

void TestProgramEditor::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestProgramEditor::init()
{
    AppSettings::Open().clear();
}

void TestProgramEditor::spin_wrapsAroundAtBothEnds_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("press"); // an arrow, or a key with the focus on the control
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("caption");

    QTest::newRow("up at 99") << 99 << u"up"_s << u"1"_s << u"Program 01"_s;
    QTest::newRow("down at 1") << 1 << u"down"_s << u"99"_s << u"Program 99"_s;
    QTest::newRow("up at 1") << 1 << u"up"_s << u"2"_s << u"Program 02"_s;
    QTest::newRow("down at 10") << 10 << u"down"_s << u"9"_s << u"Program 09"_s;
    // Home goes to the top end, 100, which is program 1; End to 0, program 99.
    QTest::newRow("Home at 50") << 50 << u"Home"_s << u"1"_s << u"Program 01"_s;
    QTest::newRow("End at 50") << 50 << u"End"_s << u"99"_s << u"Program 99"_s;
    QTest::newRow("Up key at 99") << 99 << u"Up"_s << u"1"_s << u"Program 01"_s;
    QTest::newRow("Down key at 1") << 1 << u"Down"_s << u"99"_s << u"Program 99"_s;
    // The wheel turns it under the pointer, with the focus elsewhere.
    QTest::newRow("wheel up at 99") << 99 << u"wheel up"_s << u"1"_s << u"Program 01"_s;
    QTest::newRow("wheel down at 10") << 10 << u"wheel down"_s << u"9"_s << u"Program 09"_s;
}

void TestProgramEditor::spin_wrapsAroundAtBothEnds()
{
    QFETCH(int, start);
    QFETCH(QString, press);
    QFETCH(QString, box);
    QFETCH(QString, caption);
    MainWindowFixture f;
    f.showProgram(start);
    auto *spin = f.find<SpinArrows>("VScroll2");
    QCOMPARE(spin->value(), start);

    if (press == u"up") {
        f.spinUp("VScroll2");
    } else if (press == u"down") {
        f.spinDown("VScroll2");
    } else if (press.startsWith(u"wheel")) {
        f.find("txtProgramName")->setFocus();
        // Over the lower arrow button, as the window system delivers it: the
        // button passes it on to the control.
        QWidget *under = spin->downButton();
        const QPointF at = QRectF(under->rect()).center();
        const int angle = press.endsWith(u"up") ? 120 : -120;
        QWheelEvent wheel(at, under->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        qApp->notify(under, &wheel);
        QVERIFY(!spin->hasFocus());
    } else {
        const std::map<QString, Qt::Key> keys = {{u"Home"_s, Qt::Key_Home},
                                                 {u"End"_s, Qt::Key_End},
                                                 {u"Up"_s, Qt::Key_Up},
                                                 {u"Down"_s, Qt::Key_Down}};
        spin->setFocus();
        QTest::keyClick(spin, keys.at(press));
    }

    QCOMPARE(f.text("txtReadProgram"), box);
    QCOMPARE(f.find<QGroupBox>("frameProgram")->title(), caption);
    QCOMPARE(spin->value(), box.toInt());
    QCOMPARE(f.window().CurrentProgramNumber(), box.toInt());
    QCOMPARE(f.selectedLine("lsVials"), 0);
}

void TestProgramEditor::numberBox_typing_data()
{
    QTest::addColumn<int>("shown");
    QTest::addColumn<bool>("paste"); // else Backspace over the whole text, then type
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("program");

    QTest::newRow("emptied while 5 shown") << 5 << false << QString() << u"1"_s << 1;
    QTest::newRow("emptied while 1 shown") << 1 << false << QString() << QString() << 1;
    QTest::newRow("7 then 5") << 1 << false << u"75"_s << u"75"_s << 75;
    QTest::newRow("0 while 1 shown") << 1 << false << u"0"_s << u"0"_s << 1;
    QTest::newRow("third digit ignored") << 1 << false << u"123"_s << u"12"_s << 12;
    QTest::newRow("05 over 3") << 3 << true << u"05"_s << u"5"_s << 5;
    QTest::newRow("0 over 5") << 5 << true << u"0"_s << u"1"_s << 1;
    QTest::newRow("99") << 5 << true << u"99"_s << u"99"_s << 99;
}

void TestProgramEditor::numberBox_typing()
{
    QFETCH(int, shown);
    QFETCH(bool, paste);
    QFETCH(QString, keys);
    QFETCH(QString, box);
    QFETCH(int, program);
    MainWindowFixture f;
    f.showProgram(shown);
    if (paste) {
        f.paste("txtReadProgram", keys);
    } else {
        auto *edit = f.find<QLineEdit>("txtReadProgram");
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        f.type("txtReadProgram", keys);
    }

    QCOMPARE(f.text("txtReadProgram"), box);
    QCOMPARE(f.window().CurrentProgramNumber(), program);
    QCOMPARE(f.find<QGroupBox>("frameProgram")->title(),
             u"Program %1"_s.arg(program, 2, 10, QChar(u'0')));
    QCOMPARE(f.text("txtProgramName"),
             QString::fromLatin1(FitName(f.store().Programs[program].Name, true)));
    QCOMPARE(f.find<SpinArrows>("VScroll2")->value(), program);
    QCOMPARE(f.selectedLine("lsVials"), 0);
}

void TestProgramEditor::numberBox_keyFilter_rejectsAllButDigitsAndEditing()
{
    MainWindowFixture f;
    f.erase("txtReadProgram");
    f.type("txtReadProgram", u"a- .+4"_s);
    QCOMPARE(f.text("txtReadProgram"), u"4"_s);
    QTest::keyClick(f.find("txtReadProgram"), Qt::Key_Return);
    QTest::keyClick(f.find("txtReadProgram"), Qt::Key_Z, Qt::ControlModifier); // no undo
    QCOMPARE(f.text("txtReadProgram"), u"4"_s);

    // Backspace, Ctrl+C, Ctrl+X and Ctrl+V still edit.
    f.type("txtReadProgram", u"2"_s);
    QCOMPARE(f.window().CurrentProgramNumber(), 42);
    QTest::keyClick(f.find("txtReadProgram"), Qt::Key_Backspace);
    QCOMPARE(f.text("txtReadProgram"), u"4"_s);
    auto *box = f.find<QLineEdit>("txtReadProgram");
    box->selectAll();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"4"_s);
    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(f.text("txtReadProgram"), u"1"_s); // emptied while 4 shown
    box->selectAll();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.text("txtReadProgram"), u"4"_s);
}

void TestProgramEditor::numberBox_pastedText_isClamped_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("program");

    QTest::newRow("digit and letter") << u"7x"_s << u"7"_s << 7;
    QTest::newRow("letters") << u"ab"_s << u"ab"_s << 1;
    QTest::newRow("minus") << u"-5"_s << u"-5"_s << 1;
    QTest::newRow("longer than the box") << u"987"_s << u"98"_s << 98;
}

void TestProgramEditor::numberBox_pastedText_isClamped()
{
    QFETCH(QString, pasted);
    QFETCH(QString, box);
    QFETCH(int, program);
    MainWindowFixture f;
    f.paste("txtReadProgram", pasted);
    QCOMPARE(f.text("txtReadProgram"), box);
    QCOMPARE(f.window().CurrentProgramNumber(), program);
    QCOMPARE(f.find<QGroupBox>("frameProgram")->title(),
             u"Program %1"_s.arg(program, 2, 10, QChar(u'0')));
}

void TestProgramEditor::name_typed_storedPaddedToThirteen()
{
    MainWindowFixture f;
    f.showProgram(7);
    f.type("txtProgramName", u"Fixed"_s);
    QCOMPARE(f.store().Programs[7].Name, QByteArray("Fixed        "));
    f.type("txtProgramName", u" and a long tail"_s); // the box holds 13 characters
    QCOMPARE(f.text("txtProgramName"), u"Fixed and a l"_s);
    QCOMPARE(f.store().Programs[7].Name, QByteArray("Fixed and a l"));

    f.erase("txtProgramName");
    f.type("txtProgramName", u"Fixed"_s);
    f.showProgram(1);
    QCOMPARE(f.text("txtProgramName"), u"Overnight"_s);
    QCOMPARE(f.store().Programs[1].Name, QByteArray("Overnight    "));
    f.showProgram(7);
    QCOMPARE(f.text("txtProgramName"), u"Fixed"_s);
}

void TestProgramEditor::name_characterOutsideCodePage_storedAsQuestionMark()
{
    MainWindowFixture f;
    f.showProgram(4);
    f.type("txtProgramName", u"\u00C4\u20AC\u03A9"_s);
    QCOMPARE(f.store().Programs[4].Name, QByteArray("\xC4\x80?          "));
}

void TestProgramEditor::vialLines_formatEveryField()
{
    ProgramStore store = SampleStore();
    ProgramRecord &program = store.Programs[9];
    program.Name = FitName("Formats", false);
    program.Type = 0;
    program.Vials[1] = Step(4, 3, 1, 1, 5, 5);
    program.Vials[2] = Step(1, 0, 0, 12, 45, 0);
    program.Vials[3] = Step(13, 5, 0, 0, 0, 60);
    MainWindowFixture f(store);
    f.showProgram(9);
    const QStringList lines = f.lines("lsVials");
    QCOMPARE(lines[0], u"Vial 01: Ethanol 70%   AG3 01:05 05\u00B0C PAUSE"_s);
    QCOMPARE(lines[1], u"Vial 02: EMPTY         AG0 12:45 --\u00B0C CONT"_s);
    QCOMPARE(lines[2], u"Vial 03: Buffer pH 7.2 AG5 00:00 60\u00B0C CONT"_s);
    QCOMPARE(lines[11].left(9), u"Vial 12: "_s);
}

void TestProgramEditor::vialLines_lmShowsTwelveEmShowsTwentyFour()
{
    MainWindowFixture f;
    QCOMPARE(f.lines("lsVials").size(), 24); // program 1 is EM
    QCOMPARE(f.find<QComboBox>("cbType")->currentText(), u"EM"_s);
    f.showProgram(2);
    QCOMPARE(f.lines("lsVials").size(), 12);
    QCOMPARE(f.find<QComboBox>("cbType")->currentText(), u"LM"_s);
    QCOMPARE(f.selectedLine("lsVials"), 0);
    f.showProgram(3); // unnamed: EM
    QCOMPARE(f.lines("lsVials").size(), 24);
}

void TestProgramEditor::type_switching_keepsStepsThirteenToTwentyFour()
{
    MainWindowFixture f(StoreWithLmProgram(6));
    f.showProgram(6);
    QCOMPARE(f.lines("lsVials").size(), 12);
    QCOMPARE(f.text("lblDuration"), u"Total Time: 01h 30min"_s);

    f.pick("cbType", 1);
    QCOMPARE(f.store().Programs[6].Type, 1);
    const QStringList em = f.lines("lsVials");
    QCOMPARE(em.size(), 24);
    QCOMPARE(em[12], u"Vial 13: Ethanol 70%   AG0 05:00 --\u00B0C CONT"_s);
    QCOMPARE(f.text("lblDuration"), u"Total Time: 06h 50min"_s);
    QCOMPARE(f.store().Programs[6].Duration, 410);

    f.pick("cbType", 0);
    QCOMPARE(f.lines("lsVials").size(), 12);
    QCOMPARE(f.text("lblDuration"), u"Total Time: 01h 30min"_s);
    QCOMPARE(f.store().Programs[6].Vials[13], Step(4, 0, 0, 5, 0, 0));
    QCOMPARE(f.store().Programs[6].Vials[20], Step(5, 0, 0, 0, 20, 0));
}

void TestProgramEditor::type_switchToLmWithVialTwentySelected_selectsVialTwelve()
{
    ProgramStore store = SampleStore();
    store.Programs[1].Vials[12] = Step(7, 4, 1, 3, 15, 0);
    MainWindowFixture f(store);
    f.pickLine("lsVials", 19);
    QCOMPARE(f.selectedLine("lsVials"), 19);

    f.pick("cbType", 0);
    QCOMPARE(f.lines("lsVials").size(), 12);
    QCOMPARE(f.selectedLine("lsVials"), 11);
    // Vial 12 is loaded into the vial editor.
    QCOMPARE(f.find<QComboBox>("cbReagents")->currentIndex(), 6);
    QCOMPARE(f.text("txtHrs"), u"3"_s);
    QCOMPARE(f.text("txtMin"), u"15"_s);
    QCOMPARE(f.find<QComboBox>("cbAgit")->currentIndex(), 4);
}

void TestProgramEditor::total_largestShowsFourDigitHoursUncut()
{
    ProgramStore store = SampleStore();
    ProgramRecord &longest = store.Programs[1];
    for (VialStep &step : longest.Vials)
        step = Step(2, 0, 0, 99, 59, 0);
    RecomputeDuration(longest);
    MainWindowFixture f(store);
    auto *label = f.find<QLabel>("lblDuration");
    QCOMPARE(label->text(), u"Total Time: 2399h 36min"_s);
    QVERIFY(label->width() >= label->sizeHint().width());
}

void TestProgramEditor::total_shownIsTheSumOfTheStepsInUse()
{
    // A stored total that is not the sum of the steps (read from the
    // instrument or a hand-edited file) is replaced by the sum when shown,
    // whichever program was shown before.
    ProgramStore store = StoreWithLmProgram(6);
    store.Programs[6].Duration = 999;
    store.Programs[2].Duration = 5;
    MainWindowFixture f(store);
    f.showProgram(2); // LM after EM
    QCOMPARE(f.store().Programs[2].Duration, 8 * 20 + 36);
    f.showProgram(6); // LM after LM
    QCOMPARE(f.text("lblDuration"), u"Total Time: 01h 30min"_s);
    QCOMPARE(f.store().Programs[6].Duration, 90);
}

void TestProgramEditor::leavingReagentsTab_showsNewNamesAndKeepsVial()
{
    MainWindowFixture f;
    f.pickLine("lsVials", 2); // vial 3 holds Water
    f.clickTab(1);
    // What sending a changed name does to the store.
    f.store().Reagents[3] = FitName("Aqua dest.", false);
    QCOMPARE(f.lines("lsVials")[2], u"Vial 03: Water         AG1 00:15 --\u00B0C CONT"_s);

    f.clickTab(0);
    QCOMPARE(f.lines("lsVials")[2], u"Vial 03: Aqua dest.    AG1 00:15 --\u00B0C CONT"_s);
    QCOMPARE(f.find<QComboBox>("cbReagents")->itemText(2), u"003: Aqua dest.   "_s);
    QCOMPARE(f.find<QComboBox>("cbReagents")->count(), 200);
    QCOMPARE(f.selectedLine("lsVials"), 2);
    QCOMPARE(f.find<QComboBox>("cbReagents")->currentText(), u"003: Aqua dest.   "_s);
    QCOMPARE(f.text("txtMin"), u"15"_s);
}

void TestProgramEditor::enteringReagentsTab_changesNothing()
{
    MainWindowFixture f;
    f.pickLine("lsVials", 4);
    f.click("txtMin");
    f.type("txtMin", u"7"_s); // not confirmed with Ok
    f.store().Reagents[2] = FitName("Changed", false);
    f.clickTab(1);
    QCOMPARE(f.lines("lsVials")[0], u"Vial 01: Formalin 10%  AG2 02:00 37\u00B0C CONT"_s);
    QCOMPARE(f.find<QComboBox>("cbReagents")->itemText(1), u"002: Formalin 10% "_s);
    QCOMPARE(f.selectedLine("lsVials"), 4);
    QCOMPARE(f.text("txtMin"), u"7"_s);
}

QTEST_MAIN(TestProgramEditor)
#include "tst_programeditor.moc"
