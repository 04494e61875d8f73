#include "measure/optionrules.h"

#include "measure/calibration.h"
#include "platform/vberror.h"
#include "platform/vbruntime.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace measure {

bool fitsSingle(double v)
{
    return std::isfinite(v) && std::fabs(v) <= double(FLT_MAX);
}

namespace {

bool fitsInt16(double v)
{
    const double r = std::nearbyint(v);
    return r >= -32768.0 && r <= 32767.0;
}

// Val without its overflow error: a number beyond the double range is none.
double safeVal(const QString& text)
{
    try {
        return vb::Val(text);
    } catch (const vb::Error&) {
        return 0;
    }
}

bool isBlank(QChar c)
{
    return c == u' ' || c == QChar(0x3000);
}

QStringView trimmedBlanks(QStringView s)
{
    while (!s.isEmpty() && isBlank(s.front()))
        s = s.mid(1);
    while (!s.isEmpty() && isBlank(s.back()))
        s.chop(1);
    return s;
}

// The long-vowel mark a kana input method types for the minus key.
constexpr QChar LongVowel(0x30FC);

bool isDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19);
}

// A degree, minute or second box's text without blanks around it and its
// unit mark, the input method's long-vowel minus made a plain one.
QString angleNumber(int index, const QString& text)
{
    // The window's own marks (’, ’’) and the full-width forms an input method
    // types count as the marks they stand for; longer marks first.
    static const QStringList marks[] = {
        {QStringLiteral("°"), QStringLiteral("度")},
        {QStringLiteral("′"), QStringLiteral("'"), QStringLiteral("’"), QStringLiteral("＇"), QStringLiteral("分")},
        {QStringLiteral("’’"), QStringLiteral("''"), QStringLiteral("″"), QStringLiteral("\""), QStringLiteral("”"),
         QStringLiteral("＂"), QStringLiteral("秒")}};
    QStringView s = trimmedBlanks(text);
    for (const QString& mark : marks[index]) {
        if (s.endsWith(mark)) {
            s = trimmedBlanks(s.chopped(mark.size()));
            break;
        }
    }
    QString n = s.toString();
    if (n.startsWith(LongVowel))
        n[0] = u'-';
    return n;
}

}  // namespace

std::optional<double> fncBox_Angle(int index, const QString& text)
{
    if (index < 0 || index > 2)
        return std::nullopt;
    const QString n = angleNumber(index, text);
    if (index == 2) {
        const std::optional<float> v = fncBox_Single(n);
        return v ? std::optional<double>(*v) : std::nullopt;
    }
    const std::optional<double> v = fncBox_Double(n);
    if (!v || *v != std::trunc(*v) || !fitsInt16(*v))
        return std::nullopt;
    return v;
}

bool fncBox_Blank(const QString& text)
{
    return trimmedBlanks(text).isEmpty();
}

std::optional<double> fncBox_Double(const QString& text)
{
    if (!vb::IsNumeric(text))
        return std::nullopt;
    const double v = safeVal(text);
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<float> fncBox_Single(const QString& text)
{
    const std::optional<double> v = fncBox_Double(text);
    if (!v || !fitsSingle(*v))
        return std::nullopt;
    return float(*v);
}

float fncVal_Single(const QString& text)
{
    const double v = safeVal(text);
    return fitsSingle(v) ? float(v) : 0.0f;
}

bool fncHas_Minus(const QString& text)
{
    // The ASCII hyphen-minus, the minus sign and the full-width one an
    // input method gives, and its long-vowel mark before a number; an
    // exponent's (1E-05, as a small second is written back into its box)
    // is no sign of the number.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (c == LongVowel && (isDigit(next) || next == u'.' || next == QChar(0xFF0E)))
            return true;
        if (c != u'-' && c != QChar(0x2212) && c != QChar(0xFF0D))
            continue;
        if (i == 0 || !QStringLiteral("eEdD").contains(text[i - 1]))
            return true;
    }
    return safeVal(text) < 0;
}

