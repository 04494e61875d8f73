#pragma once
// The run's caches (thumbnails, hatch segments) in their folder: every step
// taken from the folder's handle (privatefolder.h: openCacheFolder), never
// by a path through its name, so a rename of the folder or a link put at
// its name during the run chooses nothing; a link inside it is never
// followed. A cache is rebuilt when missing, so a failure only says false.

#include <QByteArray>
#include <QString>

namespace platform::cache {

bool exists(const QString& folder, const QString& name);
// The file opened for reading (the caller closes it), -1 when there is none.
int openToRead(const QString& folder, const QString& name);
// Puts `data` as the whole file: under a new name first, renamed into place
// only when every byte was written, so a reader never sees part of it and a
// failure leaves the old file as it was.
bool write(const QString& folder, const QString& name, const QByteArray& data);
bool remove(const QString& folder, const QString& name);
// Removes the files whose names match `pattern` (files::matches); how many.
int removeMatching(const QString& folder, const QString& pattern);

}  // namespace platform::cache
