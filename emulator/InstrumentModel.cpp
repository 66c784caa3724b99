#include "InstrumentModel.h"

#include "store/IniFile.h"
#include "store/ProgramStore.h"
#include "store/StoreFile.h"

#include <optional>

namespace {

// Where the instrument keeps things. Written out here on purpose rather than
// shared with the link: the two must agree by testing, not by construction.
constexpr int ReagentArea = 4096;
constexpr int ReagentStride = 13;
constexpr int ProgramArea = 8192;
constexpr int ProgramStride = 150;
constexpr int NameBytes = 13;
constexpr int DurationOffset = 13;
constexpr int FirstStepOffset = 17;
constexpr int StepBytes = 5;
constexpr int TypeOffset = 149;
constexpr int Vials = 24;
constexpr int LmVials = 12;
constexpr quint8 PauseBit = 0x80;
constexpr quint8 AgitationBits = 0x0F;

constexpr char Cr = '\r';
constexpr char Lf = '\n';

// A request line as the host sends it to unit 1: "!1" then the command.
const QByteArray UnitPrefix = QByteArrayLiteral("!1");

// Line noise sent before a reply when asked: a stray CR and LF, a byte that is
// no text, and a "?" that starts a false reply which the real one must restart.
const QByteArray Garbage = QByteArrayLiteral("\xFF#\r\n~?x");

// The value of n upper-case hexadecimal digits, or nothing when text is not
// exactly that. Lower case is refused: the protocol has upper case only, and a
// host that sends lower case is to be caught here.
std::optional<int> ParseHex(QByteArrayView text, qsizetype digits)
{
    if (text.size() != digits)
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

QByteArray Hex(unsigned value, int digits)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    QByteArray text(digits, '0');
    for (int i = digits - 1; i >= 0; --i) {
        text[i] = Digits[value & 0xFu];
        value >>= 4;
    }
    return text;
}

int Wrap(int address)
{
    return address & (InstrumentModel::MemorySize - 1);
}

} // namespace

QByteArray InstrumentModel::receive(QByteArrayView bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        if (c == Lf)
            continue;
        if (c == '!') {
            m_line = QByteArray(1, c);
            m_inLine = true;
            m_overflow = false;
            continue;
        }
        if (!m_inLine)
            continue;
        if (c == Cr) {
            m_inLine = false;
            if (!m_overflow)
                out += answer(m_line);
            m_line.clear();
            continue;
        }
        if (m_line.size() >= MaxRequestLength) {
            m_overflow = true;
            m_line.clear();
        } else if (!m_overflow) {
            m_line += c;
        }
    }
    return out;
}

QByteArray InstrumentModel::answer(const QByteArray &line)
{
    m_requests += line;
    if (line == m_lastArrival) {
        if (m_arrivalCount < faults.answerFromArrival)
            ++m_arrivalCount;
    } else {
        m_lastArrival = line;
        m_arrivalCount = 1;
    }
    if (faults.silent)
        return {};

    QByteArray out;
    if (faults.echoRequest)
        out += line + Cr;
    if (m_arrivalCount < faults.answerFromArrival || !line.startsWith(UnitPrefix))
        return out;
    const QByteArray reply = execute(QByteArrayView(line).sliced(UnitPrefix.size()));
    if (reply.isEmpty())
        return out;
    if (faults.garbageBeforeReply)
        out += Garbage;
    return out + reply + Cr;
}

QByteArray InstrumentModel::execute(QByteArrayView command)
{
    if (command == "F1")
        return "?1F1," + faults.identity;

    // "25,HHHH" reads a byte, "26,HHHH,HH" writes one.
    const bool read = command.size() == 7 && command.startsWith("25,");
    const bool write = command.size() == 10 && command.startsWith("26,") && command[7] == ',';
    if (!read && !write)
        return {};
    const std::optional<int> address = ParseHex(command.sliced(3, 4), 4);
    if (!address)
        return {};
    if (write) {
        const std::optional<int> value = ParseHex(command.sliced(8, 2), 2);
        if (!value)
            return {};
        m_memory[std::size_t(*address)] = quint8(*value);
    }

    int echoedAddress = *address;
    if (faults.wrongAddressReplies > 0) {
        --faults.wrongAddressReplies;
        echoedAddress = Wrap(echoedAddress + 1);
    }
    unsigned value = m_memory[std::size_t(*address)];
    if (write && faults.wrongValueReplies > 0) {
        --faults.wrongValueReplies;
        value = (value + 1) & 0xFFu;
    }
    return "?1" + command.first(2).toByteArray() + ',' + Hex(unsigned(echoedAddress), 4) + ',' +
           Hex(value, 2);
}

