#include "SerialLink.h"

#include "ui/AppSettings.h"

#include <QEventLoop>

SerialLink::SerialLink(int timerPeriodMs, QObject *parent)
    : QObject(parent)
    , m_port(this)
    , m_timer(this)
{
    m_port.setObjectName(QStringLiteral("cmQuenor"));
    m_timer.setObjectName(QStringLiteral("tmTimeOut"));
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(timerPeriodMs);

    connect(&m_port, &QSerialPort::readyRead, this, &SerialLink::onReadyRead);
    connect(&m_port, &QSerialPort::bytesWritten, this, &SerialLink::linkStateChanged);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLink::onError);
    connect(&m_timer, &QTimer::timeout, this, &SerialLink::onTimeOut);
}

SerialLink::~SerialLink()
{
    Q_ASSERT(m_waitDepth == 0);
    m_timer.stop();
    ClosePort();
}

void SerialLink::ApplyLineSettings()
{
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setStopBits(QSerialPort::OneStop);
}

void SerialLink::setPortNumber(int port)
{
    m_portNumber = port;
}

QString SerialLink::PortName(int port)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    const QSettings settings = AppSettings::Open();
    const QString key = AppSettings::PortKey(port);
    if (settings.contains(key))
        return settings.value(key).toString();
    if (port >= 1 && port <= 4)
        return QStringLiteral("/dev/ttyS%1").arg(port - 1);
    if (port >= 5 && port <= 12)
        return QStringLiteral("/dev/ttyUSB%1").arg(port - 5);
    if (port >= 13 && port <= 16)
        return QStringLiteral("/dev/ttyACM%1").arg(port - 13);
    return {};
#endif
}

bool SerialLink::OpenPort()
{
    if (m_port.isOpen())
        return false;
    const QString name = PortName(m_portNumber);
    if (name.isEmpty())
        return false;
    m_port.setPortName(name);
    if (!m_port.open(QIODevice::ReadWrite))
        return false;
    ++m_portOpens;
    return true;
}

void SerialLink::ClosePort()
{
    if (!m_port.isOpen())
        return;
    m_port.close();
    if (m_timer.isActive())
        endUnanswered();
    else
        emit linkStateChanged();
}

bool SerialLink::isOpen() const
{
    return m_port.isOpen();
}

void SerialLink::SendCommand(const QByteArray &command)
{
    // Let a waiting transaction end, and its line leave, before this one starts.
    const bool ready = waitWhile(
        [this] { return m_timer.isActive() || (m_port.isOpen() && m_port.bytesToWrite() > 0); });

    m_timer.start();
    m_transactionOpen = m_port.isOpen() ? m_portOpens : -1;
    const QByteArray line = m_transaction.start(command);
    if (!ready) {
        endUnanswered();
        return;
    }
    writeLine(line);
    if (!waitWhile([this] { return m_timer.isActive(); }))
        endUnanswered();
}

// False when the wait was cut short because the application is exiting: its
// event loops then return at once, and waiting on would spin.
bool SerialLink::waitWhile(const std::function<bool()> &condition)
{
    ++m_waitDepth;
    while (!m_exiting && condition()) {
        QEventLoop loop;
        connect(this, &SerialLink::linkStateChanged, &loop, &QEventLoop::quit);
        if (loop.exec() < 0)
            m_exiting = true;
    }
    --m_waitDepth;
    return !m_exiting;
}

void SerialLink::endUnanswered()
{
    m_transaction.abandon();
    m_timer.stop();
    emit linkStateChanged();
}

void SerialLink::writeLine(const QByteArray &line)
{
    // A line that cannot be written is lost as on a silent line; the resends and
    // the timeout end the transaction.
    if (!line.isEmpty() && m_port.isOpen() && m_transactionOpen == m_portOpens)
        m_port.write(line);
}

void SerialLink::onReadyRead()
{
    m_transaction.received(m_port.readAll());
    finishIfIdle();
}

void SerialLink::onTimeOut()
{
    writeLine(m_transaction.tick());
    finishIfIdle();
}

void SerialLink::finishIfIdle()
{
    if (m_timer.isActive() && !m_transaction.isWaiting()) {
        m_timer.stop();
        emit linkStateChanged();
    }
}

void SerialLink::onError(QSerialPort::SerialPortError error)
{
    // A vanished device reports these over and over until the port is closed;
    // closing ends a waiting transaction as unanswered.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
        error == QSerialPort::WriteError)
        ClosePort();
}
