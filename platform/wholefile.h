#pragma once
// A file written whole or not at all: the one way the program writes a file
// of its own (Init.ini, the CSV lists, the bitmap; the work folder's caches
// go through their folder's handle, cachefiles.h).
//
// The bytes go to a new file beside the target (replacement.h: its name,
// links written through, a read-only target refused), which takes the
// target's name (one rename, so a reader sees the old file or the new one)
// only when every byte has reached the device: Qt's buffer is flushed, the device's
// error checked and the file forced to disk first. A short write may only
// have filled Qt's buffer, and QSaveFile::commit() reports success when its
// own final flush fails (a full disk, a file-size limit), so neither a write
// nor a commit alone is trusted. On any failure the new file is removed and
// the old one stays byte for byte.
//
// A large write goes to the system in pieces, and a synced file starts on
// its way to the disk as it grows (wholefile.cpp says why).
//
// The work folder's caches (hatch segments, thumbnails) are rebuilt from the
// drawing at every load and emptied at the end, so they skip the forcing to
// disk: a load writing hundreds of them would otherwise wait on the disk for
// each one. They keep every other check.

#include "platform/replacement.h"

#include <QFile>
#include <QString>

namespace platform {

enum class Durability { Synced, Cache };

class WholeFile {
public:
    explicit WholeFile(const QString& path, Durability durability = Durability::Synced,
                       ReplaceRule rule = ReplaceRule::FileBits);
    ~WholeFile();  // a file left without its commit is removed
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    bool open();
    // Appends; false once anything failed. One call at a time, from any thread.
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& data) { return write(data.constData(), data.size()); }
    // Flushes, checks, syncs and puts the file in place; false on any failure.
    bool commit();
    // The runtime's error for the failure (vb::raiseWriteError).
    [[noreturn]] void raiseError() const;

private:
    bool fail(QFileDevice::FileError error);

    Replacement m_new;  // the new file beside the target
    QFile m_file;       // writing it
    Durability m_durability;
    qint64 m_sent = 0;  // the bytes on their way to the disk already
    bool m_failed = false;
    QFileDevice::FileError m_error = QFileDevice::NoError;
};

// Writes `data` as the whole file; false on any failure.
bool writeWholeFile(const QString& path, const QByteArray& data, Durability durability = Durability::Synced);
// The same, raising the runtime's error on a failure.
void writeWholeFileOrRaise(const QString& path, const QByteArray& data);

}  // namespace platform
