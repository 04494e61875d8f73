#pragma once
// Byte helpers shared by the file readers: bytes as hexadecimal text and as
// numbers, in file order or reversed. None of them raises a failure, except
// fncNullToZero for a value outside the 16-bit range.

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace mdlKyotu {

// Each byte as two upper-case hexadecimal digits, first to last when
// `inOrder` is true (big-endian data), last to first when false.
QString fncBytesToHex(const QByteArray& bytes, bool inOrder);

// The bytes as one unsigned number (up to four bytes: 0 … 4294967295);
// 0 for no bytes or more than four.
double fncBytesToDbl(const QByteArray& bytes, bool inOrder);

// The bytes as a 16-bit number: two bytes give their signed value
// (-32768 … 32767); 0 when the value does not fit.
qint16 fncBytesToInt(const QByteArray& bytes, bool inOrder);

// The bytes as a 32-bit number, 65536 added when that is negative: two bytes
// give their unsigned value 0 … 65535; 0 for no bytes or more than four.
qint32 fncBytesToLng(const QByteArray& bytes, bool inOrder);

// 0 for Null, a value that is not numeric, or a value equal to 0 ("&h" text
// counts as numeric); otherwise the value as a 16-bit integer. A value
// outside -32768 … 32767 raises errOverflow.
qint16 fncNullToZero(const QVariant& value);

}  // namespace mdlKyotu
