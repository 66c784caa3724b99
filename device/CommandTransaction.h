#pragma once

#include <QByteArray>
#include <QByteArrayView>

// One command exchange with the instrument as a plain state machine: it frames
// the request, assembles the reply from the bytes received and applies the
// resend and timeout rule on each timer tick. The caller owns the port and the
// timer; it writes what start() and tick() return and runs its timer exactly
// while isWaiting() is true.
class CommandTransaction
{
public:
    // Resends after the first send before a transaction gives up.
    static constexpr int MaxResends = 5;

    // Begins a transaction for command (without framing) and returns the request
    // line to write: "!1" + command + CR.
    QByteArray start(QByteArrayView command);

    // Applies received bytes in order. Outside a transaction they still update
    // replyText() and end nothing. Returns true when they completed the reply of
    // the running transaction.
    bool received(QByteArrayView bytes);

    // One expiry of the reply timer. Returns the request line to write again, or
    // an empty array when nothing is to be written (not waiting, or the
    // transaction just gave up with the timeout result).
    QByteArray tick();

    // Ends a waiting transaction at once as if every resend had gone
    // unanswered: the timeout result, nothing more to write.
    void abandon();

    bool isWaiting() const { return m_waiting; }
    // The reply being assembled; after a transaction, its result (the reply
    // without its CR and without LF, or the timeout result).
    const QByteArray &replyText() const { return m_replyText; }
    const QByteArray &sendLine() const { return m_sendLine; }
    const QByteArray &replyPrefix() const { return m_replyPrefix; }
    int resendCount() const { return m_resendCount; }

    // ReplyPrefix followed by "00000000": what a transaction without a reply
    // leaves in replyText().
    static QByteArray TimeoutResult(QByteArrayView command);
    // "?1" and the first two characters of command (all of it when shorter).
    static QByteArray ReplyPrefixOf(QByteArrayView command);

private:
    QByteArray m_replyText;
    QByteArray m_sendLine;
    QByteArray m_replyPrefix;
    quint8 m_resendCount = 0;
    bool m_waiting = false;
};
