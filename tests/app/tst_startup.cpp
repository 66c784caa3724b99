#include "AppFixture.h"
#include "IsolatedPorts.h"
#include "ScriptedDialogs.h"
#include "app/EditorTexts.h"
#include "app/FrmMain.h"
#include "app/KeepOnScreen.h"
#include "app/QuenorApp.h"
#include "ui/AppSettings.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QWidget *TopLevel(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name)
            return widget;
    }
    return nullptr;
}

QStringList VisibleWindows()
{
    QStringList names;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            names.append(widget->objectName());
    }
    return names;
}

// What the start had done when the loading window's bar took a value.
struct StartSnapshot
{
    int bar = 0;
    bool loadVisible = false;
    bool mainVisible = false;
    int agitations = -1, reagentLines = -1, reagentChoices = -1, types = -1, vialLines = -1;
    QString reagentCaption, programCaption;
    QByteArray program1Name;
};

// Watches the windows of the start: follows the loading window's bar as soon
// as the window shows, and notes what was visible when the main window showed.
class StartWatcher : public QObject
{
public:
    explicit StartWatcher(QuenorApp &app)
        : m_app(app)
    {
        qApp->installEventFilter(this);
    }
    ~StartWatcher() override { qApp->removeEventFilter(this); }

    QList<StartSnapshot> snapshots;
    QRect loadGeometry;
    QString loadLabel;
    bool loadFrameless = false;
    int barWhenLoadShown = -1, barMaximum = -1;
    QStringList windowsWhenMainShown;
    int barWhenMainShown = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        if (watched->objectName() == u"frmLoad") {
            auto *bar = watched->findChild<QProgressBar *>(QStringLiteral("pbLoad"));
            if (bar && !m_bar) {
                m_bar = bar;
                auto *load = static_cast<QWidget *>(watched);
                loadGeometry = load->frameGeometry();
                loadLabel = load->findChild<QLabel *>(QStringLiteral("Label1"))->text();
                loadFrameless = load->windowFlags().testFlag(Qt::FramelessWindowHint);
                barWhenLoadShown = bar->value();
                barMaximum = bar->maximum();
                connect(bar, &QProgressBar::valueChanged, this, [this](int value) {
                    snapshots.append(snapshot(value));
                    m_lastBar = value;
                });
            }
        } else if (watched->objectName() == u"frmMain") {
            windowsWhenMainShown = VisibleWindows();
            barWhenMainShown = m_lastBar;
        }
        return false;
    }

private:
    StartSnapshot snapshot(int value) const
    {
        StartSnapshot s;
        s.bar = value;
        QWidget *load = TopLevel(QStringLiteral("frmLoad"));
        s.loadVisible = load && load->isVisible();
        QWidget *main = TopLevel(QStringLiteral("frmMain"));
        if (!main)
            return s;
        s.mainVisible = main->isVisible();
        const auto count = [main](const char *name) {
            if (auto *combo = main->findChild<QComboBox *>(QLatin1StringView(name)))
                return combo->count();
            return main->findChild<QListWidget *>(QLatin1StringView(name))->count();
        };
        s.agitations = count("cbAgit");
        s.reagentLines = count("lsReagents");
        s.reagentChoices = count("cbReagents");
        s.types = count("cbType");
        s.vialLines = count("lsVials");
        s.reagentCaption = main->findChild<QLabel *>(QStringLiteral("lblReagents"))->text();
        s.programCaption = main->findChild<QGroupBox *>(QStringLiteral("frameProgram"))->title();
        s.program1Name = m_app.store().Programs[1].Name;
        return s;
    }

    QuenorApp &m_app;
    QProgressBar *m_bar = nullptr;
    int m_lastBar = -1;
};

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

using namespace Qt::StringLiterals;

// The start sequence, the window position and the shutdown, run as the
// program runs them.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void start_noticeFirstThenLoadingWindowThenMainWindow();
    void start_loadingBarStepsWithTheLoad();
    void start_withoutStoreFile_showsEmptyStoreAndWritesNothing();
    void startAndShutdown_neverWriteTheStoreFile();

    void position_firstStart_isCentred();
    void position_savedSettings_restored_data();
    void position_savedSettings_restored();
    void keepOnScreen_data();
    void keepOnScreen();
    void keepOnScreen_window_data();
    void keepOnScreen_window();

    void shutdown_savesPositionAsTwipsAndEnds_data();
    void shutdown_savesPositionAsTwipsAndEnds();
    void shutdown_minimised_keepsSavedPosition();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestStartup::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestStartup::init()
{
    AppSettings::Open().clear();
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    IsolatePorts(m_folder->path());
}

