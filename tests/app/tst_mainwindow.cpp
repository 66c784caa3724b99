#include "MainWindowFixture.h"
#include "app/Twips.h"
#include "ui/AppSettings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

// The main window's layout, menus, fonts and names, its state before and
// after the load, and the locking of the editor during transfers.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void window_fixedSizeWithPanelAndCaption();
    void layout_controlsAtTheirTwipsPositions_data();
    void layout_controlsAtTheirTwipsPositions();
    void layout_everyControlInsideItsContainer();
    void layout_spinControlsBesideTheirBoxes();
    void fonts_boldLabelsAndFixedPitchLists();
    void menus_captionsOrderAndShortcuts();
    void menus_exitClosesTheWindow();
    void contextMenus_pasteDisabledAtStart();
    void inputControls_haveAccessibleNames();
    void beforeLoad_initialValues();
    void afterLoad_showsProgramOneAndReagentOne();
    void transferButtons_disabledUntilConnected();
    void lists_ctrlClickOnSelectedLine_keepsItSelected_data();
    void lists_ctrlClickOnSelectedLine_keepsItSelected();

    void enableEditing_locksListedControlsOnly();
    void enableEditing_pasteOnlyAfterACopy();
};

void TestMainWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestMainWindow::init()
{
    AppSettings::Open().clear();
}

void TestMainWindow::window_fixedSizeWithPanelAndCaption()
{
    MainWindowFixture f;
    FrmMain &w = f.window();
    QCOMPARE(w.windowTitle(), u"Quenor - not connected."_s); // the search found no instrument
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(w.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!w.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    auto *tabs = f.find<QTabWidget>("SSTab1");
    QCOMPARE(tabs->geometry(), TwipsRect(60, 60, 5895, 6315));
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), u"Programs"_s);
    QCOMPARE(tabs->tabText(1), u"Reagents"_s);
    QCOMPARE(tabs->currentIndex(), 0);
    // The panel fills the window below the menu bar with the same margin all round.
    const QWidget *central = w.centralWidget();
    QCOMPARE(central->width(), tabs->width() + 2 * tabs->x());
    QCOMPARE(central->height(), tabs->height() + 2 * tabs->y());
}

void TestMainWindow::layout_controlsAtTheirTwipsPositions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("container"); // positions are within this control
    QTest::addColumn<QRect>("twips");

    const auto row = [](const char *name, int tab, const char *container, QRect twips) {
        QTest::newRow(name) << QString::fromLatin1(name) << tab << QString::fromLatin1(container)
                            << twips;
    };
    row("Frame2", 0, "SSTab1", QRect(120, 420, 5655, 1335));
    row("frameProgram", 0, "SSTab1", QRect(120, 1800, 5655, 1155));
    row("lsVials", 0, "SSTab1", QRect(120, 3045, 5655, 1740));
    row("Frame4", 0, "SSTab1", QRect(120, 4860, 5655, 1335));
    row("cbReagents", 0, "Frame4", QRect(120, 300, 1935, 315));
    row("cbAgit", 0, "Frame4", QRect(4080, 300, 1455, 315));
    row("Frame3", 0, "Frame4", QRect(120, 660, 2475, 555));
    row("cmdOK", 0, "Frame4", QRect(3720, 780, 1815, 375));
    row("Frame1", 1, "SSTab1", QRect(120, 420, 5655, 1335));
    row("lsReagents", 1, "SSTab1", QRect(120, 1860, 5655, 3900));
}

void TestMainWindow::layout_controlsAtTheirTwipsPositions()
{
    QFETCH(QString, name);
    QFETCH(int, tab);
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    MainWindowFixture f;
    f.find<QTabWidget>("SSTab1")->setCurrentIndex(tab);

    auto *control = f.window().findChild<QWidget *>(name);
    auto *within = f.window().findChild<QWidget *>(container);
    QVERIFY(control && within);
    const QRect expected = TwipsRect(twips.x(), twips.y(), twips.width(), twips.height());
    QCOMPARE(QRect(control->mapTo(within, QPoint(0, 0)), control->size()), expected);
}

