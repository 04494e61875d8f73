#pragma once
// Reading a data set of the previous version into the editor: its settings
// and its three record files, applied to the element arrays.

#include "library/oldformat.h"

#include <QStringList>

struct ObjectArrays;

namespace mdlFileAccess {

// Fills the arrays (each holding only its element 0) from the runs.
void subApply_TextBin(ObjectArrays& arrays, const typOldTextBin& runs);
void subApply_LineBin(ObjectArrays& arrays, const typOldLineBin& runs);
void subApply_ShapeBin(ObjectArrays& arrays, const typOldShapeBin& run);

// The data set in `folder` described by the settings file `iniPath`:
// GE_strMapImage (the picture's name as found in GE_strFolder), the
// settings, then the labels, lines and end markers. Every file is read and
// checked before anything is applied, so a failure (raised, naming the
// file) leaves the settings and arrays as they were. Names are looked up
// without regard to case; a named record file that is not there is passed
// over, and the names passed over are returned for one notice. A distance
// that lacks any of its pieces (its file missing, its counts disagreeing)
// is left out whole, and the drawing comes in without it.
QStringList subReadOld_Drawing(ObjectArrays& arrays, const QString& folder, const QString& iniPath);

// A data set's file name is a name within its folder.
bool fncOld_NameAllowed(const QString& name);

}  // namespace mdlFileAccess
