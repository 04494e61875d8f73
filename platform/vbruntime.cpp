// The runtime's conversions between numbers, dates and text. Every number is
// written and read through std::to_chars / std::from_chars, which never look
// at the process locale, so "." stays the decimal point on every system.

#include "platform/vbruntime.h"

#include "platform/vberror.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace vb {

namespace {

// ---------------------------------------------------------------------------
// Decimal digits of a double

// |value| = d1.d2d3... x 10^exponent, rounded to a number of significant
// digits; trailing zeros are dropped (at least one digit stays).
struct Digits {
    std::string digits;
    int exponent = 0;
};

Digits significantDigits(double value, int count)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                   std::chars_format::scientific, count - 1);
    const std::string text(buf, res.ptr);
    const auto e = text.find('e');
    Digits d;
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            d.digits += text[i];
    const char* exp = text.data() + e + 1;
    if (*exp == '+')
        ++exp;
    std::from_chars(exp, text.data() + text.size(), d.exponent);
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

// The runtime's general text of a number with `precision` significant digits:
// fixed notation while the digits fit in `precision` places (leading zeros of
// a fraction count), exponent notation "1.5E-07" / "1E+15" beyond.
QString generalText(double value, int precision)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    if (value == 0)
        return QStringLiteral("0");

    const Digits d = significantDigits(value, precision);
    const int n = int(d.digits.size());
    const int x = d.exponent;
    std::string out = value < 0 ? "-" : "";
    if (x >= precision || (x < 0 && -x - 1 + n > precision)) {
        out += d.digits[0];
        if (n > 1)
            out.append(".").append(d.digits, 1, std::string::npos);
        std::string e = std::to_string(std::abs(x));
        if (e.size() < 2)
            e.insert(0, 1, '0');
        out.append(x < 0 ? "E-" : "E+").append(e);
    } else if (x < 0) {
        out.append("0.").append(std::size_t(-x - 1), '0').append(d.digits);
    } else if (n <= x + 1) {
        out += d.digits + std::string(std::size_t(x + 1 - n), '0');
    } else {
        out += d.digits.substr(0, std::size_t(x + 1)) + "." + d.digits.substr(std::size_t(x + 1));
    }
    return QString::fromLatin1(out);
}

// ---------------------------------------------------------------------------
// Reading numbers

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int digitValue(QChar c, int base)
{
    int v = -1;
    if (isAsciiDigit(c))
        v = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'f')
        v = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        v = c.unicode() - u'A' + 10;
    return v < base ? v : -1;
}

struct NumberText {
    qsizetype length = 0;  // characters read; 0 when the text starts with no number
    bool overflow = false;
    bool hex = false;  // "&H" or "&O"
    double value = 0;
};

// "&H"/"&O" numbers are 16-bit unless they need more digits or carry the
// "&" suffix, then 32-bit: "&HFFFF" is -1, "&HFFFF&" and "&H10000" are positive.
double radixValue(quint64 bits, bool longSuffix)
{
    if (!longSuffix && bits <= 0xFFFF)
        return qint16(quint16(bits));
    return qint32(quint32(bits));
}

NumberText readRadix(QStringView s)
{
    NumberText r;
    const int base = (s[1] == u'H' || s[1] == u'h') ? 16 : 8;
    quint64 bits = 0;
    qsizetype i = 2;
    for (; i < s.size(); ++i) {
        const int v = digitValue(s[i], base);
        if (v < 0)
            break;
        bits = bits * quint64(base) + quint64(v);
        if (bits > 0xFFFFFFFFu) {
            r.overflow = true;
            bits &= 0xFFFFFFFFu;
        }
    }
    if (i == 2)
        return r;
    const bool longSuffix = i < s.size() && s[i] == u'&';
    r.length = longSuffix ? i + 1 : i;
    r.hex = true;
    r.value = radixValue(bits, longSuffix);
    return r;
}

