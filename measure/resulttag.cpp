#include "measure/resulttag.h"

#include "app/globals.h"

#include <cmath>

namespace ResultTag {

namespace {

constexpr qsizetype KeyLength = 12;

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The number at the start of `text` after blanks: sign, digits, a period with
// digits, an exponent; reading stops at the first character that cannot
// continue it. No number gives 0.
double leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        ++digits;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        for (; i < text.size() && isDigit(text[i]); ++i)
            ++digits;
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == u'E' || text[i] == u'e')) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toString().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

// A field read back as an index: rounded, and 0 when outside 0..max.
qint16 indexField(QStringView text, qint16 max)
{
    const double n = std::nearbyint(leadingNumber(text));
    return n >= 0 && n <= max ? qint16(n) : qint16(0);
}

qint16 inRange(qint16 index, qint16 max) { return index >= 0 && index <= max ? index : qint16(0); }

QString unitName(qint16 unit, bool area)
{
    return area ? GE_strUnitArea[inRange(unit, MaxUnit)] : GE_strUnitDistance[inRange(unit, MaxUnit)];
}

typRelabel changeUnit(const QString& tag, qint16 unit, bool area)
{
    qint16 u = 0, d = 0;
    double v = 0;
    subParse_ResultTag(tag, u, d, v);
    if (u == unit)
        return {};
    const double converted = fncChg_Value(v, u, unit, area);
    return {true, fncCaption(converted, unit, d, area), fncMake_ResultTag(unit, d, converted, tag)};
}

}  // namespace

QString fncGroupId(const QDateTime& moment) { return vb::Format(moment, QStringLiteral("yymmddhhnnss")); }

QString fncNew_ResultTag(const QDateTime& moment) { return QStringLiteral("000:0.000_") + fncGroupId(moment); }

QString fncMake_ResultTag(qint16 unit, qint16 decimals, double value, const QString& oldTag)
{
    return vb::Format(inRange(unit, MaxUnit), QStringLiteral("00")) +
           vb::Format(inRange(decimals, MaxDecimals), QStringLiteral("0")) + u':' + vb::CStr(value) + u'_' +
           fncTag_Key(oldTag);
}

void subParse_ResultTag(const QString& tag, qint16& unit, qint16& decimals, double& value)
{
    const QStringView text(tag);
    unit = indexField(text.left(2), MaxUnit);
    decimals = indexField(text.mid(2, 1), MaxDecimals);
    // The window covers the value, the "_" and part of the group id; the
    // "_" ends the number.
    value = tag.size() > 11 ? leadingNumber(text.mid(4, tag.size() - 11)) : 0;
}

bool fncTag_WellFormed(const QString& tag)
{
    return tag.size() > 3 && isDigit(tag[0]) && isDigit(tag[1]) && isDigit(tag[2]) && tag[3] == u':'
           && tag.left(2).toInt() <= MaxUnit && tag.mid(2, 1).toInt() <= MaxDecimals;
}

QString fncTag_Key(const QString& tag) { return vb::Right(tag, KeyLength); }

double fncChg_Value(double value, qint16 from, qint16 to, bool area)
{
    from = inRange(from, MaxUnit);
    to = inRange(to, MaxUnit);
    return area ? value * GE_dblChgOToMS[from] * GE_dblChgMToOS[to] : value * GE_dblChgOToMD[from] * GE_dblChgMToOD[to];
}

QString fncCaption(double value, qint16 unit, qint16 decimals, bool area)
{
    return vb::Format(value, GE_strFormat[inRange(decimals, MaxDecimals)]) + unitName(unit, area);
}

namespace {

// The blanks a caption of `value` has around its figure and unit.
struct Blanks {
    QString lead, trail;
};
Blanks blanksOf(double value, qint16 unit, qint16 decimals, bool area)
{
    const QString shown = fncCaption(value, unit, decimals, area);
    const QString core = vb::Trim(shown);
    if (core.isEmpty())
        return {};
    const qsizetype lead = shown.indexOf(core);
    return {shown.left(lead), shown.mid(lead + core.size())};
}

// A format of one section puts the same blanks round every value, so a
// drawing's thousands of labels need them worked out once per unit and
// decimals: the load then formats no value again.
struct KnownBlanks {
    QString format, unitName;
    Blanks blanks;
    bool known = false;
};

}  // namespace

QString fncStored_Caption(const QString& stored, const QString& tag, bool area)
{
    if (stored.isEmpty() || stored != vb::Trim(stored) || !fncTag_WellFormed(tag))
        return stored;
    const qint16 unit = indexField(QStringView(tag).left(2), MaxUnit);
    const qint16 decimals = indexField(QStringView(tag).mid(2, 1), MaxDecimals);
    const QString format = GE_strFormat[std::size_t(inRange(decimals, MaxDecimals))];
    Blanks blanks;
    if (format.contains(u';')) {
        qint16 u = 0, d = 0;
        double value = 0;
        subParse_ResultTag(tag, u, d, value);
        blanks = blanksOf(value, unit, decimals, area);
    } else {
        static KnownBlanks known[2][MaxUnit + 1][MaxDecimals + 1];
        KnownBlanks& k = known[area][inRange(unit, MaxUnit)][inRange(decimals, MaxDecimals)];
        const QString name = unitName(unit, area);
        if (!k.known || k.format != format || k.unitName != name)
            k = {format, name, blanksOf(0, unit, decimals, area), true};
        blanks = k.blanks;
    }
    if (blanks.lead.isEmpty() && blanks.trail.isEmpty())
        return stored;
    return blanks.lead + stored + blanks.trail;
}

void subInit_Format()
{
    GE_strFormat = {QStringLiteral(" #,###,##0 "), QStringLiteral(" ###,##0.0 "), QStringLiteral(" ##,##0.00 "),
                    QStringLiteral(" #,##0.000 "), QStringLiteral(" ##0.0000 "),  QStringLiteral(" #0.00000 "),
                    QStringLiteral(" 0.000000 "),  QString(),                     QString()};
}

typRelabel fncChg_UnitDistance(const QString& tag, qint16 unit) { return changeUnit(tag, unit, false); }

typRelabel fncChg_UnitArea(const QString& tag, qint16 unit) { return changeUnit(tag, unit, true); }

typRelabel fncChg_DecimalPoint(const QString& tag, qint16 decimals, bool area)
{
    qint16 u = 0, d = 0;
    double v = 0;
    subParse_ResultTag(tag, u, d, v);
    return {true, fncCaption(v, u, decimals, area), fncMake_ResultTag(u, decimals, v, tag)};
}

typRelabel fncRestate(const QString& tag, double value, qint16 drawingUnit, qint16 drawingDecimals, bool area)
{
    qint16 unit = drawingUnit, decimals = drawingDecimals;
    if (fncTag_WellFormed(tag)) {
        double old = 0;
        subParse_ResultTag(tag, unit, decimals, old);
    }
    const double own = unit == drawingUnit ? value : fncChg_Value(value, drawingUnit, unit, area);
    return {true, fncCaption(own, unit, decimals, area), fncMake_ResultTag(unit, decimals, own, tag)};
}

}  // namespace ResultTag
