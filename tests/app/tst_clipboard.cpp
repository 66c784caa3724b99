#include "MainWindowFixture.h"
#include "ui/AppSettings.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Program 8, EM, named "Target" with 2 h in vial 2 and reagent 7 in vial 3;
// program 2 is the sample's LM program.
ProgramStore ClipboardStore()
{
    ProgramStore store = SampleStore();
    ProgramRecord &target = store.Programs[8];
    target.Name = FitName("Target", false);
    target.Type = 1;
    target.Vials[2] = Step(5, 2, 0, 2, 0, 0);
    target.Vials[3] = Step(7, 1, 0, 0, 30, 0);
    target.Vials[20] = Step(9, 4, 1, 1, 10, 55);
    RecomputeDuration(target);
    store.Programs[2].Vials[15] = Step(8, 1, 0, 9, 0, 0); // kept beyond LM's twelve
    return store;
}

void CheckQuestion(MainWindowFixture &f, const QString &title, const QString &text)
{
    QCOMPARE(f.dialogs().shown().size(), 1);
    const ScriptedDialogs::Shown &asked = f.dialogs().last();
    QCOMPARE(asked.kind, ScriptedDialogs::Kind::Message);
    QCOMPARE(asked.title, title);
    QCOMPARE(asked.text, text);
    QCOMPARE(asked.icon, Dialogs::Icon::Question);
    QCOMPARE(asked.buttons, Dialogs::Buttons::YesNo);
}

} // namespace

// Copy, paste and delete of whole programs with the buttons and of single
// vials with the vial list's menu.
class TestClipboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void pasteCommands_enabledByTheFirstCopy();
    void pasteProgram_copiesTheSourceAsItIsNow();
    void pasteProgram_lmOntoEm_takesAllTwentyFourSteps();
    void pasteProgram_ontoItself_changesNothing();
    void deleteProgram_leavesTheEmptyProgram();
    void answerNo_changesNothing_data();
    void answerNo_changesNothing();

    void vialMenu_opensOnRightButtonWithoutSelecting();
    void pasteVial_namesTheReagentBeingOverwritten();
    void pasteVial_fromEmVialTwentyIntoLmProgram();
    void deleteVial_emptiesTheStepAndLowersTheTotal();
};

void TestClipboard::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestClipboard::init()
{
    AppSettings::Open().clear();
}

void TestClipboard::pasteCommands_enabledByTheFirstCopy()
{
    MainWindowFixture f(ClipboardStore());
    QVERIFY(!f.find("cmdPaste")->isEnabled());
    QVERIFY(!f.find<QAction>("mnPaste")->isEnabled());
    f.click("cmdCopy");
    QVERIFY(f.find("cmdPaste")->isEnabled());
    QVERIFY(!f.find<QAction>("mnPaste")->isEnabled());
    f.chooseFromLineMenu("lsVials", 0, "mnVial", "mnCopy");
    QVERIFY(f.find<QAction>("mnPaste")->isEnabled());
    QCOMPARE(f.dialogs().shown().size(), 0); // copying asks nothing
}

void TestClipboard::pasteProgram_copiesTheSourceAsItIsNow()
{
    MainWindowFixture f(ClipboardStore());
    f.showProgram(5);
    f.click("cmdCopy");
    f.erase("txtProgramName");
    f.type("txtProgramName", u"Decal new"_s);
    const ProgramRecord source = f.store().Programs[5];

    f.showProgram(8);
    f.dialogs().answer(Dialogs::Answer::Yes);
    f.click("cmdPaste");
    CheckQuestion(f, u"Paste Program"_s,
                  u"Program08 (\"Target\") will be overwritten. Are you sure?"_s);
    QCOMPARE(f.store().Programs[8], source);
    QCOMPARE(f.text("txtProgramName"), u"Decal new"_s);
    QCOMPARE(f.lines("lsVials")[0], u"Vial 01: Decalcifier   AG1 12:00 --\u00B0C PAUSE"_s);
    QCOMPARE(f.selectedLine("lsVials"), 0);
    QCOMPARE(f.text("lblDuration"), u"Total Time: 12h 30min"_s);
}

