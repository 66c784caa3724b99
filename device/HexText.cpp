#include "HexText.h"

namespace {

QByteArray LowDigits(qint64 value, int digits)
{
    const quint64 mask = (quint64(1) << (4 * digits)) - 1;
    return QByteArray::number(quint64(value) & mask, 16).toUpper().rightJustified(digits, '0');
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

QByteArray Hex2(qint64 value)
{
    return LowDigits(value, 2);
}

QByteArray Hex4(qint64 value)
{
    return LowDigits(value, 4);
}

QByteArray Hex8(qint64 value)
{
    return LowDigits(value, 8);
}

bool ParseHexNumber(QByteArrayView text, int &value)
{
    if (text.isEmpty())
        return false;
    qint64 result = 0;
    for (const char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return false;
        result = result * 16 + digit;
        // Stop before the 64-bit accumulator could overflow on a long text.
        if (result > 0x7FFFFFFF)
            return false;
    }
    value = int(result);
    return true;
}