// The number at the start of s: "&H"/"&O", or sign, digits, ".", digits and
// an exponent "E"/"D" with optional sign (ignored when no digit follows).
NumberText readNumber(QStringView s)
{
    if (s.size() >= 2 && s[0] == u'&'
        && (s[1] == u'H' || s[1] == u'h' || s[1] == u'O' || s[1] == u'o'))
        return readRadix(s);

    NumberText r;
    std::string text;
    qsizetype i = 0;
    const qsizetype n = s.size();
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
        if (s[i] == u'-')
            text += '-';
        ++i;
    }
    int digits = 0;
    for (; i < n && isAsciiDigit(s[i]); ++i, ++digits)
        text += char(s[i].unicode());
    if (i < n && s[i] == u'.') {
        text += '.';
        for (++i; i < n && isAsciiDigit(s[i]); ++i, ++digits)
            text += char(s[i].unicode());
    }
    if (digits == 0)
        return r;
    r.length = i;

    bool negativeExponent = false;
    if (i < n && (s[i] == u'E' || s[i] == u'e' || s[i] == u'D' || s[i] == u'd')) {
        std::string e = "e";
        qsizetype j = i + 1;
        if (j < n && (s[j] == u'+' || s[j] == u'-')) {
            negativeExponent = s[j] == u'-';
            e += char(s[j].unicode());
            ++j;
        }
        const qsizetype first = j;
        for (; j < n && isAsciiDigit(s[j]); ++j)
            e += char(s[j].unicode());
        if (j > first) {
            text += e;
            r.length = j;
        }
    }
    const auto res = std::from_chars(text.data(), text.data() + text.size(), r.value);
    if (res.ec == std::errc::result_out_of_range) {
        r.value = 0;
        r.overflow = !negativeExponent;
    }
    return r;
}

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

// A Japanese input method types digits, signs and the decimal point in
// full width; the runtime read them as their plain forms. The minus sign
// U+2212 is what the Japanese code page's full-width minus maps to on some
// systems, so it reads as a minus too.
QString plainNumberForms(const QString& text)
{
    // Most texts have none: they are given back shared, not copied.
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x2212; }))
        return text;
    QString s = text;
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19)
            c = QChar(u'0' + (u - 0xFF10));
        else if (u == 0xFF0D || u == 0x2212)
            c = u'-';
        else if (u == 0xFF0B)
            c = u'+';
        else if (u == 0xFF0E)
            c = u'.';
    }
    return s;
}

QStringView trimmedBlanks(QStringView s)
{
    while (!s.isEmpty() && isBlank(s.front()))
        s = s.mid(1);
    while (!s.isEmpty() && isBlank(s.back()))
        s.chop(1);
    return s;
}

// The whole text as one number; errTypeMismatch or errOverflow otherwise.
double numberOrRaise(const QString& text)
{
    const QString plain = plainNumberForms(text);
    const QStringView s = trimmedBlanks(plain);
    const NumberText r = readNumber(s);
    if (r.length == 0 || r.length != s.size())
        raise(errTypeMismatch);
    if (r.overflow)
        raise(errOverflow);
    return r.value;
}

// ---------------------------------------------------------------------------
// Number patterns of Format

struct PatternToken {
    enum Kind { Literal, IntDigit, Point, FracDigit } kind;
    QString text;
};

struct NumberPattern {
    QList<PatternToken> tokens;
    int intCount = 0;   // "#"/"0" before the point
    int minInt = 0;     // digits always written: from the first "0" to the point
    int fracCount = 0;  // "#"/"0" after the point
    int minFrac = 0;    // decimals always written: up to the last "0"
    bool grouping = false;
    bool percent = false;
};

void addLiteral(NumberPattern& p, const QString& text)
{
    if (!p.tokens.isEmpty() && p.tokens.back().kind == PatternToken::Literal)
        p.tokens.back().text += text;
    else
        p.tokens.append(PatternToken{PatternToken::Literal, text});
}