void TestStartup::start_noticeFirstThenLoadingWindowThenMainWindow()
{
    WriteStoreFile(SampleStore(), m_folder->path());
    ScriptedDialogs dialogs;
    QStringList windowsDuringNotice{QStringLiteral("not asked")};
    dialogs.onShown = [&](const ScriptedDialogs::Shown &) {
        windowsDuringNotice = VisibleWindows();
    };
    dialogs.answer(Dialogs::Answer::Ok);

    QuenorApp app(dialogs, m_folder->path());
    StartWatcher watcher(app);
    app.Start();

    QCOMPARE(dialogs.shown().size(), 1);
    const ScriptedDialogs::Shown &notice = dialogs.last();
    QCOMPARE(notice.title, QStringLiteral("Quenor"));
    QCOMPARE(notice.icon, Dialogs::Icon::Exclamation);
    QCOMPARE(notice.buttons, Dialogs::Buttons::Ok);
    QCOMPARE(
        notice.text,
        QStringLiteral("IMPORTANT INFORMATION!\r\n"
                       "\r\n"
                       "For safe data transfer via the PC software,\r\n"
                       "the Quenor must be in configuration mode.\r\n"
                       "\r\n"
                       "To do this:\r\n"
                       "Switch on the Quenor and immediately press the PROG button.          \r\n"
                       "Execute data transfer.\r\n"
                       "After data transfer has been completed,\r\n"
                       "leave the configuration mode by pressing the STOP button.\r\n"
                       "\r\n"
                       "NEVER execute data transfer when the Quenor is in standby\r\n"
                       "or when a program is running!"));
    QVERIFY(dialogs.scriptFinished());
    QCOMPARE(windowsDuringNotice, QStringList());

    // The loading window was gone, its bar full, when the main window appeared.
    QCOMPARE(watcher.windowsWhenMainShown, QStringList{QStringLiteral("frmMain")});
    QCOMPARE(watcher.barWhenMainShown, 5);
    QVERIFY(!TopLevel(QStringLiteral("frmLoad")));

    FrmMain *main = app.mainWindow();
    QVERIFY(main->isVisible());
    QCOMPARE(main->windowTitle(), QStringLiteral("Quenor - not connected."));
    QCOMPARE(main->findChild<QGroupBox *>(QStringLiteral("frameProgram"))->title(),
             QStringLiteral("Program 01"));
    QCOMPARE(main->findChild<QLineEdit *>(QStringLiteral("txtProgramName"))->text(),
             QStringLiteral("Overnight"));
    QCOMPARE(main->findChild<QListWidget *>(QStringLiteral("lsVials"))->currentRow(), 0);
}

void TestStartup::start_loadingBarStepsWithTheLoad()
{
    WriteStoreFile(SampleStore(), m_folder->path());
    ScriptedDialogs dialogs;
    QuenorApp app(dialogs, m_folder->path());
    StartWatcher watcher(app);
    app.Start();

    // A small window without title bar in the middle of the screen.
    QCOMPARE(watcher.loadGeometry.size(), QSize(250, 63));
    QCOMPARE(watcher.loadGeometry.center(), QGuiApplication::primaryScreen()->geometry().center());
    QVERIFY(watcher.loadFrameless);
    QCOMPARE(watcher.loadLabel, u"Loading..."_s);
    QCOMPARE(watcher.barWhenLoadShown, 0);
    QCOMPARE(watcher.barMaximum, 5);

    const QList<StartSnapshot> &s = watcher.snapshots;
    QCOMPARE(s.size(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(s[i].bar, i + 1);
        QVERIFY(s[i].loadVisible);
        QVERIFY(!s[i].mainVisible);
    }
    // 1: after the device search, before the store load.
    QCOMPARE(s[0].agitations, 0);
    QCOMPARE(s[0].reagentLines, 0);
    // 2: the agitation list is filled, the reagents come next.
    QCOMPARE(s[1].agitations, 6);
    QCOMPARE(s[1].reagentLines, 0);
    // 3: the reagent lists are filled and reagent 1 is shown; no program read yet.
    QCOMPARE(s[2].reagentLines, 200);
    QCOMPARE(s[2].reagentChoices, 200);
    QCOMPARE(s[2].reagentCaption, QStringLiteral("Reagent 001:"));
    QVERIFY(FitName(s[2].program1Name, true).isEmpty());
    // 4: the programs are read; the type list is still empty and nothing is shown.
    QCOMPARE(s[3].program1Name, QByteArray("Overnight    "));
    QCOMPARE(s[3].types, 0);
    QCOMPARE(s[3].vialLines, 0);
    // 5: the type list is filled and program 1 is shown.
    QCOMPARE(s[4].types, 2);
    QCOMPARE(s[4].vialLines, 24);
    QCOMPARE(s[4].programCaption, QStringLiteral("Program 01"));
}

void TestStartup::start_withoutStoreFile_showsEmptyStoreAndWritesNothing()
{
    ScriptedDialogs dialogs;
    QuenorApp app(dialogs, m_folder->path());
    app.Start();
    FrmMain *main = app.mainWindow();

    auto *vials = main->findChild<QListWidget *>(QStringLiteral("lsVials"));
    QCOMPARE(vials->count(), 24);
    QCOMPARE(vials->item(0)->text(),
             QString::fromUtf8("Vial 01:               AG0 00:00 --\u00B0C CONT"));
    QCOMPARE(main->findChild<QLineEdit *>(QStringLiteral("txtProgramName"))->text(), QString());
    QCOMPARE(main->findChild<QComboBox *>(QStringLiteral("cbType"))->currentText(),
             QStringLiteral("EM"));
    QCOMPARE(main->findChild<QListWidget *>(QStringLiteral("lsReagents"))->item(199)->text(),
             QStringLiteral("Reagent 200: \"             \""));

    main->close();
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList());
}

