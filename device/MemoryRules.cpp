#include "MemoryRules.h"

#include "CommandTransaction.h"
#include "HexText.h"

namespace {

// The fields of a memory reply: "?1" + command characters, one separator, the
// address at characters 6-9, one separator, the value from character 11 on.
QByteArray EchoedAddress(const QByteArray &reply)
{
    return reply.mid(5, 4);
}

bool EchoedValue(const QByteArray &reply, int &value)
{
    return ParseHexNumber(QByteArrayView(reply).sliced(qMin(reply.size(), qsizetype(10))), value);
}

// A reply to command itself, not the timeout result nor the reply to another
// command a second transaction left behind.
bool IsAnswerTo(const QByteArray &reply, const QByteArray &command)
{
    return reply.startsWith(CommandTransaction::ReplyPrefixOf(command)) &&
           reply != CommandTransaction::TimeoutResult(command);
}

} // namespace

QByteArray ReadCommand(int address)
{
    return QByteArrayLiteral("25,") + Hex4(address);
}

QByteArray WriteCommand(int address, int value)
{
    return QByteArrayLiteral("26,") + Hex4(address) + ',' + Hex2(value);
}

int ReadMemory(const RunCommand &run, int address, bool *confirmed)
{
    const QByteArray command = ReadCommand(address);
    const QByteArray address4 = Hex4(address);
    int result = 0;
    bool accepted = false;
    for (int attempt = 0; attempt < MemoryAttempts && !accepted; ++attempt) {
        const QByteArray reply = run(command);
        const bool parsed = EchoedValue(reply, result);
        if (EchoedAddress(reply) == address4) {
            accepted = true;
            if (confirmed)
                *confirmed = parsed && result >= 0 && result <= 0xFF && IsAnswerTo(reply, command);
        }
    }
    if (!accepted && confirmed)
        *confirmed = false;
    return result;
}

void WriteMemory(const RunCommand &run, int address, int value, bool *confirmed)
{
    const QByteArray command = WriteCommand(address, value);
    const QByteArray address4 = Hex4(address);
    bool done = false;
    for (int attempt = 0; attempt < MemoryAttempts && !done; ++attempt) {
        const QByteArray reply = run(command);
        int echoed = 0;
        done = EchoedValue(reply, echoed) && echoed == value && EchoedAddress(reply) == address4 &&
               IsAnswerTo(reply, command);
    }
    if (confirmed)
        *confirmed = done;
}
