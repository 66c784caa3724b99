#pragma once

#include "store/ProgramStore.h"

#include <QString>

#include <memory>

class Dialogs;
class FrmMain;

// The running program: the program store and the main window, brought up by
// the start sequence and ended by the main window's unload. The dialogs and
// the folder that holds Quenor.ini are given by the caller.
class QuenorApp
{
public:
    // How long the serial link waits for the instrument's reply before it
    // sends the request again.
    static constexpr int ReplyPeriodMs = 1000;

    QuenorApp(Dialogs &dialogs, const QString &appFolder, int replyPeriodMs = ReplyPeriodMs);
    ~QuenorApp();
    QuenorApp(const QuenorApp &) = delete;
    QuenorApp &operator=(const QuenorApp &) = delete;

    // The safety notice; then the loading window, shown and painted, while
    // the main window loads; then the loading window goes and the main window
    // appears. Closing the main window ends the application's event loop.
    void Start();

    ProgramStore &store() { return m_store; }
    // Null before Start.
    FrmMain *mainWindow() const { return m_main.get(); }

private:
    Dialogs &m_dialogs;
    QString m_appFolder;
    int m_replyPeriodMs;
    ProgramStore m_store;
    std::unique_ptr<FrmMain> m_main;
};
