#pragma once

#include <QByteArray>
#include <QByteArrayView>

// FitName(text, false): text padded with spaces or cut to exactly NameWidth bytes.
// FitName(text, true): text without its trailing spaces (only 0x20), for display.
QByteArray FitName(QByteArrayView text, bool trim);

// The number at the start of text (optional sign, digits, optional decimal
// point and fraction; anything else counts as 0), rounded half to even and
// clamped to low..high. Numbers of any length clamp without overflowing.
qint32 ClampText(QByteArrayView text, qint32 low, qint32 high);

// The number at the start of text, rounded as ClampText does, without limits
// beyond those of 32 bits.
qint32 LeadingNumber(QByteArrayView text);

// The program number shown by a program number box: its text clamped to 1..99.
qint32 CurrentProgramNumber(QByteArrayView programBoxText);

// "LM" for type 0, "EM" for any other value.
QByteArray TypeText(qint32 typeCode);

// Decimal digits padded on the left with zeros to at least width digits
// (PadNumber(5, 2) is "05", PadNumber(123, 2) stays "123").
QByteArray PadNumber(qint64 value, int width);

// Strict parse of a whole signed 32-bit decimal number ("-12", "+7", "95");
// false for anything else, including values beyond 32 bits.
bool ParseWholeNumber(QByteArrayView text, qint32 &value);