void TestMainWindow::layout_everyControlInsideItsContainer()
{
    // Nothing is cut off: every visible control lies wholly within its parent,
    // and each label and button is wide enough for its text.
    MainWindowFixture f;
    auto *tabs = f.find<QTabWidget>("SSTab1");
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QApplication::processEvents();
        const auto controls = tabs->widget(tab)->findChildren<QWidget *>();
        for (QWidget *control : controls) {
            if (!control->isVisible() || control->isWindow() ||
                control->parentWidget()->inherits("QAbstractScrollArea"))
                continue;
            const QRect inside = control->parentWidget()->rect();
            QVERIFY2(inside.contains(control->geometry()), qPrintable(control->objectName()));
            if (auto *label = qobject_cast<QLabel *>(control))
                QVERIFY2(label->width() >= label->sizeHint().width(),
                         qPrintable(label->objectName()));
            if (auto *button = qobject_cast<QPushButton *>(control)) {
                const QString caption = QString(button->text()).remove(u'&');
                const int text = button->fontMetrics().horizontalAdvance(caption);
                QVERIFY2(button->width() >= text + 8, qPrintable(button->objectName()));
            }
        }
    }
}

void TestMainWindow::layout_spinControlsBesideTheirBoxes()
{
    MainWindowFixture f;
    const QList<std::tuple<const char *, const char *, int>> pairs = {
        {"txtReadProgram", "VScroll2", 0}, {"txtRead", "VScroll1", 1}};
    for (const auto &[box, spin, tab] : pairs) {
        f.find<QTabWidget>("SSTab1")->setCurrentIndex(tab);
        QApplication::processEvents();
        const QRect boxRect = f.find(box)->geometry();
        const QRect spinRect = f.find(spin)->geometry();
        QCOMPARE(f.find(spin)->parentWidget(), f.find(box)->parentWidget());
        QCOMPARE(spinRect.left(), boxRect.right() + 1);
        QCOMPARE(spinRect.top(), boxRect.top());
        QCOMPARE(spinRect.height(), boxRect.height());
    }
}

void TestMainWindow::fonts_boldLabelsAndFixedPitchLists()
{
    MainWindowFixture f;
    for (const char *name : {"Label1", "Label2", "lblDuration", "txtProgramName", "cbType",
                             "lblReagents", "txtReagent"}) {
        const QFont font = f.find(name)->font();
        QVERIFY2(font.bold(), name);
        QCOMPARE(font.pointSizeF(), 8.25);
    }
    for (const char *name : {"Label7", "txtReadProgram", "cmdCopy", "cmdPaste", "cmdDelete",
                             "cbReagents", "txtHrs", "cmdOK", "chkPause"}) {
        const QFont font = f.find(name)->font();
        QVERIFY2(!font.bold(), name);
        QCOMPARE(font.pointSizeF(), 8.25);
    }
    const QFont caption = f.find("frameProgram")->font();
    QVERIFY(caption.bold());
    QCOMPARE(caption.pointSizeF(), 9.75);
    for (const char *name : {"lsVials", "lsReagents"}) {
        // Every character as wide as any other, so that the lines form columns.
        // (QFontInfo::fixedPitch() is not reliable for every monospaced font.)
        const QFontMetrics metrics(f.find(name)->font());
        for (QChar c : u"W.: °\""_s)
            QVERIFY2(metrics.horizontalAdvance(c) == metrics.horizontalAdvance(u'i'), name);
        QCOMPARE(f.find(name)->font().pointSizeF(), 9.75);
    }
}

void TestMainWindow::menus_captionsOrderAndShortcuts()
{
    MainWindowFixture f;
    const QList<QAction *> bar = f.window().menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar[0]->text(), u"&File"_s);
    QCOMPARE(bar[0]->menu()->objectName(), u"mnFile"_s);
    QCOMPARE(bar[1]->text(), u"&Help"_s);
    QCOMPARE(bar[1]->menu()->objectName(), u"mnHelp"_s);

    const auto items = [](QMenu *menu) {
        QStringList list;
        for (QAction *action : menu->actions())
            list.append(action->objectName() + u'=' + action->text());
        return list;
    };
    QCOMPARE(items(f.find<QMenu>("mnFile")),
             (QStringList{u"mnImport=&Import Program..."_s, u"mnExport=Export &Program..."_s,
                          u"mnSep2="_s, u"mnPrint=P&rint..."_s, u"mnSep3="_s,
                          u"mnSettings=&Settings..."_s, u"mnSep="_s, u"mnExit=&Exit"_s}));
    QCOMPARE(items(f.find<QMenu>("mnHelp")),
             (QStringList{u"mnRequirements=System Requirements..."_s, u"mnSep4="_s,
                          u"mnAbout=&About..."_s}));
    QCOMPARE(f.find<QAction>("mnPrint")->shortcut(), QKeySequence(u"Ctrl+P"_s));
    QVERIFY(f.find<QAction>("mnSep2")->isSeparator());
    QCOMPARE(items(f.find<QMenu>("mnVial")),
             (QStringList{u"mnCopy=&Copy"_s, u"mnPaste=&Paste"_s, u"mnDelete=&Delete"_s}));
    QCOMPARE(items(f.find<QMenu>("mnReagent")),
             (QStringList{u"mnReagentCopy=&Copy"_s, u"mnReagentPaste=&Paste"_s,
                          u"mnReagentDelete=&Delete"_s}));
    // The context menus are not part of the menu bar.
    QVERIFY(!bar.contains(f.find<QMenu>("mnVial")->menuAction()));
}

