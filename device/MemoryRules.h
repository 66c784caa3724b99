#pragma once

#include <QByteArray>

#include <functional>

// Runs one command transaction for command (without framing) and returns the
// reply text it left: the reply, or the timeout result.
using RunCommand = std::function<QByteArray(const QByteArray &command)>;

// Attempts a byte read or write makes before it gives up.
inline constexpr int MemoryAttempts = 5;

// "25," + Hex4(address) and "26," + Hex4(address) + "," + Hex2(value).
QByteArray ReadCommand(int address);
QByteArray WriteCommand(int address, int value);

// Reads the byte at address with up to five transactions. An attempt is
// accepted when its reply echoes the address at characters 6-9; the value is the
// hexadecimal number from character 11 on of the last reply that had one, 0 when
// none had. A silent instrument therefore reads as 0, and address 0 is accepted
// at once from the timeout result. confirmed (when given) becomes true only when
// the accepted reply was a real answer to this read (not the timeout result) and
// carried a byte value 0-255 itself.
int ReadMemory(const RunCommand &run, int address, bool *confirmed = nullptr);

// Writes the low byte of value at address with up to five transactions, until a
// reply to this write echoes both the address and value itself. The timeout
// result and a reply without a readable value never confirm a write, so a silent
// instrument always gets five attempts, and a value outside 0-255 (its echo can
// never equal it) too. confirmed (when given) tells whether a reply confirmed it.
void WriteMemory(const RunCommand &run, int address, int value, bool *confirmed = nullptr);
