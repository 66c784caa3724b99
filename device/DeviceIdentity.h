#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The identify command and the test that tells the instrument's answer from any
// other device's.
inline constexpr QByteArrayView IdentifyCommand = "F1";
inline constexpr QByteArrayView InstrumentIdentity = "4173-528";

// True when reply, from its sixth character on, is exactly the instrument's
// identity ("?1F1", one character not examined, then "4173-528").
inline bool IsInstrumentReply(QByteArrayView reply)
{
    return reply.size() > 5 && reply.sliced(5) == InstrumentIdentity;
}
