#pragma once

#include <QString>

// What the device search shows of the connection: the main window implements it
// by setting its caption and enabling or disabling its five transfer buttons.
class ConnectionView
{
public:
    virtual ~ConnectionView() = default;
    virtual void showConnected(int port) = 0;
    virtual void showNotConnected() = 0;

    // The main window's caption in each state.
    static QString ConnectedCaption(int port)
    {
        return QStringLiteral("Quenor - connected on COM%1").arg(port);
    }
    static QString NotConnectedCaption() { return QStringLiteral("Quenor - not connected."); }
};
