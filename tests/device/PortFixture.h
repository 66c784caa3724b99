#pragma once

#include "emulator/InstrumentModel.h"
#include "emulator/PtyInstrument.h"
#include "ui/AppSettings.h"

#include <QTemporaryDir>

// Points all sixteen ports at paths of a temporary folder that do not exist,
// so that no test ever opens a real serial device; mapPort() puts an emulated
// instrument's pty behind one of them.
inline void IsolatePorts(const QTemporaryDir &dir)
{
    // Keeps a test started by hand, outside the HOME its test run gives it,
    // away from the user's settings too.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings settings = AppSettings::Open();
    settings.clear();
    for (int port = 1; port <= 16; ++port)
        settings.setValue(AppSettings::PortKey(port),
                          dir.filePath(QStringLiteral("COM%1").arg(port)));
}

inline void MapPort(int port, const QString &path)
{
    AppSettings::Open().setValue(AppSettings::PortKey(port), path);
}

// An instrument model served on a pty of its own.
struct EmulatedInstrument
{
    InstrumentModel model;
    PtyInstrument pty{model};

    bool open() { return pty.open(); }
    QString path() const { return pty.portPath(); }
};
