#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>

#include <array>

struct ProgramRecord;
struct ProgramStore;

// Faults the model can be told to show; all off by default.
struct InstrumentFaults
{
    // Never answers anything (requests are still recorded).
    bool silent = false;
    // Sends the request line back (as received, with its CR) before the reply.
    bool echoRequest = false;
    // A request is answered only from its n-th consecutive identical arrival on
    // (1 = at once; 3 = only after the 2nd resend).
    int answerFromArrival = 1;
    // The next N memory replies echo another address (then normal again).
    int wrongAddressReplies = 0;
    // The next N write replies echo another value (then normal again); the byte
    // itself is stored correctly.
    int wrongValueReplies = 0;
    // Line noise (including a stray CR and LF, and a false "?") before each reply.
    bool garbageBeforeReply = false;
    QByteArray identity = QByteArrayLiteral("4173-528");
};

// A model of the instrument on the far side of the serial line: 64 KiB of
// memory holding programs and reagent names, the identify, read and write
// commands, and faults on demand. It shares no code with the link, so that a
// mistake of the link shows up as a disagreement with it.
//
// Framing: a request starts at "!" and ends at CR. Bytes outside a request are
// line noise and ignored, LF is ignored everywhere, a "!" inside a request
// starts the request again, and a request longer than MaxRequestLength bytes is
// dropped. Requests for another unit ("!2..."), unknown commands and malformed
// ones (wrong length, a missing comma, lower-case or other non-hex digits) get
// no answer at all and change nothing, as a real unit stays silent on a line it
// does not understand. An arrival that answerFromArrival holds back is treated
// as lost on the line: a write in it is not carried out either.
class InstrumentModel
{
public:
    static constexpr int MemorySize = 65536;
    static constexpr int MaxRequestLength =
        64; // "!" to CR, exclusive; real requests have 12 at most

    InstrumentFaults faults;

    // Feeds bytes received from the host; returns the bytes to send back for every request line
    // completed by them (possibly empty). Requests are "!1" + command + CR; LF is ignored; bytes
    // before "!" are ignored.
    QByteArray receive(QByteArrayView bytes);

    // Memory access; addresses are taken modulo MemorySize, as on a 16-bit bus.
    quint8 byteAt(int address) const;
    void setByteAt(int address, quint8 value);
    QByteArray bytesAt(int address, int count) const;

    QByteArrayList requests() const; // every complete request line received, without CR
    void clearRequests();

    // Seeds memory with the programs and reagent names of a Quenor.ini (instrument memory layout:
    // reagent n at 4096 + (n-1)*13, program p at 8192 + (p-1)*150). Programs without a section
    // are seeded as the store loads them (blank name, EM, every vial empty). False when the file
    // cannot be read; memory is then unchanged.
    bool seedFromIni(const QString &iniPath);
    // The same from a store in memory: all 99 programs and 200 reagent names.
    void seedFromStore(const ProgramStore &store);
    void setProgram(int programNumber, const ProgramRecord &program);
    void setReagentName(int reagentNumber, QByteArrayView name);

    // What the instrument holds, decoded as the instrument itself reads it: an LM program's
    // vials 13 to 24 are the empty vial, whatever memory holds there.
    ProgramRecord programAt(int programNumber) const;
    QByteArray reagentNameAt(int reagentNumber) const;

    static int programAddress(int programNumber); // 8192 + (p - 1) * 150
    static int reagentAddress(int reagentNumber); // 4096 + (n - 1) * 13

private:
    QByteArray answer(const QByteArray &line);
    QByteArray execute(QByteArrayView command);

    std::array<quint8, MemorySize> m_memory{};
    QByteArray m_line; // the request being assembled, from its "!"
    bool m_inLine = false;
    bool m_overflow = false; // the current request grew too long and is dropped at its CR
    QByteArrayList m_requests;
    QByteArray m_lastArrival; // for answerFromArrival
    int m_arrivalCount = 0;
};