void TestMainWindow::menus_exitClosesTheWindow()
{
    MainWindowFixture f;
    QVERIFY(f.window().isVisible());
    f.find<QAction>("mnExit")->trigger();
    QVERIFY(!f.window().isVisible());
    QCOMPARE(f.dialogs().shown().size(), 0);
}

void TestMainWindow::contextMenus_pasteDisabledAtStart()
{
    MainWindowFixture f;
    QVERIFY(f.find<QAction>("mnCopy")->isEnabled());
    QVERIFY(!f.find<QAction>("mnPaste")->isEnabled());
    QVERIFY(f.find<QAction>("mnDelete")->isEnabled());
    QVERIFY(!f.find<QAction>("mnReagentPaste")->isEnabled());
    QVERIFY(!f.find("cmdPaste")->isEnabled());
}

void TestMainWindow::inputControls_haveAccessibleNames()
{
    MainWindowFixture f;
    const QList<std::pair<const char *, QString>> expected = {{"txtReadProgram", u"Program:"_s},
                                                              {"VScroll2", u"Program:"_s},
                                                              {"txtProgramName", u"Program Name"_s},
                                                              {"cbType", u"Program Type"_s},
                                                              {"lsVials", u"Vials"_s},
                                                              {"cbReagents", u"Reagent"_s},
                                                              {"txtHrs", u"Time: h"_s},
                                                              {"txtMin", u"min"_s},
                                                              {"cbAgit", u"Agitation"_s},
                                                              {"txtDeg", u"\u00B0C"_s},
                                                              {"txtRead", u"Reagent:"_s},
                                                              {"VScroll1", u"Reagent:"_s},
                                                              {"lsReagents", u"Reagents"_s}};
    for (const auto &[name, accessible] : expected)
        QCOMPARE(f.find(name)->accessibleName(), accessible);
    // The reagent name box is named by its caption, which follows the reagent.
    QCOMPARE(f.find<QLabel>("lblReagents")->buddy(), f.find("txtReagent"));
    QCOMPARE(f.find<QLabel>("Label2")->buddy(), f.find("txtProgramName"));
}

void TestMainWindow::beforeLoad_initialValues()
{
    ProgramStore store;
    ScriptedDialogs dialogs;
    FrmMain w(store, dialogs, MainWindowFixture::ReplyPeriodMs);
    QCOMPARE(w.windowTitle(), u"Quenor"_s);
    const auto text = [&w](const char *name) {
        return w.findChild<QLineEdit *>(QLatin1StringView(name))->text();
    };
    QCOMPARE(text("txtReadProgram"), u"1"_s);
    QCOMPARE(text("txtHrs"), u"00"_s);
    QCOMPARE(text("txtMin"), u"00"_s);
    QCOMPARE(text("txtDeg"), u"--"_s);
    QCOMPARE(text("txtRead"), u"1"_s);
    QVERIFY(!w.findChild<QLineEdit *>(u"txtDeg"_s)->isEnabled());
    QVERIFY(w.findChild<QRadioButton *>(u"optOff"_s)->isChecked());
    QVERIFY(!w.findChild<QRadioButton *>(u"optOn"_s)->isChecked());
    QVERIFY(!w.findChild<QCheckBox *>(u"chkPause"_s)->isChecked());
    QVERIFY(w.findChild<QPushButton *>(u"cmdOK"_s)->isEnabled());
    QCOMPARE(w.findChild<QGroupBox *>(u"frameProgram"_s)->title(), u"Program 01"_s);
    QCOMPARE(w.findChild<QLabel *>(u"lblDuration"_s)->text(), u"Total Time: 00h 00min"_s);
    QCOMPARE(w.findChild<QLabel *>(u"lblReagents"_s)->text(), u"Reagent 001:"_s);
    QCOMPARE(w.findChild<QLabel *>(u"lblPercent2"_s)->text(), QString());
    QCOMPARE(w.findChild<QComboBox *>(u"cbType"_s)->count(), 0);
    QCOMPARE(w.findChild<QProgressBar *>(u"pbPrograms"_s)->value(), 0);
}