quint8 InstrumentModel::byteAt(int address) const
{
    return m_memory[std::size_t(Wrap(address))];
}

void InstrumentModel::setByteAt(int address, quint8 value)
{
    m_memory[std::size_t(Wrap(address))] = value;
}

QByteArray InstrumentModel::bytesAt(int address, int count) const
{
    QByteArray bytes;
    bytes.reserve(count);
    for (int i = 0; i < count; ++i)
        bytes += char(byteAt(address + i));
    return bytes;
}

QByteArrayList InstrumentModel::requests() const
{
    return m_requests;
}

void InstrumentModel::clearRequests()
{
    m_requests.clear();
}

int InstrumentModel::programAddress(int programNumber)
{
    return ProgramArea + (programNumber - 1) * ProgramStride;
}

int InstrumentModel::reagentAddress(int reagentNumber)
{
    return ReagentArea + (reagentNumber - 1) * ReagentStride;
}

bool InstrumentModel::seedFromIni(const QString &iniPath)
{
    IniFile ini(iniPath);
    if (!ini.FileOk())
        return false;
    ProgramStore store;
    LoadReagents(store.Reagents, ini);
    for (int p = 1; p <= ProgramCount; ++p)
        LoadProgram(store.Programs[p], ini, ProgramSectionName(p));
    seedFromStore(store);
    return true;
}

void InstrumentModel::seedFromStore(const ProgramStore &store)
{
    for (int n = 1; n <= ReagentCount; ++n)
        setReagentName(n, store.Reagents[n]);
    for (int p = 1; p <= ProgramCount; ++p)
        setProgram(p, store.Programs[p]);
}

void InstrumentModel::setReagentName(int reagentNumber, QByteArrayView name)
{
    const int base = reagentAddress(reagentNumber);
    for (int i = 0; i < NameBytes; ++i)
        setByteAt(base + i, i < name.size() ? quint8(name[i]) : quint8(' '));
}

void InstrumentModel::setProgram(int programNumber, const ProgramRecord &program)
{
    // Numbers are stored as their low byte, as the host's byte writes leave them;
    // unsigned arithmetic keeps hand-edited extremes free of overflow.
    const int base = programAddress(programNumber);
    for (int i = 0; i < NameBytes; ++i)
        setByteAt(base + i, i < program.Name.size() ? quint8(program.Name[i]) : quint8(' '));
    const quint32 duration = quint32(program.Duration);
    for (int i = 0; i < 4; ++i)
        setByteAt(base + DurationOffset + i, quint8(duration >> (8 * (3 - i))));
    setByteAt(base + TypeOffset, quint8(program.Type));
    for (int v = 1; v <= Vials; ++v) {
        const VialStep step =
            program.Type == 0 && v > LmVials ? VialStep::empty() : program.Vials[v];
        const int at = base + FirstStepOffset + (v - 1) * StepBytes;
        setByteAt(at, quint8(step.Reagent));
        setByteAt(at + 1, quint8(quint32(step.Pause) * 128u + quint32(step.Agit)));
        setByteAt(at + 2, quint8(step.Hrs));
        setByteAt(at + 3, quint8(step.Min));
        setByteAt(at + 4, quint8(step.Temp));
    }
}

ProgramRecord InstrumentModel::programAt(int programNumber) const
{
    const int base = programAddress(programNumber);
    ProgramRecord program;
    program.Name = bytesAt(base, NameBytes);
    quint32 duration = 0;
    for (int i = 0; i < 4; ++i)
        duration = (duration << 8) | byteAt(base + DurationOffset + i);
    program.Duration = qint32(duration);
    program.Type = byteAt(base + TypeOffset); // 0 = LM, any other value EM
    for (int v = 1; v <= Vials; ++v) {
        if (program.Type == 0 && v > LmVials) {
            program.Vials[v] = VialStep::empty();
            continue;
        }
        const int at = base + FirstStepOffset + (v - 1) * StepBytes;
        VialStep &step = program.Vials[v];
        step.Reagent = byteAt(at);
        step.Agit = byteAt(at + 1) & AgitationBits;
        step.Pause = (byteAt(at + 1) & PauseBit) ? 1 : 0;
        step.Hrs = byteAt(at + 2);
        step.Min = byteAt(at + 3);
        step.Temp = byteAt(at + 4);
    }
    return program;
}

QByteArray InstrumentModel::reagentNameAt(int reagentNumber) const
{
    return bytesAt(reagentAddress(reagentNumber), NameBytes);
}