void TestStartup::startAndShutdown_neverWriteTheStoreFile()
{
    WriteStoreFile(SampleStore(), m_folder->path());
    const QString path = m_folder->filePath(QStringLiteral("Quenor.ini"));
    const QByteArray before = ReadFile(path);
    const QDateTime modified = QFileInfo(path).lastModified();

    ScriptedDialogs dialogs;
    QuenorApp app(dialogs, m_folder->path());
    app.Start();
    // Editing changes the store in memory only.
    auto *name = app.mainWindow()->findChild<QLineEdit *>(QStringLiteral("txtProgramName"));
    QTest::keyClicks(name, QStringLiteral("X"));
    QCOMPARE(app.store().Programs[1].Name, QByteArray("OvernightX   "));
    app.mainWindow()->close();

    QCOMPARE(ReadFile(path), before);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList{QStringLiteral("Quenor.ini")});
}

void TestStartup::position_firstStart_isCentred()
{
    ScriptedDialogs dialogs;
    QuenorApp app(dialogs, m_folder->path());
    app.Start();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = app.mainWindow()->frameGeometry();
    QCOMPARE(frame.top(), (screen.height() - frame.height()) / 2);
    QCOMPARE(frame.left(), (screen.width() - frame.width()) / 2);
}

void TestStartup::position_savedSettings_restored_data()
{
    QTest::addColumn<QVariant>("top");
    QTest::addColumn<QVariant>("left");
    QTest::addColumn<QString>("expectTop"); // "centre", "far" (bottom or right edge) or pixels
    QTest::addColumn<QString>("expectLeft");

    QTest::newRow("twips") << QVariant(u"1500"_s) << QVariant(u"3000"_s) << u"100"_s << u"200"_s;
    QTest::newRow("fraction") << QVariant(u"1507.4"_s) << QVariant(u"2992.6"_s) << u"100"_s
                              << u"200"_s;
    QTest::newRow("below the screen")
        << QVariant(u"99999"_s) << QVariant(u"-500"_s) << u"far"_s << u"0"_s;
    QTest::newRow("past bottom right")
        << QVariant(u"99999"_s) << QVariant(u"99999"_s) << u"far"_s << u"far"_s;
    QTest::newRow("top only") << QVariant(u"750"_s) << QVariant() << u"50"_s << u"centre"_s;
    QTest::newRow("not numbers") << QVariant(u"abc"_s) << QVariant(u"12px"_s) << u"centre"_s
                                 << u"centre"_s;
    QTest::newRow("empty") << QVariant(QString()) << QVariant(u" "_s) << u"centre"_s << u"centre"_s;
    QTest::newRow("not finite") << QVariant(u"nan"_s) << QVariant(u"inf"_s) << u"centre"_s
                                << u"centre"_s;
    QTest::newRow("huge") << QVariant(u"1e300"_s) << QVariant(u"-1e300"_s) << u"far"_s << u"0"_s;
}

void TestStartup::position_savedSettings_restored()
{
    QFETCH(QVariant, top);
    QFETCH(QVariant, left);
    QFETCH(QString, expectTop);
    QFETCH(QString, expectLeft);
    {
        QSettings settings = AppSettings::Open();
        if (top.isValid())
            settings.setValue(AppSettings::MainTop, top);
        if (left.isValid())
            settings.setValue(AppSettings::MainLeft, left);
    }

    ScriptedDialogs dialogs;
    QuenorApp app(dialogs, m_folder->path());
    app.Start();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = app.mainWindow()->frameGeometry();
    const auto expected = [](const QString &expect, int centre, int far) {
        if (expect == u"centre")
            return centre;
        if (expect == u"far")
            return far;
        return expect.toInt();
    };
    QCOMPARE(frame.top(), expected(expectTop, (screen.height() - frame.height()) / 2,
                                   screen.height() - frame.height()));
    QCOMPARE(frame.left(), expected(expectLeft, (screen.width() - frame.width()) / 2,
                                    screen.width() - frame.width()));
}