NumberPattern parseNumberPattern(QStringView s)
{
    NumberPattern p;
    bool afterPoint = false;
    int firstZero = -1;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'"') {
            qsizetype end = s.indexOf(u'"', i + 1);
            if (end < 0)
                end = s.size();
            addLiteral(p, s.mid(i + 1, end - i - 1).toString());
            i = end;
        } else if (c == u'\\') {
            if (i + 1 < s.size())
                addLiteral(p, QString(s[++i]));
        } else if ((c == u'0' || c == u'#') && afterPoint) {
            ++p.fracCount;
            if (c == u'0')
                p.minFrac = p.fracCount;
            p.tokens.append(PatternToken{PatternToken::FracDigit, {}});
        } else if (c == u'0' || c == u'#') {
            if (c == u'0' && firstZero < 0)
                firstZero = p.intCount;
            ++p.intCount;
            p.tokens.append(PatternToken{PatternToken::IntDigit, {}});
        } else if (c == u'.' && !afterPoint) {
            afterPoint = true;
            p.tokens.append(PatternToken{PatternToken::Point, {}});
        } else if (c == u',' && !afterPoint && p.intCount > 0) {
            p.grouping = true;
        } else {
            if (c == u'%')
                p.percent = true;
            addLiteral(p, QString(c));
        }
    }
    p.minInt = firstZero < 0 ? 0 : p.intCount - firstZero;
    return p;
}

// |value| x 10^shift rounded to `decimals` places, halves away from zero. The
// rounding works on the 15-digit decimal text of the value, so 1.005 rounds
// to 1.01 as it reads, not as its binary neighbour 1.00499999... would.
struct Fixed {
    std::string intDigits;   // no leading zeros; empty for zero
    std::string fracDigits;  // exactly `decimals` digits
    bool zero = true;
};

Fixed roundFixed(double absValue, int shift, int decimals)
{
    std::string scaled;  // round(|value| x 10^(shift + decimals))
    if (absValue != 0) {
        const Digits d = significantDigits(absValue, 15);
        const int n = int(d.digits.size());
        const int keep = d.exponent + shift + decimals + 1;
        if (keep >= 0) {
            scaled = d.digits.substr(0, std::size_t(std::min(keep, n)));
            scaled.append(std::size_t(std::max(0, keep - n)), '0');
            if (keep < n && d.digits[std::size_t(keep)] >= '5') {
                int i = int(scaled.size()) - 1;
                for (; i >= 0 && scaled[std::size_t(i)] == '9'; --i)
                    scaled[std::size_t(i)] = '0';
                if (i < 0)
                    scaled.insert(0, 1, '1');
                else
                    ++scaled[std::size_t(i)];
            }
        }
    }
    const auto firstNonZero = scaled.find_first_not_of('0');
    scaled.erase(0, firstNonZero == std::string::npos ? scaled.size() : firstNonZero);

    Fixed f;
    f.zero = scaled.empty();
    if (int(scaled.size()) < decimals)
        scaled.insert(0, std::size_t(decimals - int(scaled.size())), '0');
    const std::size_t split = scaled.size() - std::size_t(decimals);
    f.intDigits = scaled.substr(0, split);
    f.fracDigits = scaled.substr(split);
    return f;
}

QString renderNumber(const NumberPattern& p, double absValue, bool negative)
{
    const Fixed f = roundFixed(absValue, p.percent ? 2 : 0, p.fracCount);
    QString intText = QString::fromLatin1(f.intDigits);
    if (intText.size() < p.minInt)
        intText.prepend(QString(p.minInt - intText.size(), u'0'));
    if (p.grouping)
        for (qsizetype i = intText.size() - 3; i > 0; i -= 3)
            intText.insert(i, u',');
    // A value that rounds to zero is written without its minus sign.
    if (negative && !f.zero)
        intText.prepend(u'-');
    int fracLen = p.fracCount;
    while (fracLen > p.minFrac && f.fracDigits[std::size_t(fracLen - 1)] == '0')
        --fracLen;

    QString out;
    bool intWritten = false;
    int fracIndex = 0;
    for (const PatternToken& t : p.tokens) {
        switch (t.kind) {
        case PatternToken::Literal:
            out += t.text;
            break;
        case PatternToken::IntDigit:
        case PatternToken::Point:
            if (!intWritten)
                out += intText;
            intWritten = true;
            if (t.kind == PatternToken::Point)
                out += u'.';
            break;
        case PatternToken::FracDigit:
            if (fracIndex < fracLen)
                out += QChar(f.fracDigits[std::size_t(fracIndex)]);
            ++fracIndex;
            break;
        }
    }
    return out;
}

