#pragma once

#include "device/CommandTransaction.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <functional>

// The serial link to the instrument: owns the port cmQuenor and the reply timer
// tmTimeOut and runs one command transaction at a time over them. While a
// transaction waits, a nested event loop keeps the window responsive; it wakes
// only on the port's data, the timer and written bytes, so a silent instrument
// costs no CPU.
class SerialLink : public QObject
{
    Q_OBJECT
public:
    // timerPeriodMs is the resend period (1000 ms in the program).
    explicit SerialLink(int timerPeriodMs, QObject *parent = nullptr);
    // The owner must outlive every wait in SendCommand(): a link destroyed by an
    // event handled during a wait would leave that wait running on a dead object
    // (asserted in debug builds).
    ~SerialLink() override;

    // No handshaking, then 9600 baud, 8 data bits, no parity, 1 stop bit.
    void ApplyLineSettings();

    // Port 1 to 16; takes effect at the next OpenPort().
    void setPortNumber(int port);
    int portNumber() const { return m_portNumber; }

    // Opens the port on its current number; false (and nothing shown) when it
    // cannot be opened.
    bool OpenPort();
    // Closes the port; closing a port that is not open does nothing. A
    // transaction waiting on the port ends at once as unanswered (the timeout
    // result), so that none of its resends goes out on a port opened later.
    void ClosePort();
    bool isOpen() const;

    // Runs one transaction for command and returns when it has ended, with the
    // reply or the timeout result in ReplyText(). A call made while another
    // transaction waits begins when that one has ended. The request line only
    // ever goes out on the port that was open when the transaction began: one
    // begun without an open port writes nothing and ends, after its resends,
    // as with a silent instrument, even if a port opens meanwhile. Once the
    // application is exiting, transactions end at once as unanswered and
    // nothing more is written.
    void SendCommand(const QByteArray &command);
    QByteArray ReplyText() const { return m_transaction.replyText(); }

    // True while a transaction waits for its reply (the reply timer runs).
    bool isWaiting() const { return m_timer.isActive(); }

    // The system name of port n: "COMn" on Windows; elsewhere the setting
    // "Ports/COMn" when present, else /dev/ttyS0-3 for COM1-4, /dev/ttyUSB0-7
    // for COM5-12 and /dev/ttyACM0-3 for COM13-16.
    static QString PortName(int port);

signals:
    // Something a waiting SendCommand() looks at may have changed: a transaction
    // ended, bytes were written, or the port closed.
    void linkStateChanged();

private:
    void onReadyRead();
    void onTimeOut();
    void onError(QSerialPort::SerialPortError error);
    void writeLine(const QByteArray &line);
    void finishIfIdle();
    void endUnanswered();
    bool waitWhile(const std::function<bool()> &condition);

    QSerialPort m_port;
    QTimer m_timer;
    CommandTransaction m_transaction;
    int m_portNumber = 1;
    // Counts the opens of the port; a transaction writes only while the open it
    // began on lasts (-1: it began with the port closed).
    int m_portOpens = 0;
    int m_transactionOpen = -1;
    int m_waitDepth = 0; // SendCommand() waits running, nested ones included
    bool m_exiting = false;
};
