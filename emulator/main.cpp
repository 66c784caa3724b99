// quenor-emulator: serves a model of the instrument on a pseudo-terminal, so
// that Quenor can be tried and tested without an instrument.

#include "InstrumentModel.h"
#include "PtyInstrument.h"
#include "store/Win1252.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

int SignalPipe[2] = {-1, -1};

extern "C" void OnStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(SignalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM end the event loop from the loop itself, so that the
// program leaves through its normal clean-up (closing the pty, removing the
// link) rather than from inside a signal handler.
bool QuitOnStopSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, SignalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(SignalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 &&
           ::sigaction(SIGTERM, &action, nullptr) == 0;
}

void Print(FILE *stream, const QString &text)
{
    std::fputs(qPrintable(text + u'\n'), stream);
    std::fflush(stream);
}

// A symbolic link at linkPath to target. An old link there (left by a run that
// was killed) is replaced; anything else is never overwritten.
bool CreateLink(const QString &target, const QString &linkPath, QString &error)
{
    const QFileInfo existing(linkPath);
    if (existing.isSymLink()) {
        if (!QFile::remove(linkPath)) {
            error = u"cannot replace the old link "_s + linkPath;
            return false;
        }
    } else if (existing.exists()) {
        error = linkPath + u" exists and is not a link; it is left alone"_s;
        return false;
    }
    if (!QFile::link(target, linkPath)) {
        error = u"cannot create the link "_s + linkPath;
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"quenor-emulator"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Serves a model of the Quenor instrument on a pseudo-terminal and prints its path.\n"
        "Point Quenor's port at that path (or at the --link path) to use it like an "
        "instrument.\nSIGINT or SIGTERM end it."_s);
    parser.addHelpOption();
    const QCommandLineOption seedOption(
        u"seed"_s, u"Fills the instrument's memory with the programs and reagents of <ini>."_s,
        u"ini"_s);
    const QCommandLineOption paceOption(
        u"pace"_s, u"Paces both directions at 9600 baud, as a real serial line."_s);
    const QCommandLineOption linkOption(
        u"link"_s, u"Also creates a symbolic link at <path> to the pty (removed at the end)."_s,
        u"path"_s);
    const QCommandLineOption silentOption(u"silent"_s, u"The instrument never answers."_s);
    const QCommandLineOption echoOption(u"echo"_s,
                                        u"The instrument echoes each request before replying."_s);
    const QCommandLineOption identityOption(
        u"identity"_s, u"The identity the instrument reports (default 4173-528)."_s, u"text"_s);
    const QCommandLineOption delayOption(u"delay"_s, u"Waits <ms> before every reply."_s, u"ms"_s);
    const QCommandLineOption verboseOption(u"verbose"_s, u"Prints every request received."_s);
    parser.addOptions({seedOption, paceOption, linkOption, silentOption, echoOption, identityOption,
                       delayOption, verboseOption});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        Print(stderr, u"quenor-emulator: unexpected argument "_s + parser.positionalArguments()[0]);
        return 1;
    }

    InstrumentModel model;
    if (parser.isSet(seedOption) && !model.seedFromIni(parser.value(seedOption))) {
        Print(stderr, u"quenor-emulator: cannot read "_s + parser.value(seedOption));
        return 1;
    }
    model.faults.silent = parser.isSet(silentOption);
    model.faults.echoRequest = parser.isSet(echoOption);
    if (parser.isSet(identityOption))
        model.faults.identity = ToWin1252(parser.value(identityOption));
    int delay = 0;
    if (parser.isSet(delayOption)) {
        bool ok = false;
        delay = parser.value(delayOption).toInt(&ok);
        if (!ok || delay < 0) {
            Print(stderr, u"quenor-emulator: --delay needs a number of milliseconds"_s);
            return 1;
        }
    }

    if (!QuitOnStopSignals(app)) {
        Print(stderr, u"quenor-emulator: cannot handle SIGINT and SIGTERM"_s);
        return 1;
    }

    PtyInstrument pty(model);
    pty.setPaced(parser.isSet(paceOption));
    pty.setReplyDelay(delay);
    if (!pty.open()) {
        Print(stderr, u"quenor-emulator: cannot open a pseudo-terminal"_s);
        return 1;
    }
    const QString linkPath = parser.value(linkOption);
    if (!linkPath.isEmpty()) {
        QString error;
        if (!CreateLink(pty.portPath(), linkPath, error)) {
            Print(stderr, u"quenor-emulator: "_s + error);
            return 1;
        }
    }
    if (parser.isSet(verboseOption)) {
        QObject::connect(&pty, &PtyInstrument::requestReceived, &app,
                         [](const QByteArray &line) { Print(stdout, FromWin1252(line)); });
    }

    Print(stdout, u"Quenor emulator on "_s + pty.portPath());
    if (!linkPath.isEmpty())
        Print(stdout, u"Linked as "_s + linkPath);

    const int result = QCoreApplication::exec();

    // Remove the link only while it is still ours: another run may have taken the name.
    if (!linkPath.isEmpty() && QFileInfo(linkPath).symLinkTarget() == pty.portPath())
        QFile::remove(linkPath);
    pty.vanish();
    return result;
}
