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

// What a data set's import passed over, for the one notice after it.
struct typOldLeftOut {
    QStringList missing;  // record files named but not there, as full paths
    QStringList unnamed;  // file keys present with an empty value
    int distances = 0;    // distances left out for want of their pieces
};

// The data set in `folder` described by the settings file `iniPath`:
// GE_strMapImage (the picture's name as found in GE_strFolder), the
// settings, then the labels, lines and end markers. Every file is read and
// checked before anything is applied, so a failure (raised, naming the
// file) leaves the settings and arrays as they were. Names are looked up
// without regard to case; a record file that is named but not there, or a
// file key left empty, is passed over. A distance that lacks any of its
// pieces (its file missing or empty, its counts disagreeing) is left out
// whole, and the drawing comes in without it. All of it is returned.
typOldLeftOut subReadOld_Drawing(ObjectArrays& arrays, const QString& folder, const QString& iniPath);

// The notice telling what was passed over, lines broken by CR LF; "" when
// nothing was.
QString fncOld_Notice(const typOldLeftOut& left);

// A data set's file name is a name within its folder.
bool fncOld_NameAllowed(const QString& name);

}  // namespace mdlFileAccess
