// Measures the serial link against the paced instrument emulator: 1,000 byte
// reads, one transaction each, over a pty at 9600 baud. Prints the time the
// characters need on the wire, the time measured, their ratio, and the share of
// one core this process used meanwhile.

#include "device/HexText.h"
#include "device/MemoryRules.h"
#include "device/SerialLink.h"
#include "ui/AppSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int Reads = 1000;
constexpr double SecondsPerChar = 10.0 / 9600.0; // start, 8 data and stop bit

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) {
        return double(t.tv_sec) + t.tv_usec / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Starts the emulator and returns the path of its pty, or an empty text.
QString StartEmulator(QProcess &emulator)
{
    emulator.start(QStringLiteral(QUENOR_EMULATOR_PATH), {QStringLiteral("--pace")});
    const QByteArray marker = "Quenor emulator on ";
    QByteArray output;
    while (emulator.waitForReadyRead(5000)) {
        output += emulator.readAllStandardOutput();
        const qsizetype at = output.indexOf(marker);
        const qsizetype end = output.indexOf('\n', at);
        if (at >= 0 && end > at)
            return QString::fromLocal8Bit(output.mid(at + marker.size(), end - at - marker.size()))
                .trimmed();
    }
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    // The port map lives in the settings: use a private copy, never the user's.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());

    QProcess emulator;
    const QString path = StartEmulator(emulator);
    if (path.isEmpty()) {
        std::fprintf(stderr, "the emulator did not start: %s\n", QUENOR_EMULATOR_PATH);
        return 1;
    }
    AppSettings::Open().setValue(AppSettings::PortKey(1), path);

    SerialLink link(1000);
    link.ApplyLineSettings();
    link.setPortNumber(1);
    if (!link.OpenPort()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }
    link.SendCommand("F1"); // the first exchange settles the line

    qint64 wireChars = 0;
    int unanswered = 0;
    QElapsedTimer clock;
    const double cpuBefore = CpuSeconds();
    clock.start();
    for (int i = 0; i < Reads; ++i) {
        const int address = (i * 4099 + 17) & 0xFFFF;
        const QByteArray command = ReadCommand(address);
        link.SendCommand(command);
        const QByteArray reply = link.ReplyText();
        if (reply.mid(5, 4) != Hex4(address) || reply.size() != 12)
            ++unanswered;
        wireChars += 2 + command.size() + 1; // "!1", command, CR
        wireChars += reply.size() + 1;       // reply and its CR
    }
    const double wall = clock.nsecsElapsed() / 1e9;
    const double cpu = CpuSeconds() - cpuBefore;

    link.ClosePort();
    emulator.terminate();
    emulator.waitForFinished(5000);

    const double wire = wireChars * SecondsPerChar;
    std::printf("reads:              %d (%d without a proper reply)\n", Reads, unanswered);
    std::printf("characters on wire: %lld\n", static_cast<long long>(wireChars));
    std::printf("wire time:          %.3f s (%.3f ms a read)\n", wire, 1000 * wire / Reads);
    std::printf("measured time:      %.3f s (%.3f ms a read)\n", wall, 1000 * wall / Reads);
    std::printf("ratio:              %.4f (target <= 1.02)\n", wall / wire);
    std::printf("CPU of this process: %.3f s, %.2f %% of one core (target < 2 %%)\n", cpu,
                100 * cpu / wall);
    return unanswered == 0 ? 0 : 1;
}
