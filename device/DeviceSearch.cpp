#include "DeviceSearch.h"

#include "ConnectionView.h"
#include "DeviceIdentity.h"
#include "SerialLink.h"

#include "store/StoreHelpers.h"
#include "ui/AppSettings.h"

#include <QScopeGuard>

namespace {

// Set while a search runs; there is one user-interface thread and one link.
bool searching = false;

bool ProbePort(SerialLink &link, int port)
{
    link.setPortNumber(port);
    bool found = false;
    if (link.OpenPort()) {
        link.SendCommand(IdentifyCommand.toByteArray());
        found = IsInstrumentReply(link.ReplyText());
    }
    link.ClosePort();
    return found;
}

} // namespace

int SavedCommPort(int defaultPort)
{
    const QSettings settings = AppSettings::Open();
    if (!settings.contains(QLatin1StringView(AppSettings::CommPort)))
        return defaultPort;
    const QByteArray text =
        settings.value(QLatin1StringView(AppSettings::CommPort)).toString().trimmed().toLatin1();
    qint32 port = 0;
    if (!ParseWholeNumber(text, port) || port < 0 || port > PortCount)
        return 0;
    return port;
}

void ConnectDevice(SerialLink &link, ConnectionView &view)
{
    if (searching)
        return;
    searching = true;
    const auto done = qScopeGuard([] { searching = false; });

    link.ClosePort();
    const int saved = SavedCommPort(0);
    int found = 0;
    if (saved != 0) {
        if (ProbePort(link, saved))
            found = saved;
    } else {
        for (int port = 1; port <= PortCount; ++port) {
            if (ProbePort(link, port))
                found = port;
        }
    }

    if (found == 0) {
        view.showNotConnected();
        return;
    }
    AppSettings::Open().setValue(QLatin1StringView(AppSettings::CommPort), QString::number(found));
    view.showConnected(found);
    link.setPortNumber(found);
    link.OpenPort();
}