std::optional<double> fncCheck_DMS(int index, const QString& text, typDMS& dms)
{
    if (index >= 0 && index <= 2) {
        const std::optional<double> angle = fncBox_Angle(index, text);
        const float limit = index == 0 ? 360 : 60;
        if (angle && float(*angle) >= 0 && float(*angle) < limit)
            return mdlSub::fncDMS_ToSec(dms.intDeg, dms.intMin, dms.sngSec);
        return std::nullopt;
    }
    const std::optional<float> v = fncBox_Single(text);
    if (!v || index != 3)
        return std::nullopt;
    const double seconds = *fncBox_Double(text);
    // The degree field is 16-bit: a larger angle has no place in the row.
    if (*v < 0 || mdlSub::fncSec_ToDMS(seconds, dms) == mdlSub::DmsOutOfRange)
        return std::nullopt;
    return double(*v);
}

typScaleSetting fncCalc_Scale(float pictureX, float realX, float pictureY, float realY,
                              const typPointD& previous, bool adjust, float previousAdj)
{
    typScaleSetting s;
    s.ratio = previous;
    const auto take = [&s](float picture, float real, double& ratio) {
        if (!(picture > 0 && real > 0))
            return;
        ratio = double(real) / double(picture);
        if (!(ratio >= MinRatio && ratio <= MaxRatio))
            s.fits = false;
    };
    take(pictureX, realX, s.ratio.dblX);
    take(pictureY, realY, s.ratio.dblY);
    if (adjust) {
        s.pictAdj = previousAdj;
        // A ratio of 0 (stored or computed elsewhere) gives no stretch to take.
        if (fitsSingle(s.ratio.dblX) && fitsSingle(s.ratio.dblY) && s.ratio.dblX > 0 && s.ratio.dblY > 0) {
            const float stretch = float(s.ratio.dblY) / float(s.ratio.dblX);
            if (stretch >= MinPictAdj && stretch <= MaxPictAdj)
                s.pictAdj = stretch;
            else
                s.fits = false;
        }
        s.ratio.dblY = s.ratio.dblX;
    } else {
        s.pictAdj = 1.0f;
    }
    s.aspect = fncGet_Aspect(s.ratio.dblX, s.ratio.dblY);
    return s;
}

bool fncKnownDistances_Given(const std::array<typPointS, 4>& points, float pictureX, float realX, float pictureY,
                             float realY, double metresPerUnit)
{
    if (!((pictureX > 0 && realX > 0) || (pictureY > 0 && realY > 0)))
        return false;
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i].sngX != NewDrawingDistancePoints[i].sngX || points[i].sngY != NewDrawingDistancePoints[i].sngY)
            return true;
    }
    // The lengths follow every change of unit in single precision.
    const auto hundredMetres = [metresPerUnit](float real) {
        return std::fabs(double(real) * metresPerUnit - NewDrawingDistance) <= 1e-4;
    };
    return !(pictureX == NewDrawingDistance && pictureY == NewDrawingDistance && hundredMetres(realX)
             && hundredMetres(realY));
}

double fncGet_Aspect(double x, double y)
{
    return x > 0 && y > 0 ? y / x : 1.0;
}

QString fncScale_Caption(const QString& picture, const QString& real, double unitMillimetres, double& ratio)
{
    ratio = 0;
    const float a = fncVal_Single(picture);
    const float b = fncVal_Single(real);
    if (!(a > 0) || !(b > 0))
        return QString();
    ratio = double(b) / double(a);
    return vb::Format(ratio * unitMillimetres, QStringLiteral("#######.0#"));
}

QString fncAspect_Caption(double ratioX, double ratioY)
{
    return vb::Format(fncGet_Aspect(ratioX, ratioY), QStringLiteral("#.0##"));
}

QString fncAngle_Text(double angle)
{
    return vb::Format(angle, QStringLiteral("##0.0####"));
}

QString fncRescale_Text(const QString& text, double factor)
{
    const std::optional<double> v = fncBox_Double(text);
    if (!v || !fitsSingle(*v * factor))
        return text;
    return vb::CStr(float(*v * factor));
}

float shownStretch(float stored)
{
    if (!std::isfinite(stored) || stored <= 0)
        return 1.0f;
    return std::clamp(stored, MinPictAdj, MaxPictAdj);
}

}  // namespace measure