// Sections split at ";" outside quotes and escapes.
QStringList splitSections(const QString& pattern)
{
    QStringList sections(1);
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u';' && !quoted) {
            sections.append(QString());
            continue;
        }
        if (c == u'"')
            quoted = !quoted;
        sections.back() += c;
        if (c == u'\\' && !quoted && i + 1 < pattern.size())
            sections.back() += pattern[++i];
    }
    return sections;
}

QString padded(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

// "yyyy/MM/dd[ HH:mm[:ss]]" with "/" or "-", two-digit years, or a time alone.
std::optional<QDateTime> parseDateTime(const QString& text)
{
    static const QRegularExpression datePart(
        QStringLiteral(R"(^(\d{1,4})[/-](\d{1,2})[/-](\d{1,2})$)"));
    static const QRegularExpression timePart(QStringLiteral(R"(^(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?$)"));
    static const QRegularExpression blanks(QStringLiteral(R"(\s+)"));

    const QStringList parts = text.trimmed().split(blanks, Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 2)
        return std::nullopt;

    QDate date(1899, 12, 30);  // the runtime's day zero: a time alone
    QTime time(0, 0);
    qsizetype next = 0;
    if (const auto m = datePart.match(parts[0]); m.hasMatch()) {
        int year = m.captured(1).toInt();
        if (m.capturedLength(1) <= 2)
            year += year < 30 ? 2000 : 1900;
        date = QDate(year, m.captured(2).toInt(), m.captured(3).toInt());
        if (!date.isValid())
            return std::nullopt;
        next = 1;
    }
    if (next < parts.size()) {
        const auto m = timePart.match(parts[next]);
        if (!m.hasMatch())
            return std::nullopt;
        time = QTime(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (!time.isValid())
            return std::nullopt;
    } else if (next == 0) {
        return std::nullopt;
    }
    return QDateTime(date, time);
}

QDateTime toTheSecond(const QDateTime& value)
{
    const QTime t = value.time();
    QDateTime result = value;
    result.setTime(QTime(t.hour(), t.minute(), t.second()));
    return result;
}

}  // namespace

// ---------------------------------------------------------------------------

double Val(const QString& text)
{
    // Read in place, as IsNumeric reads: only a text with blanks to skip
    // inside it is copied without them.
    const QString plain = plainNumberForms(text);
    const auto skipped = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; };
    QString s;
    if (std::any_of(plain.cbegin(), plain.cend(), skipped)) {
        s.reserve(plain.size());
        for (const QChar c : plain)
            if (!skipped(c))
                s += c;
    }
    const NumberText r = readNumber(s.isNull() ? QStringView(plain) : QStringView(s));
    if (r.length == 0)
        return 0;
    if (r.overflow)
        raise(errOverflow);
    return r.value;
}

bool IsNumeric(const QString& text)
{
    const QString plain = plainNumberForms(text);
    const QStringView s = trimmedBlanks(plain);
    const NumberText r = readNumber(s);
    return r.length > 0 && r.length == s.size() && !r.overflow;
}

qint16 CInt(double value)
{
    const double r = std::nearbyint(value);  // halves to the even neighbour
    if (!(r >= -32768.0 && r <= 32767.0))
        raise(errOverflow);
    return qint16(r);
}

qint16 CInt(const QString& text) { return CInt(numberOrRaise(text)); }

