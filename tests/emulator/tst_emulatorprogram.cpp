#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

const QString Program = QStringLiteral(QUENOR_EMULATOR_PROGRAM);
const QString SeedFile = QStringLiteral(QUENOR_EMULATOR_TEST_DATA "/Seed.ini");
constexpr int Patience = 5000; // ms; never reached when all is well

// The program as a person starts it, reporting the pty it serves.
class Emulator
{
public:
    explicit Emulator(const QStringList &arguments)
    {
        process.start(Program, arguments);
        process.waitForStarted(Patience);
    }
    ~Emulator()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(Patience);
        }
    }

    // The next line the program prints, without its line end.
    QString nextLine()
    {
        QElapsedTimer clock;
        clock.start();
        while (!process.canReadLine() && clock.elapsed() < Patience &&
               process.state() == QProcess::Running)
            process.waitForReadyRead(100);
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    QProcess process;
};

// One request and what came back over a serial port opened on path, up to the
// CR that ends a reply; empty when nothing came within waitMs.
QByteArray Exchange(const QString &path, const QByteArray &request, int waitMs = Patience)
{
    QSerialPort port(path);
    port.setBaudRate(QSerialPort::Baud9600);
    if (!port.open(QIODevice::ReadWrite))
        return "cannot open " + path.toLocal8Bit();
    port.write(request);
    port.waitForBytesWritten(waitMs);
    QByteArray reply;
    QElapsedTimer clock;
    clock.start();
    while (!(reply.contains('?') && reply.endsWith('\r')) && clock.elapsed() < waitMs) {
        if (port.waitForReadyRead(20))
            reply += port.readAll();
    }
    return reply;
}

} // namespace

// quenor-emulator run as a separate process, as a person runs it.
class EmulatorProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void help_describesTheOptions();
    void serve_answersSeededMemoryAndEndsCleanlyOnSignal_data();
    void serve_answersSeededMemoryAndEndsCleanlyOnSignal();
    void options_changeHowTheInstrumentAnswers_data();
    void options_changeHowTheInstrumentAnswers();
    void unreadableSeed_failsWithMessage();
    void linkOverAFile_failsAndLeavesTheFile();
};

void EmulatorProgramTest::help_describesTheOptions()
{
    QProcess process;
    process.start(Program, {u"--help"_s});
    QVERIFY(process.waitForFinished(Patience));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QByteArray help = process.readAllStandardOutput();
    for (const char *option : {"--seed", "--pace", "--link", "--silent", "--identity"})
        QVERIFY2(help.contains(option), option);
}

void EmulatorProgramTest::serve_answersSeededMemoryAndEndsCleanlyOnSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void EmulatorProgramTest::serve_answersSeededMemoryAndEndsCleanlyOnSignal()
{
    QFETCH(int, signal);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString link = folder.filePath(u"COM1"_s);
    // A link left behind by a run that was killed is replaced.
    QVERIFY(QFile::link(folder.filePath(u"gone"_s), link));
    Emulator emulator({u"--seed"_s, SeedFile, u"--link"_s, link});

    const QString line = emulator.nextLine();
    QVERIFY2(line.startsWith(u"Quenor emulator on /"_s), qPrintable(line));
    const QString pty = line.mid(QStringLiteral("Quenor emulator on ").size());
    QVERIFY(QFileInfo::exists(pty));
    QCOMPARE(QFileInfo(link).symLinkTarget(), pty);

    QCOMPARE(Exchange(pty, "!1F1\r"), "?1F1,4173-528\r"_ba);
    // Program 3 of the seed is "Biopsy fast" at 8192 + 2 * 150 = 0x212C.
    QCOMPARE(Exchange(link, "!125,212C\r"), "?125,212C,42\r"_ba);

    ::kill(pid_t(emulator.process.processId()), signal);
    QVERIFY(emulator.process.waitForFinished(Patience));
    QCOMPARE(emulator.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(emulator.process.exitCode(), 0);
    // The link is gone. (Whether the pty's path is gone cannot be asserted: another
    // process may open a pty of the same number at once.)
    QVERIFY(!QFileInfo(link).isSymLink());
}

void EmulatorProgramTest::options_changeHowTheInstrumentAnswers_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("reply");
    // ms: how long to wait for the reply. An answer ends the wait, so only the
    // silent row waits it out.
    QTest::addColumn<int>("waitMs");
    QTest::newRow("identity") << QStringList{u"--identity"_s, u"9999-000"_s} << "?1F1,9999-000\r"_ba
                              << Patience;
    QTest::newRow("silent") << QStringList{u"--silent"_s} << QByteArray() << 300;
    QTest::newRow("echo") << QStringList{u"--echo"_s} << "!1F1\r?1F1,4173-528\r"_ba << Patience;
}

void EmulatorProgramTest::options_changeHowTheInstrumentAnswers()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, reply);
    QFETCH(int, waitMs);
    Emulator emulator(arguments);
    const QString line = emulator.nextLine();
    QVERIFY2(line.startsWith(u"Quenor emulator on /"_s), qPrintable(line));
    QCOMPARE(Exchange(line.mid(QStringLiteral("Quenor emulator on ").size()), "!1F1\r", waitMs),
             reply);
}

void EmulatorProgramTest::unreadableSeed_failsWithMessage()
{
    QTemporaryDir folder;
    QProcess process;
    process.start(Program, {u"--seed"_s, folder.filePath(u"Missing.ini"_s)});
    QVERIFY(process.waitForFinished(Patience));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardError().contains("cannot read"));
    QVERIFY(process.readAllStandardOutput().isEmpty());
}

void EmulatorProgramTest::linkOverAFile_failsAndLeavesTheFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"COM1"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();

    QProcess process;
    process.start(Program, {u"--link"_s, path});
    QVERIFY(process.waitForFinished(Patience));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardError().contains("not a link"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), "keep me"_ba);
}

QTEST_GUILESS_MAIN(EmulatorProgramTest)
#include "tst_emulatorprogram.moc"
