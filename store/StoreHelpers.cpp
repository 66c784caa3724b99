#include "StoreHelpers.h"

#include "StoreConstants.h"

#include <limits>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The leading number of text, rounded half to even. The magnitude saturates
// far beyond the 32-bit range, so that the caller's clamp sees it as too large.
qint64 RoundedLeadingNumber(QByteArrayView text)
{
    constexpr qint64 Saturated = qint64(1) << 40;
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    qint64 whole = 0;
    qsizetype digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
        whole = qMin(whole * 10 + (text[i] - '0'), Saturated);

    // Rounding needs only the first fraction digit and whether any later one is not 0.
    int firstFraction = 0;
    bool restNonZero = false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (i < text.size() && IsDigit(text[i])) {
            firstFraction = text[i++] - '0';
            ++digits;
        }
        for (; i < text.size() && IsDigit(text[i]); ++i)
            restNonZero = restNonZero || text[i] != '0';
    }
    if (digits == 0)
        return 0;

    const bool roundUp =
        firstFraction > 5 || (firstFraction == 5 && (restNonZero || whole % 2 == 1));
    if (roundUp && whole < Saturated)
        ++whole;
    return negative ? -whole : whole;
}

} // namespace

QByteArray FitName(QByteArrayView text, bool trim)
{
    if (trim) {
        qsizetype end = text.size();
        while (end > 0 && text[end - 1] == ' ')
            --end;
        return text.first(end).toByteArray();
    }
    QByteArray name = text.first(qMin(text.size(), qsizetype(NameWidth))).toByteArray();
    name.append(NameWidth - name.size(), ' ');
    return name;
}

qint32 ClampText(QByteArrayView text, qint32 low, qint32 high)
{
    const qint64 value = RoundedLeadingNumber(text);
    if (value < low)
        return low;
    if (value > high)
        return high;
    return qint32(value);
}

qint32 LeadingNumber(QByteArrayView text)
{
    return ClampText(text, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
}

qint32 CurrentProgramNumber(QByteArrayView programBoxText)
{
    return ClampText(programBoxText, 1, ProgramCount);
}

QByteArray TypeText(qint32 typeCode)
{
    return typeCode == 0 ? QByteArrayLiteral("LM") : QByteArrayLiteral("EM");
}

QByteArray PadNumber(qint64 value, int width)
{
    QByteArray digits = QByteArray::number(value < 0 ? -value : value);
    if (digits.size() < width)
        digits.prepend(width - digits.size(), '0');
    if (value < 0)
        digits.prepend('-');
    return digits;
}

bool ParseWholeNumber(QByteArrayView text, qint32 &value)
{
    qsizetype i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (i == text.size())
        return false;
    for (qsizetype j = i; j < text.size(); ++j) {
        if (!IsDigit(text[j]))
            return false;
    }
    bool ok = false;
    const qint32 parsed = text.toInt(&ok, 10);
    if (ok)
        value = parsed;
    return ok;
}
