#include "MainWindowFixture.h"
#include "app/SpinArrows.h"
#include "ui/AppSettings.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStandardPaths>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// The sample's reagent 12, "Decalcifier", is two characters short of the width.
constexpr int Decalcifier = 12;

// The "Reagents" tab shown, with reagent number n typed into the number box.
void ShowReagentNumber(MainWindowFixture &f, int n)
{
    f.clickTab(1);
    f.erase("txtRead");
    f.type("txtRead", QString::number(n));
}

} // namespace

// The "Reagents" tab: showing the selected reagent, and the reagent number
// box with its spin control.
class TestReagentEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void clickLine_showsReagentAndMovesFocusToNameBox();
    void numberBox_typing_data();
    void numberBox_typing();
    void numberBox_keyFilter_rejectsAllButDigitsAndBackspace();
    void spin_wrapsAroundAtBothEnds_data();
    void spin_wrapsAroundAtBothEnds();
    void reagentNumber_neverChangesTheSelectedLine();
};

void TestReagentEditor::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestReagentEditor::init()
{
    AppSettings::Open().clear();
}

void TestReagentEditor::clickLine_showsReagentAndMovesFocusToNameBox()
{
    MainWindowFixture f;
    QCOMPARE(f.store().Reagents[Decalcifier], QByteArray("Decalcifier  "));
    f.clickTab(1);
    f.find("txtRead")->setFocus();
    QVERIFY(!f.find("txtReagent")->hasFocus());
    f.pickLine("lsReagents", Decalcifier - 1);

    QCOMPARE(f.selectedLine("lsReagents"), Decalcifier - 1);
    QCOMPARE(f.text("lblReagents"), u"Reagent 012:"_s);
    QCOMPARE(f.text("txtReagent"), u"Decalcifier"_s);
    QCOMPARE(QApplication::focusWidget(), f.find("txtReagent"));
    // Showing a reagent is not editing it.
    QCOMPARE(f.store().Reagents[Decalcifier], QByteArray("Decalcifier  "));
    QCOMPARE(f.lines("lsReagents")[Decalcifier - 1], u"Reagent 012: \"Decalcifier  \""_s);
}

void TestReagentEditor::numberBox_typing_data()
{
    QTest::addColumn<int>("shown");  // the number in the box before
    QTest::addColumn<bool>("paste"); // else Backspace over the whole text, then type
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("spin");

    QTest::newRow("250 gives 200") << 1 << false << u"250"_s << u"200"_s << 200;
    QTest::newRow("200") << 1 << false << u"200"_s << u"200"_s << 200;
    QTest::newRow("7 then 5") << 1 << false << u"75"_s << u"75"_s << 75;
    QTest::newRow("fourth digit ignored") << 1 << false << u"1234"_s << u"123"_s << 123;
    QTest::newRow("0 while 1") << 1 << false << u"0"_s << u"0"_s << 1;
    QTest::newRow("emptied while 1") << 1 << false << QString() << QString() << 1;
    // Emptied, the box shows 1 again, and a digit typed next follows it.
    QTest::newRow("emptied while 5") << 5 << false << QString() << u"1"_s << 1;
    QTest::newRow("0 typed while 5") << 5 << false << u"0"_s << u"10"_s << 10;
    QTest::newRow("0 over 5") << 5 << true << u"0"_s << u"1"_s << 1;
    QTest::newRow("05 over 3") << 3 << true << u"05"_s << u"5"_s << 5;
    QTest::newRow("250 over 3") << 3 << true << u"250"_s << u"200"_s << 200;
}

void TestReagentEditor::numberBox_typing()
{
    QFETCH(int, shown);
    QFETCH(bool, paste);
    QFETCH(QString, keys);
    QFETCH(QString, box);
    QFETCH(int, spin);
    MainWindowFixture f;
    ShowReagentNumber(f, shown);
    QCOMPARE(f.text("txtRead"), QString::number(shown));

    if (paste) {
        f.paste("txtRead", keys);
    } else {
        auto *edit = f.find<QLineEdit>("txtRead");
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        f.type("txtRead", keys);
    }

    QCOMPARE(f.text("txtRead"), box);
    QCOMPARE(f.find<SpinArrows>("VScroll1")->value(), spin);
}

