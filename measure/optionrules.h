#pragma once
// The rules behind the options window's boxes, free of widgets: which texts
// a box takes, the conversions of box texts to the settings' types, the
// degree/minute/second check, the known-distance scale computation, the
// scale labels and the rescaling of lengths when the distance unit changes.
//
// A text that is numeric to the runtime but does not fit the field it is
// meant for (beyond the single range, a degree beyond 16 bits) counts as
// not numeric, so every box answers it by its own rule for bad text and no
// overflow ever reaches the user.

#include "app/types.h"

#include <QString>
#include <array>
#include <optional>

namespace measure {

// Whether a double is finite and within the single range.
bool fitsSingle(double v);

// The whole text as a number of the field's type, or nothing when the text
// is not numeric or the number does not fit.
std::optional<float> fncBox_Single(const QString& text);
std::optional<double> fncBox_Double(const QString& text);

// The leading number of a text (as Val reads it) in single precision; 0
// when there is none or it does not fit.
float fncVal_Single(const QString& text);

// The number a degree (index 0), minute (1) or second (2) box holds. Blanks
// of either width around it and the box's own unit mark after it (° 度;
// ′ ' 分; ″ " 秒) are no part of it, and the long-vowel mark a kana input
// method gives for the minus key is a minus sign before it. Degrees and
// minutes are whole numbers within 16 bits (a fraction would be rounded
// into another angle), seconds within the single range. Anything else,
// an empty box too, is none.
std::optional<double> fncBox_Angle(int index, const QString& text);
// Whether a box holds nothing but blanks of either width.
bool fncBox_Blank(const QString& text);

// Whether a degree, minute or second box says "negative": its number reads
// below 0, or its text holds a minus sign anywhere but in an exponent (−0
// reads as 0, but was typed as south or west of the point meant).
bool fncHas_Minus(const QString& text);

// The check of one degree/minute/second box. `index` 0 degrees (0 to below
// 360), 1 minutes and 2 seconds (0 to below 60): accepted entries answer the
// row's angle in seconds from `dms` (the row's three boxes as read). 3 whole
// seconds (0 or more, its degree within 16 bits): answers the value and
// fills `dms` from it. A refused entry, or another index, answers nothing
// and leaves `dms` as it was.
std::optional<double> fncCheck_DMS(int index, const QString& text, typDMS& dms);

// The range a calibration may set: the real length per picture unit and
// the picture's height stretch. No scanned picture needs more, and lengths
// or the stretched map would leave the ranges they are held in.
constexpr double MinRatio = 1e-12;
constexpr double MaxRatio = 1e12;
constexpr float MinPictAdj = 0.1f;
constexpr float MaxPictAdj = 10.0f;

// The stretch the map is shown and printed with: a stored one beyond that
// range (or none at all) is taken at the nearest end of it, so that a
// drawing saved with one still gives a map of a sane height.
float shownStretch(float stored);

// What the known-distance "設定" computes from the four stored lengths.
struct typScaleSetting {
    typPointD ratio;        // real length per picture unit
    float pictAdj = 1.0f;   // the picture's height stretch
    double aspect = 1.0;    // Y ratio to X ratio after the stretch
    bool fits = true;       // false: nothing of it may be taken
};
// A pair whose lengths are not both above 0 keeps its ratio from `previous`.
// With `adjust` the stretch is the Y ratio over the X ratio (single
// precision) and Y takes X's ratio; when either ratio is not above 0 the
// stretch keeps `previousAdj`. A new ratio or stretch outside the range
// above does not fit.
typScaleSetting fncCalc_Scale(float pictureX, float realX, float pictureY, float realY,
                              const typPointD& previous, bool adjust, float previousAdj);

// The known-distance pairs a new drawing starts with: the markers 50 units
// apart, with lengths of 100 picture units for 100 m both ways.
inline constexpr std::array<typPointS, 4> NewDrawingDistancePoints{
    typPointS{5, 5}, typPointS{55, 5}, typPointS{55, 5}, typPointS{55, 55}};
inline constexpr float NewDrawingDistance = 100;

// Whether the stored known-distance lengths are a calibration of the
// drawing's own: some pair's lengths both above 0, and not the new drawing's
// pairs as it starts with them (`metresPerUnit`: metres in one of the
// distance unit in force), which only stand for the ratio a drawing starts
// with. A user's 100 units for 100 m over markers moved is a calibration.
bool fncKnownDistances_Given(const std::array<typPointS, 4>& points, float pictureX, float realX, float pictureY,
                             float realY, double metresPerUnit);

// dblY / dblX when both are above 0, else 1.0.
double fncGet_Aspect(double x, double y);

// A scale label from a picture-length and a real-length box: the
// denominator real / picture × the unit's millimetres ("#######.0#"), or ""
// when either is not above 0; `ratio` gets real / picture, or 0.
QString fncScale_Caption(const QString& picture, const QString& real, double unitMillimetres, double& ratio);
// The aspect label ("#.0##").
QString fncAspect_Caption(double ratioX, double ratioY);

// A tilt angle as its box shows it ("##0.0####").
QString fncAngle_Text(double angle);

// A real length typed in unit `from`, rewritten for unit `to` (metres
// between); a text that is not a number stays as it is.
QString fncRescale_Text(const QString& text, double factor);

}  // namespace measure
