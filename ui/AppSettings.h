#pragma once

#include <QSettings>
#include <QString>

// The per-user settings store: organisation and application "Quenor", keys in
// the group "Settings" (and the serial port paths in "Ports"). Key names live
// here only.
namespace AppSettings {

inline constexpr auto CommPort = "Settings/CommPort";
inline constexpr auto MainTop = "Settings/MainTop";
inline constexpr auto MainLeft = "Settings/MainLeft";
inline constexpr auto LogoPicture = "Settings/LogoPicture";
inline constexpr auto Comment = "Settings/Comment";

// "Ports/COMn": the device path of port n on systems without COM names.
inline QString PortKey(int port)
{
    return QStringLiteral("Ports/COM%1").arg(port);
}

// The settings store of the current user.
inline QSettings Open()
{
    return QSettings(QStringLiteral("Quenor"), QStringLiteral("Quenor"));
}

} // namespace AppSettings
