#pragma once

#include "ui/AppSettings.h"

#include <QDir>
#include <QString>

// Points all sixteen ports at paths in folder that do not exist, so that no
// test ever opens a real serial device; MapPort puts an emulated instrument's
// pty behind one of them.
inline void IsolatePorts(const QString &folder)
{
    QSettings settings = AppSettings::Open();
    for (int port = 1; port <= 16; ++port)
        settings.setValue(AppSettings::PortKey(port),
                          QDir(folder).filePath(QStringLiteral("no-port-COM%1").arg(port)));
}

inline void MapPort(int port, const QString &path)
{
    AppSettings::Open().setValue(AppSettings::PortKey(port), path);
}