qint32 CLng(double value)
{
    const double r = std::nearbyint(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        raise(errOverflow);
    return qint32(r);
}

qint32 CLng(const QString& text) { return CLng(numberOrRaise(text)); }

float CSng(double value)
{
    if (std::isnan(value))
        return float(value);
    if (std::fabs(value) > double(FLT_MAX))
        raise(errOverflow);
    return float(value);
}

QString CStr(float value) { return generalText(double(value), 7); }
QString CStr(double value) { return generalText(value, 15); }
QString CStr(qint32 value) { return QString::number(value); }

QString Str(double value) { return value < 0 ? CStr(value) : u' ' + CStr(value); }
QString Str(float value) { return value < 0 ? CStr(value) : u' ' + CStr(value); }
QString Str(qint32 value) { return value < 0 ? CStr(value) : u' ' + CStr(value); }

QString Format(double value, const QString& pattern)
{
    const QStringList sections = splitSections(pattern);
    if (std::isnan(value) || std::isinf(value))
        return CStr(value);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return renderNumber(parseNumberPattern(sections[2]), 0, false);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return renderNumber(parseNumberPattern(sections[1]), -value, false);
    if (sections[0].isEmpty())
        return CStr(value);
    return renderNumber(parseNumberPattern(sections[0]), std::fabs(value), value < 0);
}

QString Format(const QDateTime& value, const QString& pattern)
{
    const QDate d = value.date();
    const QTime t = value.time();
    QString out;
    bool afterHour = false;  // "m" right after an hour field means minutes
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        const QChar lc = c.toLower();
        if (c == u'"') {
            qsizetype end = pattern.indexOf(u'"', i + 1);
            if (end < 0)
                end = pattern.size();
            out += pattern.mid(i + 1, end - i - 1);
            i = end;
            continue;
        }
        if (c == u'\\') {
            if (i + 1 < pattern.size())
                out += pattern[++i];
            continue;
        }
        if (!QStringLiteral("ymdhns").contains(lc)) {
            out += c;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run].toLower() == lc)
            ++run;
        i += run - 1;
        const int width = run >= 2 ? 2 : 1;
        switch (lc.unicode()) {
        case u'y':
            out += run >= 3 ? padded(d.year(), 4) : padded(d.year() % 100, 2);
            break;
        case u'm':
            out += padded(afterHour ? t.minute() : d.month(), width);
            break;
        case u'd':
            out += padded(d.day(), width);
            break;
        case u'h':
            out += padded(t.hour(), width);
            break;
        case u'n':
            out += padded(t.minute(), width);
            break;
        case u's':
            out += padded(t.second(), width);
            break;
        }
        afterHour = lc == u'h';
    }
    return out;
}

QString DateText(const QDateTime& value)
{
    if (!value.isValid())
        return QString();
    const QTime t = value.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        return Format(value, QStringLiteral("yyyy/mm/dd"));
    return Format(value, QStringLiteral("yyyy/mm/dd hh:nn:ss"));
}

QDateTime CDate(const QString& text)
{
    const auto parsed = parseDateTime(text);
    if (!parsed)
        raise(errTypeMismatch);
    return *parsed;
}

bool IsDate(const QString& text) { return parseDateTime(text).has_value(); }

namespace {
QDateTime g_heldClock;  // invalid while the clock runs
}

QDateTime Now() { return toTheSecond(g_heldClock.isValid() ? g_heldClock : QDateTime::currentDateTime()); }

void SetClock(const QDateTime& moment) { g_heldClock = moment; }

QDateTime FileDateTime(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        raise(errFileNotFound);
    return toTheSecond(info.lastModified());
}

QString Trim(const QString& s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin] == u' ')
        ++begin;
    while (end > begin && s[end - 1] == u' ')
        --end;
    return s.mid(begin, end - begin);
}

double Divide(double a, double b)
{
    if (b == 0)
        raise(a == 0 || std::isnan(a) ? errOverflow : errDivisionByZero);
    const double q = a / b;
    if (std::isinf(q))
        raise(errOverflow);
    return q;
}

}  // namespace vb
