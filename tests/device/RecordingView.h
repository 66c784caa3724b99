#pragma once

#include "device/ConnectionView.h"

#include <QStringList>

// A connection view that remembers what the search showed.
class RecordingView final : public ConnectionView
{
public:
    void showConnected(int port) override
    {
        caption = ConnectedCaption(port);
        transfersEnabled = true;
        calls.append(caption);
    }
    void showNotConnected() override
    {
        caption = NotConnectedCaption();
        transfersEnabled = false;
        calls.append(caption);
    }

    QString caption = QStringLiteral("Quenor");
    bool transfersEnabled = true;
    QStringList calls;
};
