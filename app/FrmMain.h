#pragma once

#include "device/ConnectionView.h"
#include "store/ProgramStore.h"

#include <QMainWindow>

#include <functional>

class Dialogs;
class ProgramEditor;
class QAction;
class QMenu;
class ReagentEditor;
class SerialLink;
class TabPanel;

// The main window: menu bar, the tabbed panel with the "Programs" and
// "Reagents" tabs, the load that fills it from the store file, and the
// shutdown. It owns the serial link to the instrument and shows its
// connection state. The store itself belongs to the caller and outlives the window.
class FrmMain : public QMainWindow, public ConnectionView
{
    Q_OBJECT

public:
    // replyPeriodMs: how long the serial link waits for a reply before it
    // sends the request again.
    FrmMain(ProgramStore &store, Dialogs &dialogs, int replyPeriodMs, QWidget *parent = nullptr);
    ~FrmMain() override;

    // The window's load, run once before it is first shown: position from the
    // user's settings kept on the screen, the serial settings, the device
    // search, and the store loaded from Quenor.ini in appFolder, filling the
    // lists and showing program 1 and reagent 1. progressStep is called five
    // times along the way.
    void Load(const QString &appFolder, const std::function<void()> &progressStep = {});

    // The current program: the program number box's text clamped to 1 to 99.
    int CurrentProgramNumber() const;
    // Shows the current program again after its record changed.
    void txtReadProgram_Change();
    // Locks the editor and the transfer buttons while a transfer runs.
    void EnableEditing(bool enabled);

    // The caption and the five transfer buttons follow the device search.
    void showConnected(int port) override;
    void showNotConnected() override;

    SerialLink &link() { return *m_link; }

signals:
    // The window has unloaded: the program ends.
    void ended();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void restorePosition();
    void savePosition();
    void LoadStore(const std::function<void()> &progressStep);
    void SSTab1_Click(int previousTab);
    void mnSettings_Click();
    void setTransferButtonsEnabled(bool enabled);

    ProgramStore &m_store;
    Dialogs &m_dialogs;
    bool m_unloaded = false;
    SerialLink *m_link;

    TabPanel *SSTab1;
    ProgramEditor *m_programs;
    ReagentEditor *m_reagents;

    QMenu *mnFile;
    QMenu *mnHelp;
};
