#pragma once

#include "store/ProgramStore.h"

#include <QMainWindow>

#include <functional>

class Dialogs;
class ProgramEditor;
class QAction;
class QMenu;
class ReagentEditor;
class TabPanel;

// The main window: menu bar, the tabbed panel with the "Programs" and
// "Reagents" tabs, the load that fills it from the store file, and the
// shutdown. The store itself belongs to the caller and outlives the window.
class FrmMain : public QMainWindow
{
    Q_OBJECT

public:
    FrmMain(ProgramStore &store, Dialogs &dialogs, QWidget *parent = nullptr);
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

    // The device link's places in the load and the shutdown: the serial line
    // settings, the search for the instrument, and closing the port.
    void ApplySerialSettings() {}
    void ConnectDevice() {}
    void ClosePort() {}

    ProgramStore &m_store;
    Dialogs &m_dialogs;
    bool m_unloaded = false;

    TabPanel *SSTab1;
    ProgramEditor *m_programs;
    ReagentEditor *m_reagents;

    QMenu *mnFile;
    QMenu *mnHelp;
};
