#include "platform/wholefile.h"

#include "platform/writeerror.h"

#include <algorithm>
#include <fcntl.h>

namespace platform {

namespace {

// A large write goes to the system in pieces of this size. One write of
// many megabytes (a strip of a bitmap) makes the page cache take its memory
// in large blocks, which the kernel may first have to gather: 3 ms for 12 MB
// on one run, 30 to 120 ms on the next, as the memory happens to lie.
constexpr qint64 WritePiece = 64 * 1024;

// A synced file starts its way to the disk every so many bytes, so the disk
// writes while the rest is made, and the sync at the end waits only for the
// last part.
constexpr qint64 WritebackStep = 8 << 20;

}  // namespace

WholeFile::WholeFile(const QString& path, Durability durability, ReplaceRule rule)
    : m_new(path, rule), m_durability(durability)
{
}

WholeFile::~WholeFile()
{
    m_file.close();  // the replacement removes the file left without its commit
}

bool WholeFile::open()
{
    if (const QFileDevice::FileError error = m_new.create(); error != QFileDevice::NoError)
        return fail(error);
    if (!m_file.open(m_new.handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return fail(m_file.error());
    return true;
}

bool WholeFile::write(const char* data, qint64 size)
{
    if (m_failed)
        return false;
    for (qint64 at = 0; at < size;) {
        const qint64 piece = std::min(size - at, WritePiece);
        if (m_file.write(data + at, piece) != piece)
            return fail(m_file.error());
        at += piece;
    }
    if (m_durability == Durability::Synced && m_file.pos() - m_sent >= WritebackStep) {
        if (!m_file.flush())
            return fail(m_file.error());
        // Only a start: the commit's sync still waits for every byte and
        // tells any failure.
        ::sync_file_range(m_new.handle(), m_sent, 0, SYNC_FILE_RANGE_WRITE);
        m_sent = m_file.pos();
    }
    return true;
}

bool WholeFile::commit()
{
    if (m_failed || !m_file.isOpen())
        return fail(m_file.error());
    if (!m_file.flush() || m_file.error() != QFileDevice::NoError)
        return fail(m_file.error());
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        return fail(m_file.error());
    if (const QFileDevice::FileError error = m_new.putInPlace(m_durability == Durability::Synced);
        error != QFileDevice::NoError)
        return fail(error);
    return true;
}

// Keeps the first error and removes the new file at once.
bool WholeFile::fail(QFileDevice::FileError error)
{
    if (!m_failed) {
        m_failed = true;
        m_error = error;
        m_file.close();
        m_new.discard();
    }
    return false;
}

void WholeFile::raiseError() const
{
    m_new.raise(m_failed ? m_error : m_file.error());
}

bool writeWholeFile(const QString& path, const QByteArray& data, Durability durability)
{
    WholeFile file(path, durability);
    return file.open() && file.write(data) && file.commit();
}

void writeWholeFileOrRaise(const QString& path, const QByteArray& data)
{
    WholeFile file(path);
    if (!(file.open() && file.write(data) && file.commit()))
        file.raiseError();
}

}  // namespace platform
