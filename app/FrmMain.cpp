#include "app/FrmMain.h"

#include "app/AppFonts.h"
#include "app/KeepOnScreen.h"
#include "app/ProgramEditor.h"
#include "app/ReagentEditor.h"
#include "app/TabPanel.h"
#include "app/Twips.h"
#include "device/DeviceSearch.h"
#include "device/SerialLink.h"
#include "device/ServiceConsole.h"
#include "device/SettingsDialog.h"
#include "store/StoreFile.h"
#include "ui/AppSettings.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>

#include <cmath>

namespace {

QAction *AddItem(QMenu *menu, const char *name, const QString &text,
                 const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QLatin1StringView(name));
    action->setShortcut(shortcut);
    return action;
}

void AddSeparator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QLatin1StringView(name));
}

// A position setting in twips as pixels; fallback when it is missing or not a number.
int SettingPixels(const QSettings &settings, QAnyStringView key, int fallback)
{
    bool ok = false;
    const double twips = settings.value(key).toString().toDouble(&ok);
    if (!ok || !std::isfinite(twips))
        return fallback;
    // Far outside any screen, yet safe to turn into an int; KeepOnScreen does the rest.
    return int(std::lround(qBound(-1e8, twips / TwipsPerPixel, 1e8)));
}

} // namespace

FrmMain::FrmMain(ProgramStore &store, Dialogs &dialogs, int replyPeriodMs, QWidget *parent)
    : QMainWindow(parent)
    , m_store(store)
    , m_dialogs(dialogs)
    , m_link(new SerialLink(replyPeriodMs, this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quenor"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(SansFont(8.25));
    buildMenus();

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    SSTab1 = new TabPanel(central);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    const QRect panel = TwipsRect(60, 60, 5895, 6315);
    SSTab1->setGeometry(panel);
    m_programs = new ProgramEditor(store, dialogs);
    m_reagents = new ReagentEditor(store);
    SSTab1->addTab(m_programs, QStringLiteral("Programs"));
    SSTab1->addTab(m_reagents, QStringLiteral("Reagents"));
    SSTab1->setCurrentIndex(0);
    const QPoint origin = SSTab1->pageOrigin();
    m_programs->placeControls(origin);
    m_reagents->placeControls(origin);
    connect(SSTab1, &TabPanel::tabClicked, this, &FrmMain::SSTab1_Click);
    new ServiceConsole(*SSTab1, *m_link, m_dialogs, this);
    setCentralWidget(central);

    // The panel with the same margin all round; the window keeps its size.
    const QSize client(panel.width() + 2 * panel.left(), panel.height() + 2 * panel.top());
    setFixedSize(client.width(), client.height() + menuBar()->sizeHint().height());
}

FrmMain::~FrmMain() = default;

void FrmMain::buildMenus()
{
    mnFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnFile->setObjectName(QStringLiteral("mnFile"));
    AddItem(mnFile, "mnImport", QStringLiteral("&Import Program..."));
    AddItem(mnFile, "mnExport", QStringLiteral("Export &Program..."));
    AddSeparator(mnFile, "mnSep2");
    AddItem(mnFile, "mnPrint", QStringLiteral("P&rint..."), QKeySequence(Qt::CTRL | Qt::Key_P));
    AddSeparator(mnFile, "mnSep3");
    QAction *mnSettings = AddItem(mnFile, "mnSettings", QStringLiteral("&Settings..."));
    connect(mnSettings, &QAction::triggered, this, &FrmMain::mnSettings_Click);
    AddSeparator(mnFile, "mnSep");
    QAction *mnExit = AddItem(mnFile, "mnExit", QStringLiteral("&Exit"));
    connect(mnExit, &QAction::triggered, this, &QWidget::close);

    mnHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnHelp->setObjectName(QStringLiteral("mnHelp"));
    AddItem(mnHelp, "mnRequirements", QStringLiteral("System Requirements..."));
    AddSeparator(mnHelp, "mnSep4");
    AddItem(mnHelp, "mnAbout", QStringLiteral("&About..."));
}

void FrmMain::Load(const QString &appFolder, const std::function<void()> &progressStep)
{
    const auto step = [&progressStep] {
        if (progressStep)
            progressStep();
    };
    // Where the window system tells the size of the window frame only for a
    // created window, the position then takes the frame into account.
    winId();
    restorePosition();
    KeepOnScreen(*this);
    m_link->ApplyLineSettings();
    ConnectDevice(*m_link, *this);
    step();

    ::LoadStore(m_store, appFolder, [&](LoadStage stage) {
        switch (stage) {
        case LoadStage::ReagentsNext:
            m_programs->fillAgitationList();
            break;
        case LoadStage::ReagentsLoaded:
            m_reagents->fillReagentList();
            m_programs->fillReagentChoices();
            m_reagents->selectReagentLine(0);
            break;
        case LoadStage::ProgramsLoaded:
            break;
        }
        step();
    });
    m_programs->fillTypeList();
    m_programs->txtReadProgram_Change();
    m_reagents->txtRead_Change();
    step();
}

void FrmMain::restorePosition()
{
    const QSettings settings = AppSettings::Open();
    const QRect screen =
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
    const QRect frame = frameGeometry();
    const int top = SettingPixels(settings, AppSettings::MainTop,
                                  screen.top() + (screen.height() - frame.height()) / 2);
    move(x(), top);
    const int left = SettingPixels(settings, AppSettings::MainLeft,
                                   screen.left() + (screen.width() - frame.width()) / 2);
    move(left, y());
}

void FrmMain::savePosition()
{
    QSettings settings = AppSettings::Open();
    settings.setValue(AppSettings::MainTop, QString::number(y() * TwipsPerPixel));
    settings.setValue(AppSettings::MainLeft, QString::number(x() * TwipsPerPixel));
}

int FrmMain::CurrentProgramNumber() const
{
    return m_programs->CurrentProgramNumber();
}

void FrmMain::txtReadProgram_Change()
{
    m_programs->txtReadProgram_Change();
}

void FrmMain::EnableEditing(bool enabled)
{
    m_reagents->EnableEditing(enabled);
    mnFile->menuAction()->setEnabled(enabled);
    mnHelp->menuAction()->setEnabled(enabled);
    m_programs->EnableEditing(enabled);
}

void FrmMain::showConnected(int port)
{
    setWindowTitle(ConnectedCaption(port));
    setTransferButtonsEnabled(true);
}

void FrmMain::showNotConnected()
{
    setWindowTitle(NotConnectedCaption());
    setTransferButtonsEnabled(false);
}

void FrmMain::setTransferButtonsEnabled(bool enabled)
{
    m_programs->setTransferButtonsEnabled(enabled);
    m_reagents->setTransferButtonsEnabled(enabled);
}

void FrmMain::mnSettings_Click()
{
    SettingsDialog frmSettings(*m_link, *this, m_dialogs, this);
    frmSettings.exec();
}

void FrmMain::SSTab1_Click(int previousTab)
{
    // Names changed on the "Reagents" tab reach the vial lines and choices.
    if (previousTab == 1)
        m_programs->showReagentNamesAgain();
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_unloaded)
        return;
    m_unloaded = true;
    // A minimised window keeps the position saved before.
    if (!isMinimized())
        savePosition();
    m_link->ClosePort();
    emit ended();
}