void TestMainWindow::afterLoad_showsProgramOneAndReagentOne()
{
    MainWindowFixture f;
    QCOMPARE(f.find<QGroupBox>("frameProgram")->title(), u"Program 01"_s);
    QCOMPARE(f.text("txtProgramName"), u"Overnight"_s);
    QCOMPARE(f.find<QComboBox>("cbType")->currentText(), u"EM"_s);
    QCOMPARE(f.lines("lsVials").size(), 24);
    QCOMPARE(f.lines("lsVials")[0], u"Vial 01: Formalin 10%  AG2 02:00 37\u00B0C CONT"_s);
    QCOMPARE(f.selectedLine("lsVials"), 0);
    QCOMPARE(f.find<QComboBox>("cbReagents")->currentIndex(), 1);
    QCOMPARE(f.text("txtHrs"), u"2"_s);
    QCOMPARE(f.text("txtMin"), u"00"_s);
    QCOMPARE(f.text("txtDeg"), u"37"_s);
    QCOMPARE(f.text("lblDuration"), u"Total Time: 16h 45min"_s);

    const QStringList agitation = {u"AG0: off"_s,    u"AG1: 0,25Hz"_s, u"AG2: 0,50Hz"_s,
                                   u"AG3: 1,00Hz"_s, u"AG4: 2,00Hz"_s, u"AG5: 3,00Hz"_s};
    auto *cbAgit = f.find<QComboBox>("cbAgit");
    for (int i = 0; i < agitation.size(); ++i)
        QCOMPARE(cbAgit->itemText(i), agitation[i]);
    QCOMPARE(cbAgit->count(), 6);
    QCOMPARE(cbAgit->currentIndex(), 2);
    auto *cbType = f.find<QComboBox>("cbType");
    QCOMPARE(cbType->count(), 2);
    QCOMPARE(cbType->itemText(0), u"LM"_s);
    QCOMPARE(cbType->itemText(1), u"EM"_s);
    auto *cbReagents = f.find<QComboBox>("cbReagents");
    QCOMPARE(cbReagents->count(), 200);
    QCOMPARE(cbReagents->itemText(0), u"001: EMPTY        "_s);
    QCOMPARE(cbReagents->itemText(199), u"200:              "_s);

    const QStringList reagents = f.lines("lsReagents");
    QCOMPARE(reagents.size(), 200);
    QCOMPARE(reagents[2], u"Reagent 003: \"Water        \""_s);
    QCOMPARE(f.selectedLine("lsReagents"), 0);
    QCOMPARE(f.text("lblReagents"), u"Reagent 001:"_s);
    QCOMPARE(f.text("txtReagent"), u"EMPTY"_s);
    QCOMPARE(f.text("txtRead"), u"1"_s);
    // The focus is not pulled onto the hidden tab by the load.
    QVERIFY(!f.find("txtReagent")->hasFocus());
}

void TestMainWindow::transferButtons_disabledUntilConnected()
{
    MainWindowFixture f;
    for (const char *name :
         {"cmdReadProgram", "cmdSendProgram", "cmdReadAllReagents", "cmdReadReagents", "cmdSend"})
        QVERIFY2(!f.find(name)->isEnabled(), name);
    QCOMPARE(f.find<QPushButton>("cmdReadProgram")->text(), u"Read from Quenor"_s);
    QCOMPARE(f.find<QPushButton>("cmdSendProgram")->text(), u"Send to Quenor"_s);
    QCOMPARE(f.find<QPushButton>("cmdReadReagents")->text(), u"Read from Quenor"_s);
    QCOMPARE(f.find<QPushButton>("cmdReadAllReagents")->text(), u"Read ALL from Quenor"_s);
    QCOMPARE(f.find<QPushButton>("cmdSend")->text(), u"&Send reagent"_s);
}

