#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class InstrumentModel;
class QSocketNotifier;

// Serves an InstrumentModel on a pseudo-terminal, in the current thread's event loop.
//
// The host opens portPath() with QSerialPort exactly as it opens a real port.
// The terminal is raw in both directions (no echo, no line editing, no CR/LF
// translation), and the emulator keeps its own descriptor of the terminal open
// so that the pty stays usable while no host has it open. A pty keeps what was
// sent to it until somebody reads it, where a real line loses whatever is sent
// while the host's port is closed; on Linux the emulator watches the host
// open and close the terminal and drops replies for a host that has gone, so
// that a late reply never greets the next host that opens the port.
class PtyInstrument : public QObject
{
    Q_OBJECT
public:
    explicit PtyInstrument(InstrumentModel &model, QObject *parent = nullptr);
    ~PtyInstrument() override;

    bool open(); // opens a pty pair (raw mode, no echo); false on failure
    bool isOpen() const { return m_master >= 0; }
    QString portPath() const; // the path a QSerialPort opens (the pty's slave)

    void setPaced(bool paced);       // 9600 baud, 10 bits a character, in both directions
    void setReplyDelay(int ms);      // a fixed delay before every reply
    void setSplitReplies(int chunk); // send each reply in pieces of this many bytes, spaced apart
    void setSplitGap(int ms);        // the space between two pieces (default 20 ms)
    void vanish();                   // closes the pty now: the port's device disappears

signals:
    void requestReceived(const QByteArray &line);

private:
    // One direction of the line: characters follow each other 10 bits apart
    // and the line idles when nothing is queued. Due times are computed from
    // the start of each busy period, so rounding never adds up.
    struct Wire
    {
        qint64 epochNs = 0;
        qint64 chars = 0;
        qint64 endNs() const;
        qint64 claim(qint64 earliestNs); // the time the next character has fully passed
    };

    void readHost();
    void watchHost();
    bool hostPresent();
    void service();
    void feed(char byte, qint64 atNs);
    void queueReply(const QByteArray &bytes, qint64 originNs);
    void writeDue(qint64 nowNs);
    void schedule(qint64 nowNs);
    void wakeAfter(qint64 waitNs); // service() after waitNs; never when negative
    void closeAll();

    InstrumentModel &m_model;
    int m_master = -1;
    int m_slave = -1; // held so that the master never sees the terminal hang up
    QString m_path;
    QSocketNotifier *m_notifier = nullptr;
    int m_watch = -1; // inotify on the terminal's device node, -1 where there is none
    QSocketNotifier *m_watchNotifier = nullptr;
    int m_hostOpens = 0; // descriptors the hosts hold on the terminal
    QTimer m_timer;      // wakes the pacing where there is no timerfd
    int m_wakeFd = -1;   // timerfd that wakes the pacing on time to the nanosecond
    QElapsedTimer m_clock;

    bool m_paced = false;
    qint64 m_replyDelayNs = 0;
    int m_splitChunk = 0;
    qint64 m_splitGapNs = 20'000'000;

    Wire m_rxWire;
    Wire m_txWire;
    QByteArray m_rxBytes; // received, not yet arrived by the wire's clock
    QList<qint64> m_rxDue;
    QByteArray m_txBytes; // replies, not yet due
    QList<qint64> m_txDue;
    qint64 m_writeRetryNs = -1; // the terminal was full: try again from this time
};

#endif
