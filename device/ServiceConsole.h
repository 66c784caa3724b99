#pragma once

#include <QObject>

class Dialogs;
class QTabWidget;
class SerialLink;

// The hidden service console: Ctrl+Shift+S on the main window's tabbed panel
// asks for a raw instrument command, sends it and shows the reply as it came.
// It makes the panel's tab bar take the focus when a tab is clicked.
class ServiceConsole : public QObject
{
    Q_OBJECT
public:
    ServiceConsole(QTabWidget &panel, SerialLink &link, Dialogs &dialogs,
                   QObject *parent = nullptr);

    // Asks for a command, sends it and shows the response.
    void run();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTabWidget &m_panel;
    SerialLink &m_link;
    Dialogs &m_dialogs;
};