void TestReagentEditor::numberBox_keyFilter_rejectsAllButDigitsAndBackspace()
{
    MainWindowFixture f;
    f.clickTab(1);
    f.erase("txtRead");
    f.type("txtRead", u"a-1 B+2.x"_s);
    QCOMPARE(f.text("txtRead"), u"12"_s);
    QTest::keyClick(f.find("txtRead"), Qt::Key_Return);
    f.type("txtRead", u"3"_s);
    QCOMPARE(f.text("txtRead"), u"123"_s);
    QCOMPARE(f.find<SpinArrows>("VScroll1")->value(), 123);

    QTest::keyClick(f.find("txtRead"), Qt::Key_Backspace);
    QCOMPARE(f.text("txtRead"), u"12"_s);
    QCOMPARE(f.find<SpinArrows>("VScroll1")->value(), 12);
}

void TestReagentEditor::spin_wrapsAroundAtBothEnds_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("press"); // an arrow, or a key with the focus on the control
    QTest::addColumn<QString>("box");

    QTest::newRow("up at 200") << 200 << u"up"_s << u"1"_s;
    QTest::newRow("down at 1") << 1 << u"down"_s << u"200"_s;
    QTest::newRow("up at 1") << 1 << u"up"_s << u"2"_s;
    QTest::newRow("down at 100") << 100 << u"down"_s << u"99"_s;
    // Home goes to the top end, 201, which is reagent 1; End to 0, reagent 200.
    QTest::newRow("Home at 50") << 50 << u"Home"_s << u"1"_s;
    QTest::newRow("End at 50") << 50 << u"End"_s << u"200"_s;
}

void TestReagentEditor::spin_wrapsAroundAtBothEnds()
{
    QFETCH(int, start);
    QFETCH(QString, press);
    QFETCH(QString, box);
    MainWindowFixture f;
    ShowReagentNumber(f, start);
    auto *spin = f.find<SpinArrows>("VScroll1");
    QCOMPARE(spin->value(), start);

    if (press == u"up") {
        f.spinUp("VScroll1");
    } else if (press == u"down") {
        f.spinDown("VScroll1");
    } else {
        spin->setFocus();
        QTest::keyClick(spin, press == u"Home" ? Qt::Key_Home : Qt::Key_End);
    }

    QCOMPARE(f.text("txtRead"), box);
    QCOMPARE(spin->value(), box.toInt());
}

void TestReagentEditor::reagentNumber_neverChangesTheSelectedLine()
{
    MainWindowFixture f;
    f.clickTab(1);
    f.pickLine("lsReagents", 4);

    const QList<std::pair<QString, std::function<void()>>> changes = {
        {u"9"_s,
         [&f] {
             f.erase("txtRead");
             f.type("txtRead", u"9"_s);
         }},
        {u"10"_s,
         [&f] {
             f.spinUp("VScroll1");
         }},
        {u"0"_s,
         [&f] {
             f.erase("txtRead");
             f.type("txtRead", u"0"_s);
         }},
        {u"200"_s,
         [&f] {
             f.spinDown("VScroll1");
         }},
        {u"1"_s,
         [&f] {
             f.spinUp("VScroll1");
         }},
    };
    for (const auto &[box, change] : changes) {
        change();
        QCOMPARE(f.text("txtRead"), box);
        QCOMPARE(f.selectedLine("lsReagents"), 4);
        QCOMPARE(f.text("lblReagents"), u"Reagent 005:"_s);
        QCOMPARE(f.text("txtReagent"), u"Ethanol 80%"_s);
    }
}

QTEST_MAIN(TestReagentEditor)
#include "tst_reagenteditor.moc"