void TestClipboard::pasteProgram_lmOntoEm_takesAllTwentyFourSteps()
{
    MainWindowFixture f(ClipboardStore());
    f.showProgram(2);
    f.click("cmdCopy");
    f.showProgram(8);
    f.dialogs().answer(Dialogs::Answer::Yes);
    f.click("cmdPaste");
    QCOMPARE(f.store().Programs[8].Type, 0);
    QCOMPARE(f.lines("lsVials").size(), 12);
    QCOMPARE(f.find<QComboBox>("cbType")->currentText(), u"LM"_s);
    QCOMPARE(f.store().Programs[8].Vials[15], Step(8, 1, 0, 9, 0, 0));
    QCOMPARE(f.store().Programs[8].Vials[20], VialStep::empty());
}

void TestClipboard::pasteProgram_ontoItself_changesNothing()
{
    MainWindowFixture f(ClipboardStore());
    f.showProgram(8);
    const ProgramStore before = f.store();
    f.click("cmdCopy");
    f.dialogs().answer(Dialogs::Answer::Yes);
    f.click("cmdPaste");
    QCOMPARE(f.store().Programs, before.Programs);
}

void TestClipboard::deleteProgram_leavesTheEmptyProgram()
{
    MainWindowFixture f(ClipboardStore());
    f.showProgram(2);
    f.dialogs().answer(Dialogs::Answer::Yes);
    f.click("cmdDelete");
    CheckQuestion(f, u"Delete Program"_s,
                  u"Program02 (\"Biopsy short\") will be deleted. Are you sure?"_s);
    QCOMPARE(f.store().Programs[2], ProgramRecord::empty());
    QCOMPARE(f.text("txtProgramName"), QString());
    QCOMPARE(f.find<QComboBox>("cbType")->currentText(), u"EM"_s);
    const QStringList lines = f.lines("lsVials");
    QCOMPARE(lines.size(), 24);
    for (int v = 1; v <= 24; ++v)
        QCOMPARE(lines[v - 1],
                 u"Vial %1: EMPTY         AG0 00:00 --\u00B0C CONT"_s.arg(v, 2, 10, QChar(u'0')));
    QCOMPARE(f.text("lblDuration"), u"Total Time: 00h 00min"_s);
}

void TestClipboard::answerNo_changesNothing_data()
{
    QTest::addColumn<QString>("command"); // a button, or an item of the vial menu
    QTest::addColumn<QString>("title");
    QTest::newRow("paste program") << u"cmdPaste"_s << u"Paste Program"_s;
    QTest::newRow("delete program") << u"cmdDelete"_s << u"Delete Program"_s;
    QTest::newRow("paste vial") << u"mnPaste"_s << u"Paste Vial"_s;
    QTest::newRow("delete vial") << u"mnDelete"_s << u"Delete Vial"_s;
}

void TestClipboard::answerNo_changesNothing()
{
    QFETCH(QString, command);
    QFETCH(QString, title);
    MainWindowFixture f(ClipboardStore());
    f.click("cmdCopy"); // program 1 and its vial 1
    f.chooseFromLineMenu("lsVials", 0, "mnVial", "mnCopy");
    f.showProgram(8);
    f.pickLine("lsVials", 2);
    const ProgramStore before = f.store();
    const QStringList lines = f.lines("lsVials");

    f.dialogs().answer(Dialogs::Answer::No);
    const QByteArray name = command.toLatin1();
    if (command.startsWith(u"mn"))
        f.chooseFromLineMenu("lsVials", 2, "mnVial", name.constData());
    else
        f.click(name.constData());

    QCOMPARE(f.dialogs().last().title, title);
    QVERIFY(f.dialogs().scriptFinished());
    QCOMPARE(f.store().Programs, before.Programs);
    QCOMPARE(f.lines("lsVials"), lines);
    QCOMPARE(f.selectedLine("lsVials"), 2);
    QCOMPARE(f.text("txtProgramName"), u"Target"_s);
}

