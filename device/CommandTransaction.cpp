#include "CommandTransaction.h"

namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';

} // namespace

QByteArray CommandTransaction::ReplyPrefixOf(QByteArrayView command)
{
    return QByteArrayLiteral("?1").append(command.first(qMin(command.size(), qsizetype(2))));
}

QByteArray CommandTransaction::TimeoutResult(QByteArrayView command)
{
    return ReplyPrefixOf(command).append("00000000");
}

QByteArray CommandTransaction::start(QByteArrayView command)
{
    m_waiting = true;
    m_resendCount = 0;
    m_replyText.clear();
    m_sendLine = QByteArrayLiteral("!1").append(command).append(CR);
    m_replyPrefix = ReplyPrefixOf(command);
    return m_sendLine;
}

bool CommandTransaction::received(QByteArrayView bytes)
{
    bool completed = false;
    for (const char c : bytes) {
        // left(4) compares a reply shorter than four characters as a whole, so a
        // short prefix only matches a reply that is exactly that prefix.
        if (c == CR && m_replyText.left(4) == m_replyPrefix) {
            if (m_waiting) {
                m_waiting = false;
                completed = true;
            }
        } else if (c == '?') {
            m_replyText = "?";
        } else if (c != LF) {
            m_replyText.append(c);
        }
    }
    return completed;
}

QByteArray CommandTransaction::tick()
{
    if (!m_waiting)
        return {};
    ++m_resendCount;
    if (m_resendCount <= MaxResends) {
        m_replyText.clear();
        return m_sendLine;
    }
    abandon();
    return {};
}

void CommandTransaction::abandon()
{
    if (!m_waiting)
        return;
    m_replyText = m_replyPrefix + "00000000";
    m_waiting = false;
}
