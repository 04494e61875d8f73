#pragma once
// The tag of a result label: the value behind its caption.
//
//   uu d ":" value "_" yymmddhhnnss
//
// uu is the unit index (two digits) into the distance or area unit table,
// d the caption's decimal places (one digit, index into GE_strFormat), value
// the double's default text in that unit, and the last 12 characters the
// group id of the moment the measurement began. Elements of one measurement
// are matched by the group id alone.
//
// The label commands that re-express a label in another unit or with other
// decimals keep the value in the tag and render the caption from it, so the
// caption's rounding never accumulates.

#include <QDateTime>
#include <QString>

#include "platform/vbruntime.h"

namespace ResultTag {

constexpr qint16 MaxUnit = 13;
constexpr qint16 MaxDecimals = 8;

// The group id of a moment: "yymmddhhnnss".
QString fncGroupId(const QDateTime& moment);

// A fresh tag: unit 0, no decimals, value 0, and the group id of `moment`.
QString fncNew_ResultTag(const QDateTime& moment = vb::Now());

// A tag of the value in `unit` with `decimals` places, carrying the group id
// of `oldTag` (its last 12 characters, or all of it when shorter). A unit
// outside 0-13 or decimals outside 0-8 are written as 0, so every built tag
// keeps the fixed layout.
QString fncMake_ResultTag(qint16 unit, qint16 decimals, double value, const QString& oldTag);

// Reads a tag back: the leading number of characters 1-2 (unit), of character
// 3 (decimals) and of the value that starts at character 5. A part without a
// number gives 0, and so does a unit outside 0-13 or decimals outside 0-8;
// a tag too short to hold a value gives the value 0.
void subParse_ResultTag(const QString& tag, qint16& unit, qint16& decimals, double& value);

// The tag holds a valid unit and decimals in its fixed layout ("uud:"); a
// damaged tag, or one made by hand, does not.
bool fncTag_WellFormed(const QString& tag);

// The key that ties the elements of one measurement: the last 12 characters.
QString fncTag_Key(const QString& tag);

// The value in `from` expressed in `to`, through metres or square metres.
// Indexes outside 0-13 are taken as 0.
double fncChg_Value(double value, qint16 from, qint16 to, bool area);

// A result caption: the value formatted with GE_strFormat(decimals), then the
// unit's name (which ends with a blank). Decimals 7 and 8 have empty formats:
// the value's general text then stands directly before the unit name.
QString fncCaption(double value, qint16 unit, qint16 decimals, bool area);

// A result caption as it comes back from the drawing's file, which keeps
// text without its outer blanks: the blanks the caption's tag renders it
// with are put back around it, so the label is as wide as when it was made.
// A caption stored with blanks, an empty one, or one whose tag holds no
// valid unit and decimals comes back as it is.
QString fncStored_Caption(const QString& stored, const QString& tag, bool area);

// The number formats by decimal places, as a drawing's editor starts with them.
void subInit_Format();

// The new caption and tag of a result label re-expressed by a label command.
// When `changed` is false the label keeps its caption and tag.
struct typRelabel {
    bool changed = false;
    QString caption;
    QString tag;
};

// A distance or route label moved to distance unit `unit`; nothing changes
// when the tag already has that unit.
typRelabel fncChg_UnitDistance(const QString& tag, qint16 unit);

// An area label moved to area unit `unit`; nothing changes when the tag
// already has that unit. The caller passes the new tag on to the area's
// sides that carry the old tag.
typRelabel fncChg_UnitArea(const QString& tag, qint16 unit);

// A result label shown with `decimals` places, rendered anew from the tag's
// value even when the decimals stay the same.
typRelabel fncChg_DecimalPoint(const QString& tag, qint16 decimals, bool area);

// A stored result label computed again (its measurement moved): it keeps the
// unit and decimals its tag holds, which a label command may have set apart
// from the drawing's, and `value`, computed in the drawing's unit, is
// expressed in them. A tag that holds no valid unit and decimals (damaged, or
// made by hand) takes the drawing's.
typRelabel fncRestate(const QString& tag, double value, qint16 drawingUnit, qint16 drawingDecimals, bool area);

}  // namespace ResultTag
