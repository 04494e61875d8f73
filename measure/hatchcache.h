#pragma once
// The per-area hatch-segment cache files in the work folder TEMP.
//
// An area's file is named after its group id (the last 12 characters of its
// key) plus ".bin" and holds its segments
// as 16-byte records, four little-endian single-precision numbers in the order
// X1, X2, Y1, Y2, with no header: the count is the hatching record's iUbound + 1.
// None of these procedures shows a message; a failure ends them silently.

#include "app/types.h"

#include <QList>
#include <QString>

namespace mdlFileAccess {

// Writes the area's segments, replacing its file. The file is written beside
// its final name and renamed over it only when complete, so a failed write
// leaves the previous file whole. An empty list writes an empty file (it reads
// back as zero segments, or as zero records when iUbound says more). The
// hatching record is not used.
void subPut_Bin(const QString& key, const typHatching& hatching, const QList<typHatchLine>& lines);

// Reads the area's file into `lines` as iUbound + 1 records, from the start of
// the file. Records the file does not hold (a short file) stay zero. False when
// the file is missing or cannot be read; `lines` is then left as it was.
bool fncGet_Bin(const QString& key, const typHatching& hatching, QList<typHatchLine>& lines);

// As fncGet_Bin, but only the records the file holds: min(iUbound + 1,
// file size / 16), never zero records standing in for missing ones.
bool fncGet_BinHeld(const QString& key, const typHatching& hatching, QList<typHatchLine>& lines);

// True when the area's file holds exactly these segments and nothing else,
// so that writing them would change nothing.
bool fncHolds_Bin(const QString& key, const QList<typHatchLine>& lines);

// Deletes one area's file, when there is one (its hatching came out empty).
void subKill_BinOne(const QString& key);

// Deletes every "*.bin" file of the work folder (any case of the extension);
// files that cannot be deleted stay, silently.
void subKill_Bin();

}  // namespace mdlFileAccess
