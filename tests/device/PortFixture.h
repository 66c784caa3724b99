#pragma once

#include "IsolatedPorts.h"
#include "emulator/InstrumentModel.h"
#include "emulator/PtyInstrument.h"

#include <QTemporaryDir>

// Settings and ports of a temporary folder: keeps a test started by hand,
// outside the HOME its test run gives it, away from the user's settings too.
inline void IsolatePorts(const QTemporaryDir &dir)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    AppSettings::Open().clear();
    IsolatePorts(dir.path());
}

// Reply periods for searches, in ms. The instrument answers at once and missing
// ports fail at once, so a long period only keeps a busy machine from causing
// resends; a test with a silent port uses the short one to get its timeout fast.
inline constexpr int SearchPeriod = 5000;
inline constexpr int SilentSearchPeriod = 10;

// The "CommPort" setting as stored ("" when missing), and a new value for it.
inline QString StoredCommPort()
{
    return AppSettings::Open().value(AppSettings::CommPort).toString();
}

inline void StoreCommPort(const QString &value)
{
    AppSettings::Open().setValue(AppSettings::CommPort, value);
}

// An instrument model served on a pty of its own.
struct EmulatedInstrument
{
    InstrumentModel model;
    PtyInstrument pty{model};

    bool open() { return pty.open(); }
    QString path() const { return pty.portPath(); }
};
