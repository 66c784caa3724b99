#include "PtyInstrument.h"

#ifdef Q_OS_UNIX

#include "InstrumentModel.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#ifdef Q_OS_LINUX
#include <sys/inotify.h>
#include <sys/timerfd.h>
#endif

namespace {

// 10 bits a character (start, 8 data, stop) at 9600 baud: 1.0417 ms.
constexpr qint64 NsPerTenChars = 10LL * 10 * 1'000'000'000 / 9600;
constexpr qint64 RetryNs = 5'000'000; // a full terminal is tried again after this

qint64 CharsToNs(qint64 chars)
{
    return chars * NsPerTenChars / 10;
}

} // namespace

qint64 PtyInstrument::Wire::endNs() const
{
    return epochNs + CharsToNs(chars);
}

qint64 PtyInstrument::Wire::claim(qint64 earliestNs)
{
    if (earliestNs >= endNs()) {
        epochNs = earliestNs;
        chars = 0;
    }
    ++chars;
    return endNs();
}

PtyInstrument::PtyInstrument(InstrumentModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PtyInstrument::service);
#ifdef Q_OS_LINUX
    // QTimer counts whole milliseconds; at 9600 baud a character takes 1.04 ms, so
    // the pacing wakes on a timerfd, which counts nanoseconds, where there is one.
    m_wakeFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_wakeFd >= 0) {
        auto *wake = new QSocketNotifier(m_wakeFd, QSocketNotifier::Read, this);
        connect(wake, &QSocketNotifier::activated, this, [this] {
            quint64 expirations = 0;
            if (::read(m_wakeFd, &expirations, sizeof expirations) > 0)
                service();
        });
    }
#endif
    m_clock.start();
}

PtyInstrument::~PtyInstrument()
{
    closeAll();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

bool PtyInstrument::open()
{
    if (isOpen())
        return true;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return false;
    char name[128] = {};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0) {
        ::close(master);
        return false;
    }
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    termios settings{};
    if (slave < 0 || ::tcgetattr(slave, &settings) != 0) {
        if (slave >= 0)
            ::close(slave);
        ::close(master);
        return false;
    }
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    settings.c_cflag |= CLOCAL | CREAD;
    const int flags = ::fcntl(master, F_GETFL);
    if (::tcsetattr(slave, TCSANOW, &settings) != 0 || flags < 0 ||
        ::fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0) {
        ::close(slave);
        ::close(master);
        return false;
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);

    m_master = master;
    m_slave = slave;
    m_path = QString::fromLocal8Bit(name);
    m_notifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyInstrument::readHost);
#ifdef Q_OS_LINUX
    // Added after the emulator's own open, so only the hosts' opens are seen.
    m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch >= 0 && ::inotify_add_watch(m_watch, name, IN_OPEN | IN_CLOSE) < 0) {
        ::close(m_watch);
        m_watch = -1;
    }
    if (m_watch >= 0) {
        m_watchNotifier = new QSocketNotifier(m_watch, QSocketNotifier::Read, this);
        connect(m_watchNotifier, &QSocketNotifier::activated, this, &PtyInstrument::watchHost);
    }
#endif
    return true;
}

QString PtyInstrument::portPath() const
{
    return m_path;
}

void PtyInstrument::setPaced(bool paced)
{
    m_paced = paced;
}

void PtyInstrument::setReplyDelay(int ms)
{
    m_replyDelayNs = qint64(std::max(ms, 0)) * 1'000'000;
}

void PtyInstrument::setSplitReplies(int chunk)
{
    m_splitChunk = std::max(chunk, 0);
}

void PtyInstrument::setSplitGap(int ms)
{
    m_splitGapNs = qint64(std::max(ms, 0)) * 1'000'000;
}

void PtyInstrument::vanish()
{
    closeAll();
}

void PtyInstrument::closeAll()
{
    wakeAfter(-1);
    delete m_notifier;
    m_notifier = nullptr;
    delete m_watchNotifier;
    m_watchNotifier = nullptr;
    if (m_watch >= 0)
        ::close(m_watch);
    m_watch = -1;
    m_hostOpens = 0;
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
    m_rxBytes.clear();
    m_rxDue.clear();
    m_txBytes.clear();
    m_txDue.clear();
    m_writeRetryNs = -1;
    m_rxWire = {};
    m_txWire = {};
}

void PtyInstrument::readHost()
{
    // A host opens the terminal before it writes: its arrival (and the leaving
    // of the one before) must count before its request is answered.
    watchHost();
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            const qint64 now = m_clock.nsecsElapsed();
            for (ssize_t i = 0; i < n; ++i) {
                if (m_paced) {
                    m_rxBytes += buffer[i];
                    m_rxDue += m_rxWire.claim(now);
                } else {
                    feed(buffer[i], now);
                }
            }
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            // The terminal failed under us; stop listening rather than spin on it.
            if (m_notifier)
                m_notifier->setEnabled(false);
        }
        break;
    }
    service();
}

