// Draws the main window with a sample store and saves a picture of each tab:
//   quenor-screenshots <folder>   writes programs-tab.png and reagents-tab.png
// Run it under a real window system (for example xvfb-run) to see the fonts
// and the style a user sees.
#include "AppFixture.h"
#include "IsolatedPorts.h"
#include "ScriptedDialogs.h"
#include "app/FrmMain.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quenor-screenshots <folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir storeFolder;
    WriteStoreFile(SampleStore(), storeFolder.path());

    // Settings of its own, and no real serial port probed.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, storeFolder.path());
    IsolatePorts(storeFolder.path());

    ScriptedDialogs dialogs;
    ProgramStore store;
    FrmMain window(store, dialogs, 20);
    window.Load(storeFolder.path());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
    const QList<std::pair<int, QString>> shots = {{0, QStringLiteral("programs-tab.png")},
                                                  {1, QStringLiteral("reagents-tab.png")}};
    for (const auto &[tab, file] : shots) {
        tabs->setCurrentIndex(tab);
        QTest::qWait(50);
        if (!window.grab().save(out.filePath(file)))
            return 1;
        std::printf("%s\n", qPrintable(out.filePath(file)));
    }
    return 0;
}