void TestMainWindow::lists_ctrlClickOnSelectedLine_keepsItSelected_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("box"); // shows the selected line's entry
    QTest::addColumn<QString>("shown");

    QTest::newRow("vials") << u"lsVials"_s << 0 << u"txtMin"_s << u"15"_s;
    QTest::newRow("reagents") << u"lsReagents"_s << 1 << u"txtReagent"_s << u"Water"_s;
}

void TestMainWindow::lists_ctrlClickOnSelectedLine_keepsItSelected()
{
    // Ok, paste and delete act on the selected line; it must stay in view as
    // selected, whatever the user clicks.
    QFETCH(QString, list);
    QFETCH(int, tab);
    QFETCH(QString, box);
    QFETCH(QString, shown);
    MainWindowFixture f;
    f.clickTab(tab);
    const QByteArray name = list.toLatin1();
    auto *lines = f.find<QListWidget>(name.constData());
    f.pickLine(name.constData(), 2);
    const QPoint line3 = lines->visualItemRect(lines->item(2)).center();

    for (int round = 0; round < 2; ++round) {
        QTest::mouseClick(lines->viewport(), Qt::LeftButton, Qt::ControlModifier, line3);
        QCOMPARE(lines->selectedItems(), QList<QListWidgetItem *>{lines->item(2)});
        QCOMPARE(f.selectedLine(name.constData()), 2);
        QCOMPARE(f.text(box.toLatin1().constData()), shown);
    }

    // Ctrl+click on another line selects that line only.
    const QPoint line5 = lines->visualItemRect(lines->item(4)).center();
    QTest::mouseClick(lines->viewport(), Qt::LeftButton, Qt::ControlModifier, line5);
    QCOMPARE(lines->selectedItems(), QList<QListWidgetItem *>{lines->item(4)});
    QCOMPARE(f.selectedLine(name.constData()), 4);
}

void TestMainWindow::enableEditing_locksListedControlsOnly()
{
    MainWindowFixture f;
    const QList<const char *> locked = {"cmdReadAllReagents",
                                        "cmdReadReagents",
                                        "cmdSend",
                                        "txtReadProgram",
                                        "VScroll2",
                                        "cmdSendProgram",
                                        "cmdOK",
                                        "cmdReadProgram",
                                        "cmdCopy",
                                        "cmdDelete",
                                        "lsVials",
                                        "txtProgramName",
                                        "cbType"};
    const QList<const char *> untouched = {"SSTab1",   "lsReagents", "txtReagent", "txtRead",
                                           "VScroll1", "cbReagents", "txtHrs",     "txtMin",
                                           "cbAgit",   "optOff",     "optOn",      "chkPause"};

    f.window().EnableEditing(false);
    for (const char *name : locked)
        QVERIFY2(!f.find(name)->isEnabled(), name);
    for (const char *name : untouched)
        QVERIFY2(f.find(name)->isEnabled(), name);
    QVERIFY(!f.find<QMenu>("mnFile")->menuAction()->isEnabled());
    QVERIFY(!f.find<QMenu>("mnHelp")->menuAction()->isEnabled());
    QVERIFY(f.find<QAction>("mnCopy")->isEnabled());

    f.window().EnableEditing(true);
    for (const char *name : locked)
        QVERIFY2(f.find(name)->isEnabled(), name);
    QVERIFY(f.find<QMenu>("mnFile")->menuAction()->isEnabled());
    QVERIFY(f.find<QMenu>("mnHelp")->menuAction()->isEnabled());
}

void TestMainWindow::enableEditing_pasteOnlyAfterACopy()
{
    MainWindowFixture f;
    f.window().EnableEditing(false);
    f.window().EnableEditing(true);
    QVERIFY(!f.find("cmdPaste")->isEnabled());

    f.click("cmdCopy");
    QVERIFY(f.find("cmdPaste")->isEnabled());
    f.window().EnableEditing(false);
    QVERIFY(!f.find("cmdPaste")->isEnabled());
    f.window().EnableEditing(true);
    QVERIFY(f.find("cmdPaste")->isEnabled());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