void PtyInstrument::watchHost()
{
#ifdef Q_OS_LINUX
    if (m_watch < 0)
        return;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_watch, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            at += ssize_t(sizeof event + event.len);
            if (event.mask & IN_OPEN) {
                ++m_hostOpens;
            } else if ((event.mask & IN_CLOSE) && m_hostOpens > 0 && --m_hostOpens == 0) {
                // The last host has gone: what waits for it is lost, as on a real line.
                ::tcflush(m_slave, TCIFLUSH);
                m_txBytes.clear();
                m_txDue.clear();
                m_txWire = {};
            }
        }
    }
#endif
}

bool PtyInstrument::hostPresent()
{
    if (m_watch < 0)
        return true;
    // The host's open is queued before it can send anything, so a reply never
    // finds the host's arrival still unread.
    watchHost();
    return m_hostOpens > 0;
}

void PtyInstrument::feed(char byte, qint64 atNs)
{
    const qsizetype before = m_model.requests().size();
    const QByteArray reply = m_model.receive(QByteArrayView(&byte, 1));
    const QByteArrayList requests = m_model.requests();
    for (qsizetype i = before; i < requests.size(); ++i)
        emit requestReceived(requests[i]);
    if (!reply.isEmpty())
        queueReply(reply, atNs);
}

void PtyInstrument::queueReply(const QByteArray &bytes, qint64 originNs)
{
    qint64 last = m_txDue.isEmpty() ? originNs : m_txDue.last();
    qint64 pieceStart = std::max(originNs + m_replyDelayNs, last);
    const qsizetype chunk = m_splitChunk > 0 ? m_splitChunk : bytes.size();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0 && i % chunk == 0)
            pieceStart = last + m_splitGapNs;
        const qint64 due = std::max(m_paced ? m_txWire.claim(pieceStart) : pieceStart, last);
        m_txBytes += bytes[i];
        m_txDue += due;
        last = due;
    }
}

void PtyInstrument::service()
{
    if (!isOpen())
        return;
    qint64 now = m_clock.nsecsElapsed();
    qsizetype arrived = 0;
    while (arrived < m_rxDue.size() && m_rxDue[arrived] <= now)
        ++arrived;
    if (arrived > 0) {
        const QByteArray bytes = m_rxBytes.first(arrived);
        const QList<qint64> due = m_rxDue.first(arrived);
        m_rxBytes.remove(0, arrived);
        m_rxDue.remove(0, arrived);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            feed(bytes[i], due[i]);
        now = m_clock.nsecsElapsed();
    }
    writeDue(now);
    schedule(now);
}

void PtyInstrument::writeDue(qint64 nowNs)
{
    if (m_writeRetryNs > nowNs)
        return;
    m_writeRetryNs = -1;
    // Asked first: a host that has gone takes what waits for it along.
    const bool present = hostPresent();
    qsizetype due = 0;
    while (due < m_txDue.size() && m_txDue[due] <= nowNs)
        ++due;
    if (due > 0 && !present) {
        m_txBytes.remove(0, due);
        m_txDue.remove(0, due);
        return;
    }
    while (due > 0) {
        const ssize_t n = ::write(m_master, m_txBytes.constData(), size_t(due));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            m_writeRetryNs = nowNs + RetryNs;
            return;
        }
        if (n <= 0) {
            // Nothing can be written any more: what waits is lost, as on a cut line.
            m_txBytes.clear();
            m_txDue.clear();
            return;
        }
        m_txBytes.remove(0, n);
        m_txDue.remove(0, n);
        due -= n;
    }
}

void PtyInstrument::schedule(qint64 nowNs)
{
    qint64 next = -1;
    if (!m_rxDue.isEmpty())
        next = m_rxDue.first();
    if (!m_txDue.isEmpty()) {
        const qint64 tx = std::max(m_txDue.first(), m_writeRetryNs);
        next = next < 0 ? tx : std::min(next, tx);
    }
    wakeAfter(next < 0 ? -1 : std::max<qint64>(next - nowNs, 0));
}

void PtyInstrument::wakeAfter(qint64 waitNs)
{
#ifdef Q_OS_LINUX
    if (m_wakeFd >= 0) {
        itimerspec spec{}; // all zero disarms
        if (waitNs >= 0) {
            const qint64 ns = std::max<qint64>(waitNs, 1);
            spec.it_value.tv_sec = time_t(ns / 1'000'000'000);
            spec.it_value.tv_nsec = long(ns % 1'000'000'000);
        }
        ::timerfd_settime(m_wakeFd, 0, &spec, nullptr);
        return;
    }
#endif
    if (waitNs < 0)
        m_timer.stop();
    else
        m_timer.start(int((waitNs + 999'999) / 1'000'000));
}

#endif
