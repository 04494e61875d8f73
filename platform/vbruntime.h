#pragma once
// The numeric, text and date conversions of the runtime the program was
// designed for. Stored drawings and statements depend on their exact output,
// so they never follow the process locale: the decimal point is always ".".

#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace vb {

// Val, IsNumeric, CInt and CLng of a text read full-width digits, signs and
// decimal points ("３５", "－０", "１．５") and the minus sign U+2212 as
// their plain forms, as the runtime did on a Japanese system.

// Leading number of a text: blanks, tabs and line feeds are skipped wherever
// they stand, reading stops at the first character that cannot continue the
// number; "&H"/"&O" prefixes read hexadecimal/octal; no number gives 0.
double Val(const QString& text);

// The runtime's numeric test: the whole text (trimmed) is one number,
// "&H" hexadecimal included. An empty text is not numeric.
bool IsNumeric(const QString& text);

// Conversions to 16- and 32-bit integers: halves go to the even neighbour;
// out of range raises errOverflow; a text that is not numeric raises
// errTypeMismatch; "&H" text is read as 16-bit without and as 32-bit with
// the "&" suffix ("&HFFFF" is -1, "&HFFFF&" is 65535).
qint16 CInt(double value);
qint16 CInt(const QString& text);
qint32 CLng(double value);
qint32 CLng(const QString& text);
float CSng(double value);  // raises errOverflow beyond the float range

// Default text of a number: Single to 7 and Double to 15 significant digits,
// no trailing zeros; fixed notation while the digits, a fraction's leading
// zeros included, fit in those 7 or 15 places ("0.00001", "123456789012345"),
// exponent form beyond ("1.5E-07" for a Single, "1E+15", "1.42857142857143E-04").
QString CStr(float value);
QString CStr(double value);
QString CStr(qint32 value);
inline QString CStr(qint16 value) { return CStr(qint32(value)); }
inline QString CStr(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

// Str: the default text with a leading blank for values that are not negative.
QString Str(double value);
QString Str(float value);
QString Str(qint32 value);

// Format with a number pattern: "#", "0", ",", ".", "%", literal text and
// blanks kept, sections split by ";" (positive;negative;zero); halves are
// rounded away from zero on the 15-digit decimal text (1.005 gives "1.01" with
// "0.00"); a leading "0" forces every digit place to its right ("0##" writes
// 35 as "035"); a value that rounds to zero is written without a minus sign.
QString Format(double value, const QString& pattern);

// Format with a date pattern: yyyy yy mm dd hh nn ss and the separators
// ("mmdd-hhnn", "yymmddhhnnss", "yy/mm/dd hh:nn:ss"). "mm" right after an
// "hh" field (separators between allowed) means minutes, as in the runtime;
// elsewhere it is the month ("nn" is always minutes).
QString Format(const QDateTime& value, const QString& pattern);

// The runtime's default text of a date-and-time value: "yyyy/MM/dd HH:mm:ss",
// zero-padded so stored dates sort as text; the date alone when the time is 0:00:00.
QString DateText(const QDateTime& value);

// Text to date: "yyyy/MM/dd[ HH:mm[:ss]]", "-" separators too, two-digit
// years (00-29 are 2000-2029, 30-99 are 1930-1999), a time alone.
// A text that is not a date raises errTypeMismatch.
QDateTime CDate(const QString& text);
bool IsDate(const QString& text);

// The clock's present date and time, to the second.
QDateTime Now();
// Holds the clock at `moment` (to the second) until called with an invalid
// value, which lets it run again; for tests of what depends on the time.
void SetClock(const QDateTime& moment);

// Modification date of a file, to the second; raises errFileNotFound.
QDateTime FileDateTime(const QString& path);

// a / b as the runtime divides: a zero divisor raises errDivisionByZero
// (errOverflow for 0 / 0) and a quotient beyond the double range raises
// errOverflow, so no infinity or NaN slips through.
double Divide(double a, double b);

// Text helpers with the runtime's meaning.
inline QString Left(const QString& s, int n) { return s.left(qMax(0, n)); }
inline QString Right(const QString& s, int n) { return s.right(qMax(0, n)); }
QString Trim(const QString& s);  // blanks only (U+0020), as the runtime trims

}  // namespace vb
