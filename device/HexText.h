#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Upper-case hexadecimal text of the low 8, 16 or 32 bits of value, padded with
// zeros to exactly 2, 4 or 8 digits (negative numbers in two's complement):
// Hex2(300) is "2C", Hex4(8192) is "2000", Hex8(-1) is "FFFFFFFF".
QByteArray Hex2(qint64 value);
QByteArray Hex4(qint64 value);
QByteArray Hex8(qint64 value);

// Strict parse of a hexadecimal number as the instrument sends it: one or more
// digits 0-9, A-F or a-f and nothing else (no sign, no spaces, no prefix).
// Leading zeros are allowed in any number; a value above 0x7FFFFFFF does not
// fit the result and counts as not a number. False leaves value unchanged.
bool ParseHexNumber(QByteArrayView text, int &value);