void TestStartup::keepOnScreen_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("inside") << QRect(100, 50, 400, 450) << QRect(100, 50, 400, 450);
    QTest::newRow("above and left") << QRect(-30, -20, 400, 450) << QRect(0, 0, 400, 450);
    QTest::newRow("past bottom right") << QRect(700, 500, 400, 450) << QRect(400, 150, 400, 450);
    QTest::newRow("touching bottom right")
        << QRect(400, 150, 400, 450) << QRect(400, 150, 400, 450);
    QTest::newRow("larger than the screen") << QRect(50, 60, 1000, 700) << QRect(0, 0, 800, 600);
    QTest::newRow("taller only") << QRect(300, 10, 400, 900) << QRect(300, 0, 400, 600);
}

void TestStartup::keepOnScreen()
{
    QFETCH(QRect, window);
    QFETCH(QRect, expected);
    QCOMPARE(KeepOnScreen(window, QRect(0, 0, 800, 600)), expected);
}

void TestStartup::keepOnScreen_window_data()
{
    // Sizes and positions beyond the screen's size, whatever the platform makes it.
    QTest::addColumn<QSize>("beyond"); // added to the screen's size; empty: 300 by 200
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QPoint>("position"); // from the screen's bottom right corner

    QTest::newRow("larger than the screen, fixed size")
        << QSize(200, 100) << true << QPoint(-750, -550);
    QTest::newRow("larger than the screen") << QSize(200, 100) << false << QPoint(-750, -550);
    QTest::newRow("past bottom right") << QSize() << false << QPoint(-100, -50);
    QTest::newRow("far past bottom right, fixed size") << QSize() << true << QPoint(4000, 3000);
}

void TestStartup::keepOnScreen_window()
{
    QFETCH(QSize, beyond);
    QFETCH(bool, fixed);
    QFETCH(QPoint, position);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize size = beyond.isEmpty() ? QSize(300, 200) : screen.size() + beyond;

    QWidget window;
    if (fixed)
        window.setFixedSize(size);
    else
        window.resize(size);
    window.winId(); // the frame is known once the window exists
    window.move(screen.bottomRight() + position);
    const QSize frame = window.frameGeometry().size() - window.size();

    KeepOnScreen(window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    if (beyond.isEmpty()) {
        QCOMPARE(window.frameGeometry().bottomRight(), screen.bottomRight());
        QCOMPARE(window.size(), size);
    } else {
        QCOMPARE(window.frameGeometry(), screen);
        QCOMPARE(window.size(), screen.size() - frame);
    }
    QCOMPARE(window.minimumSize() == window.maximumSize(), fixed);
}

void TestStartup::shutdown_savesPositionAsTwipsAndEnds_data()
{
    QTest::addColumn<bool>("byExitItem");
    QTest::newRow("close box") << false;
    QTest::newRow("File, Exit") << true;
}

void TestStartup::shutdown_savesPositionAsTwipsAndEnds()
{
    QFETCH(bool, byExitItem);
    ScriptedDialogs dialogs;
    QuenorApp app(dialogs, m_folder->path());
    app.Start();
    FrmMain *main = app.mainWindow();
    main->move(120, 40);
    QSignalSpy ended(main, &FrmMain::ended);

    if (byExitItem)
        main->findChild<QAction *>(QStringLiteral("mnExit"))->trigger();
    else
        main->close();

    QVERIFY(!main->isVisible());
    QCOMPARE(ended.size(), 1);
    QVERIFY(dialogs.shown().size() == 1); // the notice; no question at the end
    const QSettings settings = AppSettings::Open();
    QCOMPARE(settings.value(AppSettings::MainTop).toString(), QStringLiteral("600"));
    QCOMPARE(settings.value(AppSettings::MainLeft).toString(), QStringLiteral("1800"));
}

void TestStartup::shutdown_minimised_keepsSavedPosition()
{
    {
        QSettings settings = AppSettings::Open();
        settings.setValue(AppSettings::MainTop, QStringLiteral("300"));
        settings.setValue(AppSettings::MainLeft, QStringLiteral("450"));
    }
    ScriptedDialogs dialogs;
    QuenorApp app(dialogs, m_folder->path());
    app.Start();
    FrmMain *main = app.mainWindow();
    main->move(200, 200);
    main->showMinimized();
    QSignalSpy ended(main, &FrmMain::ended);
    main->close();

    QCOMPARE(ended.size(), 1);
    const QSettings settings = AppSettings::Open();
    QCOMPARE(settings.value(AppSettings::MainTop).toString(), QStringLiteral("300"));
    QCOMPARE(settings.value(AppSettings::MainLeft).toString(), QStringLiteral("450"));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
