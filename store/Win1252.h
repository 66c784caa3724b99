#pragma once

#include <QByteArray>
#include <QString>

// The one pair of functions that converts between the single-byte Windows-1252
// text held by the store, the INI files and the instrument, and the QString
// text of the user interface. Every byte maps to a character and back, the five
// bytes Windows-1252 leaves undefined included (to the C1 controls of the same
// code), so a name read from the instrument survives a round trip unchanged.
// A character Windows-1252 cannot hold becomes "?".

QString FromWin1252(QByteArrayView bytes);
QByteArray ToWin1252(QStringView text);