void TestClipboard::vialMenu_opensOnRightButtonWithoutSelecting()
{
    MainWindowFixture f(ClipboardStore());
    auto *list = f.find<QListWidget>("lsVials");
    f.pickLine("lsVials", 1);
    const QPoint line5 = list->visualItemRect(list->item(4)).center();

    QTest::mousePress(list->viewport(), Qt::RightButton, {}, line5);
    QVERIFY(!f.find<QMenu>("mnVial")->isVisible());
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, line5);
    auto *menu = f.find<QMenu>("mnVial");
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QCOMPARE(f.selectedLine("lsVials"), 1);
    menu->close();

    // The menu acts on the selected line, vial 2.
    f.chooseFromLineMenu("lsVials", 4, "mnVial", "mnCopy");
    f.pickLine("lsVials", 5);
    f.dialogs().answer(Dialogs::Answer::Yes);
    f.chooseFromLineMenu("lsVials", 0, "mnVial", "mnPaste");
    QCOMPARE(f.store().Programs[1].Vials[6], f.store().Programs[1].Vials[2]);
}

void TestClipboard::pasteVial_namesTheReagentBeingOverwritten()
{
    MainWindowFixture f(ClipboardStore());
    f.chooseFromLineMenu("lsVials", 0, "mnVial", "mnCopy"); // program 1, vial 1: Formalin
    f.showProgram(8);
    f.pickLine("lsVials", 2); // vial 3 holds reagent 7
    f.dialogs().answer(Dialogs::Answer::Yes);
    f.chooseFromLineMenu("lsVials", 2, "mnVial", "mnPaste");
    CheckQuestion(f, u"Paste Vial"_s,
                  u"Vial03 (\"Ethanol 100%\") will be overwritten. Are you sure?"_s);
    QCOMPARE(f.store().Programs[8].Vials[3], Step(2, 2, 0, 2, 0, 37));
    QCOMPARE(f.selectedLine("lsVials"), 2);
    QCOMPARE(f.text("txtHrs"), u"2"_s);
    QCOMPARE(f.text("txtDeg"), u"37"_s);
    // 2 h in vial 2 and 1 h 10 min in vial 20 stay; vial 3 now holds 2 h.
    QCOMPARE(f.text("lblDuration"), u"Total Time: 05h 10min"_s);
}

void TestClipboard::pasteVial_fromEmVialTwentyIntoLmProgram()
{
    MainWindowFixture f(ClipboardStore());
    f.showProgram(8);
    f.pickLine("lsVials", 19);
    f.chooseFromLineMenu("lsVials", 19, "mnVial", "mnCopy");
    f.showProgram(2);
    const int before = f.store().Programs[2].Duration;
    f.pickLine("lsVials", 3);
    f.dialogs().answer(Dialogs::Answer::Yes);
    f.chooseFromLineMenu("lsVials", 3, "mnVial", "mnPaste");
    QCOMPARE(f.store().Programs[2].Vials[4], Step(9, 4, 1, 1, 10, 55));
    QCOMPARE(f.store().Programs[2].Duration, before - 24 + 70);
    QCOMPARE(f.lines("lsVials")[3], u"Vial 04: Xylene        AG4 01:10 55\u00B0C PAUSE"_s);
}

void TestClipboard::deleteVial_emptiesTheStepAndLowersTheTotal()
{
    MainWindowFixture f(ClipboardStore());
    f.showProgram(8);
    QCOMPARE(f.text("lblDuration"), u"Total Time: 03h 40min"_s);
    f.pickLine("lsVials", 1);
    f.dialogs().answer(Dialogs::Answer::Yes);
    f.chooseFromLineMenu("lsVials", 1, "mnVial", "mnDelete");
    CheckQuestion(f, u"Delete Vial"_s,
                  u"Vial02 (\"Ethanol 80%\") will be deleted. Are you sure?"_s);
    QCOMPARE(f.store().Programs[8].Vials[2], VialStep::empty());
    QCOMPARE(f.lines("lsVials")[1], u"Vial 02: EMPTY         AG0 00:00 --\u00B0C CONT"_s);
    QCOMPARE(f.text("lblDuration"), u"Total Time: 01h 40min"_s);
    QCOMPARE(f.selectedLine("lsVials"), 1);
    QCOMPARE(f.find<QComboBox>("cbReagents")->currentIndex(), 0);
}

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
