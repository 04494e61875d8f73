#pragma once
// The arithmetic of the measuring menu and the map's press and move, free
// of widgets: the preset entry, the radius circle, the extension-line pair,
// the state a press resets.

#include "interaction/rect.h"

#include <QString>

namespace interaction {

// The number at the start of the preset item's caption ("50 m " gives 50):
// what stands before the first blank, read as a number; 0 with no blank.
float fncCaption_Number(const QString& caption);

// What the preset entry keeps. An accepted entry is a number above 0; a
// cancel (or an entry of 0 or below) keeps the current preset, except while
// there is none yet: then the caption's number is taken as if typed, so the
// mode never measures a zero line.
struct typPresetEntry {
    bool accepted = false;
    double value = 0;  // as typed, in the shown unit
    QString text;      // the caption's number part
};
typPresetEntry fncPreset_Entry(const QString& typed, double current, const QString& caption);

// The radius circle around (cx, cy) reaching the pointer's height py; only
// the vertical distance counts, the width follows the picture's aspect.
typRect fncCircle_Box(float cx, float cy, float py, double aspect);

// A grabbed extension line j of lineHojoSave: its partner and its distance.
struct typHojoPair {
    qint16 pair = 0;
    qint16 kyori = 0;
};
typHojoPair fncHojo_Pair(qint16 j);

}  // namespace interaction
